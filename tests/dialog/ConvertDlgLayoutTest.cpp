#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QToolTip>

#include "ConvertDlgLayout.h"
#include "DialogTestSupport.h"
#include "Settings.h"

namespace drovana::test {
namespace {

// The dialog as it must look, written out independently of the layout table.
struct ExpectedControl {
    int id;  // 0: found by class and text
    const char* className;
    const char* text;
    QRect dialogUnits;
};

const ExpectedControl kExpected[] = {
    {1680, "QLineEdit", "", {69, 7, 240, 15}},
    {1001, "QPushButton", "Select...", {313, 7, 34, 15}},
    {1002, "QListWidget", "", {5, 28, 351, 150}},
    {1003, "QLineEdit", "", {69, 189, 240, 13}},
    {1018, "QPushButton", "Select...", {313, 189, 34, 13}},
    {1007, "QCheckBox", "Convert only maps not found already on PeG Folder:", {69, 206, 181, 9}},
    {2, "QPushButton", "Cancel", {315, 226, 37, 16}},
    {1, "QPushButton", "OK", {265, 226, 37, 16}},
    {0, "QLabel", "PG2 Maps Folder", {9, 9, 57, 13}},
    {0, "QLabel", "PeG Maps Folder", {9, 189, 57, 13}},
    {1009, "QProgressBar", "Progress1", {5, 244, 351, 14}},
    {1010, "QLabel", "Doing file", {7, 231, 245, 8}},
    {0, "QFrame", "", {5, 182, 351, 39}},
    {1681, "QLabel", "PG2 Files", {255, 206, 93, 9}},
};

QString TextOf(const QWidget* control) {
    if (const auto* edit = qobject_cast<const QLineEdit*>(control)) {
        return edit->text();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        return button->text();
    }
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        return label->text();
    }
    if (const auto* bar = qobject_cast<const QProgressBar*>(control)) {
        return bar->accessibleName();
    }
    return {};
}

QWidget* Find(const CConvertDlg& dlg, const ExpectedControl& expected) {
    if (expected.id != 0) {
        return dlg.GetDlgItem(expected.id);
    }
    for (QWidget* child : dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (QLatin1String(child->metaObject()->className()) == QLatin1String(expected.className) &&
            TextOf(child) == QLatin1String(expected.text)) {
            return child;
        }
    }
    return nullptr;
}

// The tip a user pointing at the middle of widget would see, or "" for none.
QString ToolTipShownFor(QWidget* widget) {
    QWidget* target = widget;
    if (auto* list = qobject_cast<QListWidget*>(widget)) {
        target = list->viewport();  // the mouse is over the list's contents
    }
    const QPoint centre = target->rect().center();
    QHelpEvent event(QEvent::ToolTip, centre, target->mapToGlobal(centre));
    QApplication::sendEvent(target, &event);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

class ConvertDlgLayoutTest : public testing::Test {
protected:
    void SetUp() override {
        SetSettingsRoot(QString::fromLatin1(kSettingsRoot), QStringLiteral("/opt/drovana/drovana"));
    }
    SettingsSandbox settings_;
};

TEST_F(ConvertDlgLayoutTest, WindowHasCaptionFixedSizeAndNoMinimiseOrMaximise) {
    ProbeDlg dlg;
    EXPECT_EQ(
        dlg.windowTitle(),
        QStringLiteral("Convert PG2 - SHP files to Peoples S16 format  *  Tavrel 1.2 - Aug  2004"));
    EXPECT_EQ(dlg.font().pointSize(), 8);
    EXPECT_EQ(dlg.font().styleHint(), QFont::SansSerif);

    const QSize size = dlg.MapDialogRect(QRect(0, 0, 363, 262)).size();
    EXPECT_EQ(dlg.minimumSize(), size);
    EXPECT_EQ(dlg.maximumSize(), size);

    const Qt::WindowFlags flags = dlg.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowContextHelpButtonHint);
}

TEST_F(ConvertDlgLayoutTest, EveryControlHasItsIdKindTextAndPlace) {
    ProbeDlg dlg;  // not yet opened: the texts are still the layout's own
    EXPECT_EQ(dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(),
              static_cast<qsizetype>(std::size(kExpected)));
    for (const ExpectedControl& expected : kExpected) {
        SCOPED_TRACE(testing::Message()
                     << expected.className << " " << expected.id << " \"" << expected.text << "\"");
        QWidget* control = Find(dlg, expected);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(CConvertDlg::GetDlgCtrlID(control), expected.id);
        EXPECT_STREQ(control->metaObject()->className(), expected.className);
        EXPECT_EQ(TextOf(control), QLatin1String(expected.text));
        EXPECT_EQ(control->geometry(), dlg.MapDialogRect(expected.dialogUnits));
        if (auto* button = qobject_cast<QPushButton*>(control)) {
            EXPECT_EQ(button->isDefault(), expected.id == kIdOk);
        }
    }
}

TEST_F(ConvertDlgLayoutTest, EveryControlIsVisibleAndTakesItsOwnClicks) {
    ProbeDlg dlg;
    dlg.Open();
    for (const ExpectedControl& expected : kExpected) {
        SCOPED_TRACE(testing::Message() << expected.className << " " << expected.id);
        QWidget* control = Find(dlg, expected);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(control->isVisible());
        // Nothing on top, the grey frame included, takes a control's clicks.
        if (control->focusPolicy() & Qt::ClickFocus) {
            const QWidget* hit = dlg.childAt(control->geometry().center());
            EXPECT_TRUE(hit == control || control->isAncestorOf(hit));
        }
    }
}

TEST_F(ConvertDlgLayoutTest, TextsFitTheirControlsInTheDialogFont) {
    ProbeDlg dlg;
    for (QWidget* control : dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QString text = TextOf(control);
        if (text.isEmpty() || qobject_cast<QProgressBar*>(control)) {
            continue;
        }
        SCOPED_TRACE(text.toStdString());
        const QFontMetrics metrics(control->font());
        int room = control->width();
        if (qobject_cast<QCheckBox*>(control)) {
            QStyle* style = control->style();
            room -= style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, control) +
                    style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, control);
        }
        EXPECT_LE(metrics.horizontalAdvance(text), room);
        EXPECT_LE(metrics.height(), control->height());
    }
}

