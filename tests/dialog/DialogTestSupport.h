#pragma once

#include <gtest/gtest.h>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <ostream>
#include <string>
#include <vector>

#include "ConvertDlg.h"
#include "ConvertDlgLayout.h"
#include "Settings.h"
#include "TestFiles.h"

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace drovana::test {

// Points every QSettings made while it lives at a fresh folder, in the file
// format even where the native store is the registry, and files the values
// under root "Quenmoor" and the name 'drovana'.
class SettingsSandbox {
public:
    SettingsSandbox() : previous_(Current()) {
        Use(dir_.path());
        SetSettingsRoot(QString::fromLatin1(kSettingsRoot), QStringLiteral("/opt/drovana/drovana"));
    }
    SettingsSandbox(const SettingsSandbox&) = delete;
    SettingsSandbox& operator=(const SettingsSandbox&) = delete;
    ~SettingsSandbox() { Use(previous_); }

    // The stored file as text with \n line ends; empty when nothing was written yet.
    static QString FileText() {
        QFile file(QSettings().fileName());
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        return QString::fromUtf8(file.readAll())
            .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }

private:
    static QString& Current() {
        static QString folder;
        return folder;
    }
    static void Use(const QString& folder) {
        Current() = folder;
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    }

    QTemporaryDir dir_;
    QString previous_;
};

// A folder text for a path, as the dialog holds it: with its trailing separator.
inline QString FolderText(const std::filesystem::path& folder) {
    return QFile::decodeName(QByteArray::fromStdString(folder.string())) + QLatin1Char('/');
}

// A temporary folder holding one map, stored as the SHP folder, so that the
// dialog opens with an entry in its list and OK enabled. Make it after the
// settings sandbox.
class StoredMapFolder {
public:
    StoredMapFolder() {
        WriteBytes(dir_ / "MAP01.SHP", {});
        QSettings().setValue(QStringLiteral("Settings/Folder"), FolderText(dir_.Path()));
    }

private:
    TempDir dir_;
};

// The dialog with its handlers replaced by recorders, so that a test sees
// which handler a key, click or focus change reached.
class ProbeDlg : public CConvertDlg {
public:
    std::vector<std::string> calls;
    QString shpTextAtRun;       // the SHP edit's text when the batch hook ran
    QString shpFieldAtRefresh;  // the SHP field when the list was first rebuilt

    QString& ShpFolder() { return m_strShpFolder; }
    QString& PegFolder() { return m_strPegFolder; }
    bool& UpdateOnly() { return m_bUpdateOnly; }
    QLineEdit* Edit(int id) const { return qobject_cast<QLineEdit*>(GetDlgItem(id)); }

    // Shown as the active window: only then do focus changes reach the controls.
    void Open() {
        show();
        activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(this));
    }

protected:
    void RunConversion() override {
        calls.push_back("RunConversion");
        shpTextAtRun = Edit(kIdShpFolderEdit)->text();
    }
    void OnFolderEditLeft(QString& field) override {
        calls.push_back(&field == &m_strShpFolder   ? "LeftShp"
                        : &field == &m_strPegFolder ? "LeftPeg"
                                                    : "Left?");
    }
    void OnUpdateOnlyClicked() override { calls.push_back("OnUpdateOnlyClicked"); }
    void BrowseShpFolder() override { calls.push_back("BrowseShpFolder"); }
    void BrowsePegFolder() override { calls.push_back("BrowsePegFolder"); }
    void RefreshFileList() override {
        calls.push_back(windowIcon().isNull() || GetDlgItem(kIdOk)->toolTip().isEmpty()
                            ? "RefreshFileList before icon and tips"
                            : "RefreshFileList");
        shpFieldAtRefresh = m_strShpFolder;
        CConvertDlg::RefreshFileList();
    }
};

// The dialog with its own handlers, recording what the bar and the status
// line showed as each file of a run was converted.
class LiveDlg : public CConvertDlg {
public:
    struct Step {
        int minimum;
        int maximum;
        int value;
        bool barVisible;
        QString status;
    };
    std::vector<Step> steps;

    using CConvertDlg::BrowseForFolder;
    using CConvertDlg::RefreshFileList;
    QString& ShpFolder() { return m_strShpFolder; }
    QString& PegFolder() { return m_strPegFolder; }
    bool& UpdateOnly() { return m_bUpdateOnly; }
    QListWidget* List() const { return m_fileList; }
    QLineEdit* Edit(int id) const { return qobject_cast<QLineEdit*>(GetDlgItem(id)); }
    QProgressBar* Bar() const { return m_progress; }

    void Open() {
        show();
        activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(this));
    }

protected:
    void ShowFileStarted(int started, const QString& target) override {
        CConvertDlg::ShowFileStarted(started, target);
        steps.push_back({m_progress->minimum(), m_progress->maximum(), m_progress->value(),
                         m_progress->isVisible(),
                         qobject_cast<QLabel*>(GetDlgItem(kIdStatus))->text()});
    }
};

// A live dialog with an SHP folder "pg2" and a PeG folder "peg" in a fresh
// folder, and settings of its own.
class DialogWithFolders : public testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(shp_);
        std::filesystem::create_directory(peg_);
        dlg_.Open();
    }

    SettingsSandbox settings_;
    TempDir dir_;
    std::filesystem::path shp_ = dir_ / "pg2";
    std::filesystem::path peg_ = dir_ / "peg";
    LiveDlg dlg_;
};

}  // namespace drovana::test
