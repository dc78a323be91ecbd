#pragma once

#include <QString>
#include <QTemporaryDir>
#include <ostream>
#include <string>
#include <vector>

#include "ConvertDlg.h"

class QLineEdit;

// Readable texts in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// What the dialog tests share: a throw-away settings store and a dialog that
// records which handlers ran.
namespace drovana::test {

// Points every QSettings made while it lives at a fresh folder of its own, in
// the portable file format even where the native store is the registry, and
// hands the previous folder back when it goes.
class SettingsSandbox {
public:
    SettingsSandbox();
    SettingsSandbox(const SettingsSandbox&) = delete;
    SettingsSandbox& operator=(const SettingsSandbox&) = delete;
    ~SettingsSandbox();

    // Text of the current application's settings file; empty if none yet.
    static QString FileText();

private:
    QTemporaryDir dir_;
    QString previous_;
};

// The converter dialog with its handlers replaced by recorders, so that the
// tests see which handler each key, click or focus change reaches.
class ProbeDlg : public CConvertDlg {
public:
    std::vector<std::string> calls;  // handler names, in order

    // What the hooks saw when they ran.
    QString editTextAtRun;
    QString shpFolderAtRefresh;
    QString pegFolderAtRefresh;
    bool updateOnlyAtRefresh = false;
    bool iconSetAtRefresh = false;
    bool tipsOnAtRefresh = false;

    QString& ShpFolder() { return m_strShpFolder; }
    QString& PegFolder() { return m_strPegFolder; }
    bool& UpdateOnly() { return m_bUpdateOnly; }
    QLineEdit* Edit(int id) const;

    // Shows the dialog as the active window, as a user would find it.
    void Open();

protected:
    void RunConversion() override;
    void OnFolderEditLeft(QString& field) override;
    void OnUpdateOnlyClicked() override;
    void BrowseShpFolder() override;
    void BrowsePegFolder() override;
    void RefreshFileList() override;
};

}  // namespace drovana::test
