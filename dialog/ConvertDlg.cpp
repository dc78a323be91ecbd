#include "ConvertDlg.h"

#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QVariant>

#include "AppIcon.h"
#include "ConvertDlgLayout.h"

namespace drovana {

CConvertDlg* g_pMainDlg = nullptr;

namespace {

// Where a control keeps its id.
constexpr char kControlIdProperty[] = "controlId";

struct ToolTip {
    int id;
    const char* text;
};

// Every control not named here shows no tip.
constexpr ToolTip kToolTips[] = {
    {kIdOk, "Click here to convert SHP files to S16"},
    {kIdCancel,
     "Exit application with no further warning.  Your settings and entries will be saved "
     "automatically and will be retreived next time you open the application."},
    {kIdShpSelect, "Click here to specify folder holding SHP files to convert"},
    {kIdPegFolderEdit, "Folder holding Peoples S16 files"},
    {kIdUpdateOnly, "If checked, only MAP nn files not existing on PeG Folder will be converted"},
    {kIdPegSelect, "Click here to select PeG folder to update"},
    {kIdShpFolderEdit, "Folder holding SHP files to convert"},
};

QFont DialogFont(int pointSize) {
    QFont font(QStringLiteral("Sans Serif"), pointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

template <typename T>
T* ControlAs(const CConvertDlg& dialog, int id) {
    auto* control = qobject_cast<T*>(dialog.GetDlgItem(id));
    Q_ASSERT(control);
    return control;
}

}  // namespace

CConvertDlg::CConvertDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_hIcon(LoadAppIcon()) {
    const DialogLayout& layout = kConvertDlgLayout;
    setWindowTitle(QString::fromUtf8(layout.caption));
    setFont(DialogFont(layout.pointSize));
    m_baseUnits = BaseUnitsOfFont(font());
    setFixedSize(MapDialogSize(QSize(layout.cx, layout.cy), m_baseUnits));

    CreateControls();
    ConnectControls();
}

// Destroyed while still open: the window goes now.
CConvertDlg::~CConvertDlg() {
    OnWindowGone();
}

QWidget* CConvertDlg::GetDlgItem(int id) const {
    for (const Control& control : m_controls) {
        if (control.id == id && id != kNoControlId) {
            return control.widget;
        }
    }
    return nullptr;
}

int CConvertDlg::GetDlgCtrlID(const QWidget* widget) {
    return widget ? widget->property(kControlIdProperty).toInt() : 0;
}

QRect CConvertDlg::MapDialogRect(const QRect& dialogUnits) const {
    return drovana::MapDialogRect(dialogUnits, m_baseUnits);
}

void CConvertDlg::ReadControls() {
    m_strShpFolder = m_shpFolderEdit->text();
    m_strPegFolder = m_pegFolderEdit->text();
    m_bUpdateOnly = m_updateOnlyCheck->isChecked();
}

void CConvertDlg::WriteControls() {
    m_shpFolderEdit->setText(m_strShpFolder);
    m_pegFolderEdit->setText(m_strPegFolder);
    m_updateOnlyCheck->setChecked(m_bUpdateOnly);
}

void CConvertDlg::done(int result) {
    // Closing leaves the edit that has the focus, so a folder typed into it
    // but not yet confirmed is read and saved like one the user tabbed out of.
    if (QWidget* focused = focusWidget()) {
        focused->clearFocus();
    }
    QDialog::done(result);
    OnWindowGone();
}

void CConvertDlg::OnWindowGone() {
    if (m_bOpen) {
        m_bOpen = false;
        SaveSettings();
    }
}

void CConvertDlg::showEvent(QShowEvent* event) {
    // Spontaneous shows (a restore from the task bar) find the dialog open.
    if (!m_bOpen) {
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

bool CConvertDlg::eventFilter(QObject* watched, QEvent* event) {
    // Leaving an edit is a focus change, whether or not the text changed.
    // The edit's own context menu takes the focus for a moment but does not
    // leave the edit.
    // A run disables the edits, which takes the focus from them; the run has
    // read them already.
    if (!m_bRunning && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        if (watched == m_shpFolderEdit) {
            OnFolderEditLeft(m_strShpFolder);
        } else if (watched == m_pegFolderEdit) {
            OnFolderEditLeft(m_strPegFolder);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CConvertDlg::OnInitDialog() {
    m_bOpen = true;
    EnableToolTips();
    WriteControls();
    setWindowIcon(m_hIcon);
    LoadSettings();
    RefreshFileList();
    if (!m_strStartNote.isEmpty()) {
        m_statusLine->setText(m_strStartNote);
    }
    // The first control in tab order takes the focus.
    m_shpFolderEdit->setFocus(Qt::OtherFocusReason);
}

void CConvertDlg::EnableToolTips() {
    for (const ToolTip& tip : kToolTips) {
        if (QWidget* control = GetDlgItem(tip.id)) {
            control->setToolTip(QString::fromUtf8(tip.text));
        }
    }
}

void CConvertDlg::CreateControls() {
    const DialogLayout& layout = kConvertDlgLayout;
    for (int i = 0; i < layout.controlCount; ++i) {
        const DialogControl& row = layout.controls[i];
        QWidget* control = CreateControl(row);
        control->setGeometry(MapDialogRect(QRect(row.x, row.y, row.cx, row.cy)));
        if (row.id != kNoControlId) {
            control->setProperty(kControlIdProperty, row.id);
            control->setObjectName(QStringLiteral("control%1").arg(row.id));
        }
        m_controls.push_back({row.id, control});
    }

    m_shpFolderEdit = ControlAs<QLineEdit>(*this, kIdShpFolderEdit);
    m_pegFolderEdit = ControlAs<QLineEdit>(*this, kIdPegFolderEdit);
    m_updateOnlyCheck = ControlAs<QCheckBox>(*this, kIdUpdateOnly);
    m_fileList = ControlAs<QListWidget>(*this, kIdFileList);
    m_progress = ControlAs<QProgressBar>(*this, kIdProgress);
    m_okButton = ControlAs<QPushButton>(*this, kIdOk);
    m_statusLine = ControlAs<QLabel>(*this, kIdStatus);
    m_fileCount = ControlAs<QLabel>(*this, kIdFileCount);
}

QWidget* CConvertDlg::CreateControl(const DialogControl& row) {
    const QString text = QString::fromUtf8(row.text);
    const bool tabStop = (row.style & kTabStop) != 0;
    QWidget* control = nullptr;
    switch (row.kind) {
        case ControlKind::kEdit: {
            auto* edit = new QLineEdit(text, this);
            edit->setFrame((row.style & kBorder) != 0);
            edit->installEventFilter(this);
            control = edit;
            break;
        }
        case ControlKind::kPushButton:
        case ControlKind::kDefaultPushButton: {
            auto* button = new QPushButton(text, this);
            button->setDefault(row.kind == ControlKind::kDefaultPushButton);
            control = button;
            break;
        }
        case ControlKind::kListBox: {
            auto* list = new QListWidget(this);
            // Sorted lists arrive sorted from the batch rules, without regard
            // to case; the widget's own sort would put 'Map02' before 'map01'.
            list->setSortingEnabled(false);
            // Room for the warning marks from the start.
            const int side = list->fontMetrics().height();
            list->setIconSize(QSize(side, side));
            if (row.style & kMultiColumn) {
                // Entries run down a column and on into the next one.
                list->setFlow(QListView::TopToBottom);
                list->setWrapping(true);
                list->setResizeMode(QListView::Adjust);
            }
            list->setVerticalScrollBarPolicy((row.style & kVScroll) ? Qt::ScrollBarAsNeeded
                                                                    : Qt::ScrollBarAlwaysOff);
            list->setHorizontalScrollBarPolicy((row.style & kHScroll) ? Qt::ScrollBarAsNeeded
                                                                      : Qt::ScrollBarAlwaysOff);
            if (!(row.style & kBorder)) {
                list->setFrameShape(QFrame::NoFrame);
            }
            control = list;
            break;
        }
        case ControlKind::kAutoCheckBox:
            control = new QCheckBox(text, this);
            break;
        case ControlKind::kLabel: {
            auto* label = new QLabel(text, this);
            // File names and paths go here later; never read them as markup.
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | ((row.style & kCentreVertically) ? Qt::AlignVCenter
                                                                                 : Qt::AlignTop));
            return label;
        }
        case ControlKind::kProgressBar: {
            auto* bar = new QProgressBar(this);
            bar->setTextVisible(false);
            bar->setRange(0, 100);
            bar->setValue(0);
            // The bar draws no text; its name still reaches screen readers.
            bar->setAccessibleName(text);
            return bar;
        }
        case ControlKind::kGreyFrame: {
            auto* frame = new QFrame(this);
            frame->setFrameStyle(QFrame::Box | QFrame::Plain);
            QPalette palette = frame->palette();
            palette.setColor(QPalette::WindowText, palette.color(QPalette::Dark));
            frame->setPalette(palette);
            // Only an outline: the controls inside stay reachable by the mouse.
            frame->setAttribute(Qt::WA_TransparentForMouseEvents);
            frame->lower();
            return frame;
        }
    }
    control->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    return control;
}

void CConvertDlg::ConnectControls() {
    connect(m_okButton, &QPushButton::clicked, this, &CConvertDlg::RunConversion);
    connect(ControlAs<QPushButton>(*this, kIdCancel), &QPushButton::clicked, this,
            &CConvertDlg::reject);
    connect(ControlAs<QPushButton>(*this, kIdShpSelect), &QPushButton::clicked, this,
            &CConvertDlg::BrowseShpFolder);
    connect(ControlAs<QPushButton>(*this, kIdPegSelect), &QPushButton::clicked, this,
            &CConvertDlg::BrowsePegFolder);
    // Clicks only: "write" sets the box too, and that is no user's click.
    connect(m_updateOnlyCheck, &QCheckBox::clicked, this, &CConvertDlg::OnUpdateOnlyClicked);
    connect(m_fileList, &QListWidget::itemSelectionChanged, this,
            &CConvertDlg::OnListSelectionChanged);
    connect(m_fileList, &QListWidget::itemDoubleClicked, this, &CConvertDlg::OnFileDoubleClicked);
}

}  // namespace drovana
