#include "DialogTestSupport.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QTest>

#include "ConvertDlgLayout.h"

namespace drovana::test {

namespace {

QString g_settingsFolder;

void UseSettingsFolder(const QString& folder) {
    g_settingsFolder = folder;
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
}

}  // namespace

SettingsSandbox::SettingsSandbox() : previous_(g_settingsFolder) {
    UseSettingsFolder(dir_.path());
}

SettingsSandbox::~SettingsSandbox() {
    if (!previous_.isEmpty()) {
        UseSettingsFolder(previous_);
    }
}

QString SettingsSandbox::FileText() {
    QFile file(QSettings().fileName());
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

QLineEdit* ProbeDlg::Edit(int id) const {
    return qobject_cast<QLineEdit*>(GetDlgItem(id));
}

void ProbeDlg::Open() {
    show();
    activateWindow();
    if (!QTest::qWaitForWindowActive(this)) {
        // Without an active window no focus changes reach the controls.
        ADD_FAILURE() << "the dialog did not become the active window";
    }
}

void ProbeDlg::RunConversion() {
    calls.push_back("RunConversion");
    editTextAtRun = Edit(kIdShpFolderEdit)->text();
}

void ProbeDlg::OnFolderEditLeft(QString& field) {
    if (&field == &m_strShpFolder) {
        calls.push_back("OnFolderEditLeft(shp)");
    } else if (&field == &m_strPegFolder) {
        calls.push_back("OnFolderEditLeft(peg)");
    } else {
        calls.push_back("OnFolderEditLeft(?)");
    }
}

void ProbeDlg::OnUpdateOnlyClicked() {
    calls.push_back("OnUpdateOnlyClicked");
}

void ProbeDlg::BrowseShpFolder() {
    calls.push_back("BrowseShpFolder");
}

void ProbeDlg::BrowsePegFolder() {
    calls.push_back("BrowsePegFolder");
}

void ProbeDlg::RefreshFileList() {
    calls.push_back("RefreshFileList");
    shpFolderAtRefresh = m_strShpFolder;
    pegFolderAtRefresh = m_strPegFolder;
    updateOnlyAtRefresh = m_bUpdateOnly;
    iconSetAtRefresh = !windowIcon().isNull();
    tipsOnAtRefresh = !GetDlgItem(kIdOk)->toolTip().isEmpty();
    CConvertDlg::RefreshFileList();
}

}  // namespace drovana::test
