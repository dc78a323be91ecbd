#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <functional>

#include "ConvertDlgLayout.h"
#include "DialogTestSupport.h"
#include "Settings.h"

namespace drovana::test {
namespace {

using Calls = std::vector<std::string>;

class ConvertDlgEventsTest : public testing::Test {
protected:
    void SetUp() override {
        SetSettingsRoot(QString::fromLatin1(kSettingsRoot), QStringLiteral("/opt/drovana/drovana"));
        dlg_.Open();
        dlg_.calls.clear();
    }

    // Gives the control the focus the way a click would, then forgets the
    // handler calls that took.
    void Focus(int id) {
        dlg_.GetDlgItem(id)->setFocus(Qt::MouseFocusReason);
        ASSERT_EQ(CConvertDlg::GetDlgCtrlID(QApplication::focusWidget()), id);
        dlg_.calls.clear();
    }

    SettingsSandbox settings_;
    ProbeDlg dlg_;
};

TEST_F(ConvertDlgEventsTest, OkAndEnterRunTheBatchAndKeepTheDialogOpen) {
    const struct {
        const char* what;
        int focus;
        std::function<void(ProbeDlg&)> act;
    } cases[] = {
        {"Return in the SHP folder edit", kIdShpFolderEdit,
         [](ProbeDlg& d) { QTest::keyClick(d.GetDlgItem(kIdShpFolderEdit), Qt::Key_Return); }},
        {"Enter in the PeG folder edit", kIdPegFolderEdit,
         [](ProbeDlg& d) { QTest::keyClick(d.GetDlgItem(kIdPegFolderEdit), Qt::Key_Enter); }},
        {"Return on the check box", kIdUpdateOnly,
         [](ProbeDlg& d) { QTest::keyClick(d.GetDlgItem(kIdUpdateOnly), Qt::Key_Return); }},
        {"Return in the list", kIdFileList,
         [](ProbeDlg& d) { QTest::keyClick(d.GetDlgItem(kIdFileList), Qt::Key_Return); }},
        {"click on OK", kIdShpFolderEdit,
         [](ProbeDlg& d) { QTest::mouseClick(d.GetDlgItem(kIdOk), Qt::LeftButton); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Focus(c.focus);
        c.act(dlg_);
        ASSERT_FALSE(dlg_.calls.empty());
        EXPECT_EQ(dlg_.calls.back(), "RunConversion");
        EXPECT_EQ(std::count(dlg_.calls.begin(), dlg_.calls.end(), "RunConversion"), 1);
        EXPECT_TRUE(dlg_.isVisible());
        EXPECT_EQ(dlg_.result(), 0);
    }
}

TEST_F(ConvertDlgEventsTest, EnterRunsWithTheTextAsTypedAndDoesNotCountAsLeavingTheEdit) {
    Focus(kIdShpFolderEdit);
    dlg_.Edit(kIdShpFolderEdit)->clear();
    QTest::keyClicks(dlg_.GetDlgItem(kIdShpFolderEdit), QStringLiteral("/maps/new"));
    QTest::keyClick(dlg_.GetDlgItem(kIdShpFolderEdit), Qt::Key_Return);
    EXPECT_EQ(dlg_.calls, Calls{"RunConversion"});
    EXPECT_EQ(dlg_.editTextAtRun, QStringLiteral("/maps/new"));
    EXPECT_EQ(QApplication::focusWidget(), dlg_.GetDlgItem(kIdShpFolderEdit));
}

TEST_F(ConvertDlgEventsTest, ReturnOnAFocusedButtonPressesThatButton) {
    const struct {
        int button;
        const char* handler;
    } cases[] = {
        {kIdShpSelect, "BrowseShpFolder"},
        {kIdPegSelect, "BrowsePegFolder"},
    };
    for (const auto& c : cases) {
        Focus(c.button);
        QTest::keyClick(dlg_.GetDlgItem(c.button), Qt::Key_Return);
        EXPECT_EQ(dlg_.calls, Calls{c.handler});
        dlg_.calls.clear();
        QTest::mouseClick(dlg_.GetDlgItem(c.button), Qt::LeftButton);
        EXPECT_EQ(dlg_.calls, Calls{c.handler});
    }
}

TEST_F(ConvertDlgEventsTest, LeavingAFolderEditCallsItsHandlerChangedOrNot) {
    const struct {
        const char* what;
        int edit;
        const char* typed;  // nullptr: left unchanged
        Qt::Key key;
        const char* expected;
    } cases[] = {
        {"Tab after typing", kIdShpFolderEdit, "/maps/pg2", Qt::Key_Tab, "OnFolderEditLeft(shp)"},
        {"Tab, unchanged", kIdShpFolderEdit, nullptr, Qt::Key_Tab, "OnFolderEditLeft(shp)"},
        {"Backtab after typing", kIdPegFolderEdit, "/maps/peg", Qt::Key_Backtab,
         "OnFolderEditLeft(peg)"},
        {"Tab, unchanged", kIdPegFolderEdit, nullptr, Qt::Key_Tab, "OnFolderEditLeft(peg)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.what << " in " << c.edit);
        Focus(c.edit);
        if (c.typed) {
            QTest::keyClicks(dlg_.GetDlgItem(c.edit), QString::fromLatin1(c.typed));
        }
        QTest::keyClick(dlg_.GetDlgItem(c.edit), c.key);
        EXPECT_EQ(dlg_.calls, Calls{c.expected});
    }
}

TEST_F(ConvertDlgEventsTest, ClickingAnotherControlLeavesTheEdit) {
    Focus(kIdPegFolderEdit);
    QTest::mouseClick(dlg_.GetDlgItem(kIdShpSelect), Qt::LeftButton);
    EXPECT_EQ(dlg_.calls, (Calls{"OnFolderEditLeft(peg)", "BrowseShpFolder"}));
}

TEST_F(ConvertDlgEventsTest, TheEditsOwnContextMenuDoesNotLeaveIt) {
    Focus(kIdShpFolderEdit);
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(dlg_.GetDlgItem(kIdShpFolderEdit), &popup);
    EXPECT_TRUE(dlg_.calls.empty());
}

TEST_F(ConvertDlgEventsTest, UserClicksOnTheCheckBoxCallItsHandlerWritesDoNot) {
    auto* box = qobject_cast<QCheckBox*>(dlg_.GetDlgItem(kIdUpdateOnly));
    ASSERT_NE(box, nullptr);
    Focus(kIdUpdateOnly);
    const bool before = box->isChecked();

    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(box->isChecked(), !before);
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_EQ(box->isChecked(), before);
    EXPECT_EQ(dlg_.calls, (Calls{"OnUpdateOnlyClicked", "OnUpdateOnlyClicked"}));

    dlg_.calls.clear();
    dlg_.UpdateOnly() = !before;
    dlg_.WriteControls();
    EXPECT_EQ(box->isChecked(), !before);
    EXPECT_TRUE(dlg_.calls.empty());
}

TEST(ConvertDlgClosing, CancelEscAndTheCloseBoxEndTheDialogAndSaveTheEntries) {
    const struct {
        const char* what;
        std::function<void(ProbeDlg&)> close;
    } cases[] = {
        {"Cancel", [](ProbeDlg& d) { QTest::mouseClick(d.GetDlgItem(kIdCancel), Qt::LeftButton); }},
        {"Esc",
         [](ProbeDlg& d) { QTest::keyClick(d.GetDlgItem(kIdShpFolderEdit), Qt::Key_Escape); }},
        {"close box", [](ProbeDlg& d) { d.close(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const SettingsSandbox settings;
        SetSettingsRoot(QString::fromLatin1(kSettingsRoot), QStringLiteral("/opt/drovana/drovana"));
        ProbeDlg dlg;
        dlg.Open();
        dlg.ShpFolder() = QStringLiteral("/maps/pg2/");
        dlg.PegFolder() = QStringLiteral("/maps/peg/");
        dlg.UpdateOnly() = true;
        EXPECT_TRUE(SettingsSandbox::FileText().isEmpty()) << "written while open";

        c.close(dlg);
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
        EXPECT_EQ(std::count(dlg.calls.begin(), dlg.calls.end(), "RunConversion"), 0);
        QSettings stored;
        stored.beginGroup(QStringLiteral("Settings"));
        EXPECT_EQ(stored.value(QStringLiteral("Folder")).toString(), QStringLiteral("/maps/pg2/"));
        EXPECT_EQ(stored.value(QStringLiteral("Update")).toString(), QStringLiteral("1"));
        EXPECT_EQ(stored.value(QStringLiteral("UpdateFolder")).toString(),
                  QStringLiteral("/maps/peg/"));
    }
}

}  // namespace
}  // namespace drovana::test