TEST_F(ConvertDlgLayoutTest, OpensWithFocusOnShpFolderAndTabsInLayoutOrder) {
    ProbeDlg dlg;
    dlg.Open();
    ASSERT_EQ(CConvertDlg::GetDlgCtrlID(QApplication::focusWidget()), kIdShpFolderEdit);

    std::vector<int> visited;
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.push_back(CConvertDlg::GetDlgCtrlID(QApplication::focusWidget()));
    }
    EXPECT_EQ(visited, (std::vector<int>{1001, 1002, 1003, 1018, 1007, 2, 1, 1680}));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(CConvertDlg::GetDlgCtrlID(QApplication::focusWidget()), kIdOk);
}

TEST_F(ConvertDlgLayoutTest, ProgressBarIsVisibleAndEmptyWhenTheDialogOpens) {
    ProbeDlg dlg;
    dlg.Open();
    const auto* bar = qobject_cast<QProgressBar*>(dlg.GetDlgItem(kIdProgress));
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->value(), bar->minimum());
    EXPECT_FALSE(bar->isTextVisible());
}

TEST_F(ConvertDlgLayoutTest, SevenControlsShowTheirTipsWhole) {
    const struct {
        int id;
        const char* tip;
    } cases[] = {
        {1, "Click here to convert SHP files to S16"},
        {2,
         "Exit application with no further warning.  Your settings and entries will be saved "
         "automatically and will be retreived next time you open the application."},
        {1001, "Click here to specify folder holding SHP files to convert"},
        {1003, "Folder holding Peoples S16 files"},
        {1007, "If checked, only MAP nn files not existing on PeG Folder will be converted"},
        {1018, "Click here to select PeG folder to update"},
        {1680, "Folder holding SHP files to convert"},
    };
    ProbeDlg dlg;
    dlg.Open();
    for (const auto& c : cases) {
        EXPECT_EQ(ToolTipShownFor(dlg.GetDlgItem(c.id)), QLatin1String(c.tip)) << c.id;
    }
}

TEST_F(ConvertDlgLayoutTest, OtherControlsShowNoTip) {
    ProbeDlg dlg;
    dlg.Open();
    QToolTip::hideText();
    ASSERT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
    for (const ExpectedControl& expected : kExpected) {
        if (expected.id == 0 || expected.id == kIdFileList || expected.id == kIdProgress ||
            expected.id == kIdStatus || expected.id == kIdFileCount) {
            QWidget* control = Find(dlg, expected);
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(ToolTipShownFor(control), QString())
                << expected.className << " \"" << expected.text << "\"";
        }
    }
    EXPECT_TRUE(dlg.toolTip().isEmpty());
}

}  // namespace
}  // namespace drovana::test
