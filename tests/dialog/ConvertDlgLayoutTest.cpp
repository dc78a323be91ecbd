#include <QAbstractButton>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QToolTip>

#include "DialogTestSupport.h"

namespace drovana::test {
namespace {

// The dialog as it must look and behave, written out apart from its layout table.
const struct Expected {
    int id;  // 0: found by kind and text
    const char* kind;
    const char* text;
    QRect dialogUnits;
    const char* tip;
} kControls[] = {
    {1680, "QLineEdit", "", {69, 7, 240, 15}, "Folder holding SHP files to convert"},
    {1001,
     "QPushButton",
     "Select...",
     {313, 7, 34, 15},
     "Click here to specify folder holding SHP files to convert"},
    {1002, "QListWidget", "", {5, 28, 351, 150}, ""},
    {1003, "QLineEdit", "", {69, 189, 240, 13}, "Folder holding Peoples S16 files"},
    {1018,
     "QPushButton",
     "Select...",
     {313, 189, 34, 13},
     "Click here to select PeG folder to update"},
    {1007,
     "QCheckBox",
     "Convert only maps not found already on PeG Folder:",
     {69, 206, 181, 9},
     "If checked, only MAP nn files not existing on PeG Folder will be converted"},
    {2,
     "QPushButton",
     "Cancel",
     {315, 226, 37, 16},
     "Exit application with no further warning.  Your settings and entries will be saved "
     "automatically and will be retreived next time you open the application."},
    {1, "QPushButton", "OK", {265, 226, 37, 16}, "Click here to convert SHP files to S16"},
    {0, "QLabel", "PG2 Maps Folder", {9, 9, 57, 13}, ""},
    {0, "QLabel", "PeG Maps Folder", {9, 189, 57, 13}, ""},
    {1009, "QProgressBar", "Progress1", {5, 244, 351, 14}, ""},
    {1010, "QLabel", "Doing file", {7, 231, 245, 8}, ""},
    {0, "QFrame", "", {5, 182, 351, 39}, ""},
    {1681, "QLabel", "PG2 Files", {255, 206, 93, 9}, ""},
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
    const auto* bar = qobject_cast<const QProgressBar*>(control);
    return bar ? bar->accessibleName() : QString();
}

QWidget* Find(const CConvertDlg& dlg, const Expected& expected) {
    if (expected.id != 0) {
        return dlg.GetDlgItem(expected.id);
    }
    for (QWidget* child : dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (qstrcmp(child->metaObject()->className(), expected.kind) == 0 &&
            TextOf(child) == QLatin1String(expected.text)) {
            return child;
        }
    }
    return nullptr;
}

// The tip a user pointing at the middle of the control sees; "" for none.
QString TipShownFor(QWidget* control) {
    if (auto* list = qobject_cast<QListWidget*>(control)) {
        control = list->viewport();
    }
    const QPoint centre = control->rect().center();
    QHelpEvent event(QEvent::ToolTip, centre, control->mapToGlobal(centre));
    QApplication::sendEvent(control, &event);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

TEST(ConvertDlgLayout, WindowHasItsCaptionFixedSizeAndNoMinimiseOrMaximise) {
    const SettingsSandbox settings;
    ProbeDlg dlg;
    EXPECT_EQ(dlg.windowTitle(),
              "Convert PG2 - SHP files to Peoples S16 format  *  Tavrel 1.2 - Aug  2004");
    EXPECT_EQ(dlg.font().pointSize(), 8);
    const QSize size = dlg.MapDialogRect(QRect(0, 0, 363, 262)).size();
    EXPECT_EQ(dlg.minimumSize(), size);
    EXPECT_EQ(dlg.maximumSize(), size);
    const Qt::WindowFlags flags = dlg.windowFlags();
    EXPECT_TRUE(flags.testFlags(Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                          Qt::WindowContextHelpButtonHint));
}

TEST(ConvertDlgLayout, EveryControlHasItsIdKindTextAndPlace) {
    const SettingsSandbox settings;
    ProbeDlg dlg;  // not opened yet, so the edits still hold the layout's texts
    EXPECT_EQ(dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(),
              qsizetype(std::size(kControls)));
    for (const Expected& expected : kControls) {
        SCOPED_TRACE(testing::Message()
                     << expected.kind << " " << expected.id << " " << expected.text);
        QWidget* control = Find(dlg, expected);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(CConvertDlg::GetDlgCtrlID(control), expected.id);
        EXPECT_STREQ(control->metaObject()->className(), expected.kind);
        EXPECT_EQ(TextOf(control), QLatin1String(expected.text));
        EXPECT_EQ(control->geometry(), dlg.MapDialogRect(expected.dialogUnits));
        if (auto* button = qobject_cast<QPushButton*>(control)) {
            EXPECT_EQ(button->isDefault(), expected.id == kIdOk);
        }
    }
}

TEST(ConvertDlgLayout, OpensOnTheShpFolderWithAnEmptyBarAndTabsInLayoutOrder) {
    const SettingsSandbox settings;
    const StoredMapFolder maps;  // OK takes the focus only when enabled
    ProbeDlg dlg;
    dlg.Open();
    const auto* bar = qobject_cast<QProgressBar*>(dlg.GetDlgItem(kIdProgress));
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->value(), bar->minimum());
    for (const Expected& expected : kControls) {
        // Nothing on top, the grey frame included, takes a control's clicks.
        QWidget* control = Find(dlg, expected);
        const QWidget* hit = dlg.childAt(control->geometry().center());
        EXPECT_TRUE(control->focusPolicy() == Qt::NoFocus || hit == control ||
                    control->isAncestorOf(hit))
            << expected.id;
    }

    std::vector<int> visited{CConvertDlg::GetDlgCtrlID(QApplication::focusWidget())};
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.push_back(CConvertDlg::GetDlgCtrlID(QApplication::focusWidget()));
    }
    EXPECT_EQ(visited, (std::vector<int>{1680, 1001, 1002, 1003, 1018, 1007, 2, 1, 1680}));
}

TEST(ConvertDlgLayout, SevenControlsShowTheirTipsWholeAndNothingElseShowsOne) {
    const SettingsSandbox settings;
    ProbeDlg dlg;
    dlg.Open();
    ASSERT_FALSE(QToolTip::isVisible());
    // Controls without a tip first: a tip once shown lingers after the next request.
    for (const bool withTip : {false, true}) {
        for (const Expected& expected : kControls) {
            if (withTip == (*expected.tip != '\0')) {
                EXPECT_EQ(TipShownFor(Find(dlg, expected)), QLatin1String(expected.tip))
                    << expected.kind << " " << expected.id << " " << expected.text;
            }
        }
    }
}

}  // namespace
}  // namespace drovana::test
