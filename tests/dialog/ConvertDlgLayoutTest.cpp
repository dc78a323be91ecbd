#include <QAbstractButton>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTextStream>
#include <QToolTip>
#include <cmath>

#include "DialogTestSupport.h"

namespace drovana::test {
namespace {

// The dialog as a user meets it, written out as text and compared with a
// checked-in description, tests/data/dialog/ConvertDlg.layout. A change to
// the layout shows as a diff of that file; after a wanted change, rewrite it
// with DROVANA_UPDATE_GOLDEN=1 and review the diff.
constexpr const char* kGoldenPath = DROVANA_TEST_DATA_DIR "/dialog/ConvertDlg.layout";

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

// Pixels back to dialog units; a place no dialog-unit rectangle maps to is
// written in pixels, so that it shows in the diff.
QString PlaceOf(const CConvertDlg& dlg, const QRect& pixels) {
    const QRect unit = dlg.MapDialogRect(QRect(0, 0, 400, 800));
    const auto back = [](int value, int perHundred, int units) {
        return int(std::lround(value * double(units) / perHundred));
    };
    const QRect units(back(pixels.x(), unit.width(), 400), back(pixels.y(), unit.height(), 800),
                      back(pixels.width(), unit.width(), 400),
                      back(pixels.height(), unit.height(), 800));
    const QRect shown = dlg.MapDialogRect(units) == pixels ? units : pixels;
    return QStringLiteral("%1 %2 %3 %4%5")
        .arg(shown.x())
        .arg(shown.y())
        .arg(shown.width())
        .arg(shown.height())
        .arg(shown == units ? "" : " px, off the dialog-unit grid");
}

QString Quoted(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString DescribeWindow(const CConvertDlg& dlg) {
    const Qt::WindowFlags flags = dlg.windowFlags();
    QString text;
    QTextStream out(&text);
    out << "caption " << Quoted(dlg.windowTitle()) << "\n";
    out << "font " << dlg.font().pointSize() << " pt\n";
    out << "client " << PlaceOf(dlg, QRect(QPoint(), dlg.size()))
        << (dlg.minimumSize() == dlg.maximumSize() ? ", fixed" : ", resizable") << "\n";
    out << "title bar:" << (flags & Qt::WindowSystemMenuHint ? " menu" : "")
        << (flags & Qt::WindowMinimizeButtonHint ? " minimise" : "")
        << (flags & Qt::WindowMaximizeButtonHint ? " maximise" : "")
        << (flags & Qt::WindowContextHelpButtonHint ? " help" : "")
        << (flags & Qt::WindowCloseButtonHint ? " close" : "") << "\n";
    return text;
}

// Texts before the dialog is opened, so the edits still hold the layout's own.
QString DescribeControls(const CConvertDlg& dlg) {
    QString text;
    QTextStream out(&text);
    out << "# id kind x y cx cy (dialog units) text\n";
    for (QWidget* control : dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const auto* button = qobject_cast<const QPushButton*>(control);
        out << CConvertDlg::GetDlgCtrlID(control) << " " << control->metaObject()->className()
            << (button && button->isDefault() ? " (default)" : "") << " "
            << PlaceOf(dlg, control->geometry()) << " " << Quoted(TextOf(control)) << "\n";
    }
    return text;
}

// What an opened dialog does with the keyboard and the mouse: the tab order
// from the focus it opens with, and the tip over each control.
QString DescribeUse(ProbeDlg& dlg) {
    QString text;
    QTextStream out(&text);
    out << "tab order";
    for (int i = 0; i < 9; ++i) {
        out << " " << CConvertDlg::GetDlgCtrlID(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    out << "\n# id tip\n";
    // Controls without a tip first: a tip once shown lingers after the next request.
    const QList<QWidget*> controls = dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (const bool withTip : {false, true}) {
        for (QWidget* control : controls) {
            if (withTip == !control->toolTip().isEmpty()) {
                out << CConvertDlg::GetDlgCtrlID(control) << " "
                    << control->metaObject()->className() << " " << Quoted(TipShownFor(control))
                    << "\n";
            }
        }
    }
    return text;
}

QString Golden() {
    QFile file(QString::fromUtf8(kGoldenPath));
    return file.open(QIODevice::ReadOnly | QIODevice::Text) ? QString::fromUtf8(file.readAll())
                                                            : QString();
}

void Rewrite(const QString& described) {
    QFile file(QString::fromUtf8(kGoldenPath));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text));
    file.write(described.toUtf8());
}

TEST(ConvertDlgLayout, MatchesItsCheckedInDescription) {
    const SettingsSandbox settings;
    const StoredMapFolder maps;  // OK takes the focus only when enabled
    ProbeDlg dlg;
    QString described = DescribeWindow(dlg) + DescribeControls(dlg);
    dlg.Open();
    described += DescribeUse(dlg);
    if (qEnvironmentVariableIsSet("DROVANA_UPDATE_GOLDEN")) {
        Rewrite(described);
    }
    EXPECT_EQ(described.toStdString(), Golden().toStdString());
}

TEST(ConvertDlgLayout, OpensWithAnEmptyBarAndNothingCoveringAControl) {
    const SettingsSandbox settings;
    ProbeDlg dlg;
    dlg.Open();
    const auto* bar = qobject_cast<QProgressBar*>(dlg.GetDlgItem(kIdProgress));
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->value(), bar->minimum());
    // Nothing on top, the grey frame included, takes a control's clicks.
    for (QWidget* control : dlg.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QWidget* hit = dlg.childAt(control->geometry().center());
        EXPECT_TRUE(control->focusPolicy() == Qt::NoFocus || hit == control ||
                    control->isAncestorOf(hit))
            << CConvertDlg::GetDlgCtrlID(control);
    }
}

}  // namespace
}  // namespace drovana::test
