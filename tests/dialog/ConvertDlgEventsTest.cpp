#include <QCheckBox>
#include <QFocusEvent>
#include <functional>

#include "DialogTestSupport.h"

namespace drovana::test {
namespace {

using Calls = std::vector<std::string>;

class ConvertDlgEvents : public testing::Test {
protected:
    void SetUp() override { dlg_.Open(); }

    // Focuses the control as a click would and forgets what that called.
    void Focus(int id) {
        dlg_.GetDlgItem(id)->setFocus(Qt::MouseFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), dlg_.GetDlgItem(id));
        dlg_.calls.clear();
    }
    void Key(int id, Qt::Key key) { QTest::keyClick(dlg_.GetDlgItem(id), key); }
    void Click(int id) { QTest::mouseClick(dlg_.GetDlgItem(id), Qt::LeftButton); }

    SettingsSandbox settings_;
    StoredMapFolder maps_;  // OK, the default button, is enabled only with a map listed
    ProbeDlg dlg_;
};

TEST_F(ConvertDlgEvents, EnterAndButtonsReachTheirHandlersAndNeverCloseTheDialog) {
    const struct {
        int focus;
        std::function<void()> act;
        Calls expected;
    } cases[] = {
        {1680, [&] { Key(1680, Qt::Key_Return); }, {"RunConversion"}},
        {1003, [&] { Key(1003, Qt::Key_Enter); }, {"RunConversion"}},
        {1007, [&] { Key(1007, Qt::Key_Return); }, {"RunConversion"}},
        {1002, [&] { Key(1002, Qt::Key_Return); }, {"RunConversion"}},
        {1, [&] { Click(kIdOk); }, {"RunConversion"}},
        // A focused push button is the one Enter presses.
        {1001, [&] { Key(1001, Qt::Key_Return); }, {"BrowseShpFolder"}},
        {1018, [&] { Click(1018); }, {"BrowsePegFolder"}},
        {1003, [&] { Click(1001); }, {"LeftPeg", "BrowseShpFolder"}},
    };
    for (const auto& c : cases) {
        Focus(c.focus);
        c.act();
        EXPECT_EQ(dlg_.calls, c.expected) << "focus on " << c.focus;
        EXPECT_TRUE(dlg_.isVisible());
    }
}

TEST_F(ConvertDlgEvents, EnterRunsWithTheTextAsTypedWithoutLeavingTheEdit) {
    Focus(kIdShpFolderEdit);
    dlg_.Edit(kIdShpFolderEdit)->clear();
    QTest::keyClicks(dlg_.GetDlgItem(kIdShpFolderEdit), QStringLiteral("/maps/new"));
    Key(kIdShpFolderEdit, Qt::Key_Return);
    EXPECT_EQ(dlg_.calls, Calls{"RunConversion"});
    EXPECT_EQ(dlg_.shpTextAtRun, QStringLiteral("/maps/new"));
}

TEST_F(ConvertDlgEvents, LeavingAFolderEditCallsItsHandlerWhetherOrNotTheTextChanged) {
    const struct {
        int edit;
        const char* typed;
        Qt::Key key;
        const char* expected;
    } cases[] = {
        {1680, "/maps/pg2", Qt::Key_Tab, "LeftShp"},
        {1680, "", Qt::Key_Tab, "LeftShp"},
        {1003, "/maps/peg", Qt::Key_Backtab, "LeftPeg"},
        {1003, "", Qt::Key_Tab, "LeftPeg"},
    };
    for (const auto& c : cases) {
        Focus(c.edit);
        QTest::keyClicks(dlg_.GetDlgItem(c.edit), QLatin1String(c.typed));
        Key(c.edit, c.key);
        EXPECT_EQ(dlg_.calls, Calls{c.expected}) << c.edit << " \"" << c.typed << "\"";
    }

    // The edit's own context menu takes the focus only for a moment.
    Focus(kIdShpFolderEdit);
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(dlg_.GetDlgItem(kIdShpFolderEdit), &popup);
    EXPECT_EQ(dlg_.calls, Calls{});
}

TEST_F(ConvertDlgEvents, ClicksOnTheCheckBoxCallItsHandlerWritingTheFieldDoesNot) {
    auto* box = qobject_cast<QCheckBox*>(dlg_.GetDlgItem(kIdUpdateOnly));
    Focus(kIdUpdateOnly);
    Click(kIdUpdateOnly);
    Key(kIdUpdateOnly, Qt::Key_Space);
    EXPECT_EQ(dlg_.calls, (Calls{"OnUpdateOnlyClicked", "OnUpdateOnlyClicked"}));

    dlg_.calls.clear();
    dlg_.UpdateOnly() = !box->isChecked();
    dlg_.WriteControls();
    EXPECT_EQ(box->isChecked(), dlg_.UpdateOnly());
    EXPECT_EQ(dlg_.calls, Calls{});
}

TEST(ConvertDlgClosing, CancelEscAndTheCloseBoxEndTheDialogThenSaveTheFields) {
    const std::function<void(ProbeDlg&)> ways[] = {
        [](ProbeDlg& d) { QTest::mouseClick(d.GetDlgItem(kIdCancel), Qt::LeftButton); },
        [](ProbeDlg& d) { QTest::keyClick(d.GetDlgItem(kIdShpFolderEdit), Qt::Key_Escape); },
        [](ProbeDlg& d) { d.close(); },  // the close box
    };
    for (const auto& close : ways) {
        const SettingsSandbox settings;
        ProbeDlg dlg;
        dlg.Open();
        dlg.ShpFolder() = QStringLiteral("/maps/pg2/");
        dlg.PegFolder() = QStringLiteral("/maps/peg/");
        dlg.UpdateOnly() = true;
        EXPECT_EQ(SettingsSandbox::FileText(), QString()) << "written while open";

        close(dlg);
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
        EXPECT_EQ(SettingsSandbox::FileText(),
                  "[Settings]\nFolder=/maps/pg2/\nUpdate=1\nUpdateFolder=/maps/peg/\n");
    }
}

}  // namespace
}  // namespace drovana::test
