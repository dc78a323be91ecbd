#include "PreviewWindow.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <system_error>

#include "BatchRules.h"
#include "FilePlaces.h"
#include "NativeText.h"
#include "PathParts.h"
#include "PictureDecode.h"
#include "PictureFormats.h"
#include "PictureImage.h"
#include "PreRun.h"

namespace drovana {

namespace fs = std::filesystem;

// Paints a picture over a checkerboard, at 1:1 or scaled into its own size.
class PictureView final : public QWidget {
public:
    PictureView(QImage image, QWidget* parent) : QWidget(parent), m_image(std::move(image)) {
        QPixmap tile(16, 16);
        tile.fill(QColor(0xcc, 0xcc, 0xcc));
        QPainter painter(&tile);
        painter.fillRect(0, 0, 8, 8, QColor(0x99, 0x99, 0x99));
        painter.fillRect(8, 8, 8, 8, QColor(0x99, 0x99, 0x99));
        m_checkers = QBrush(tile);
        setAutoFillBackground(true);
        setBackgroundRole(QPalette::Mid);
        resize(m_image.size());
    }

    QSize sizeHint() const override { return m_image.size(); }
    void SetFit(bool fit) {
        m_fit = fit;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (m_image.isNull()) {
            return;
        }
        QPainter painter(this);
        const QRect target = Target();
        painter.fillRect(target, m_checkers);
        if (!m_fit) {
            painter.drawImage(target.topLeft(), m_image);
            return;
        }
        // Scaling the whole picture on every paint would be slow for large maps.
        // Enlarged, each pixel stays a sharp square: a map's edges are its content.
        if (m_scaled.size() != target.size()) {
            const bool enlarged = target.width() > m_image.width();
            m_scaled = m_image.scaled(target.size(), Qt::IgnoreAspectRatio,
                                      enlarged ? Qt::FastTransformation : Qt::SmoothTransformation);
        }
        painter.drawImage(target.topLeft(), m_scaled);
    }

private:
    QRect Target() const {
        if (!m_fit) {
            return QRect(QPoint(0, 0), m_image.size());
        }
        const QSize size = m_image.size().scaled(this->size(), Qt::KeepAspectRatio);
        return QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    }

    QImage m_image;
    QImage m_scaled;
    QBrush m_checkers;
    bool m_fit = false;
};

namespace {

constexpr char kNoS16[] = "no S16 yet";

// Fit as the user last left it, for the next map's preview.
bool g_bFitPreviews = false;

// Each bar follows the other, so that both panes show the same part.
void ScrollTogether(QScrollBar* a, QScrollBar* b) {
    QObject::connect(a, &QScrollBar::valueChanged, b, &QScrollBar::setValue);
    QObject::connect(b, &QScrollBar::valueChanged, a, &QScrollBar::setValue);
}

// A picture as the preview shows it: its pixels, no more than the screen
// holds, and its own size; or why there are none.
struct PreviewPicture {
    QImage image;
    QSize size;
    QString reason;  // empty when the image holds the picture
};

PreviewPicture Refused(const QString& reason) {
    return {{}, {}, reason};
}

bool Within(QSize size, QSize room) {
    return size.width() <= room.width() && size.height() <= room.height();
}

// Read the way the image plugins read, through the core's decoder; a picture
// larger than `room` is shrunk while it is decoded, since no more can show.
template <typename Format>
PreviewPicture LoadPreview(const fs::path& path, QSize room) {
    FileSource source;
    const ConvertResult opened = OpenSource(path, ConvertOptions{}, source);
    if (!opened.Ok()) {
        return Refused(QString::fromStdString(DescribeConvertResult(opened)));
    }
    typename Format::Picture picture;
    const PictureError error = Format::ReadHeader(source, picture);
    if (error != PictureError::kNone) {
        return Refused(QString::fromUtf8(Format::Refusal(source, error)));
    }
    const QSize size(picture.width, picture.height);
    // The preview stands for the picture at 1:1, which a viewer reading it
    // whole would refuse past the limit.
    if (!FitsAllocationLimit(size)) {
        return Refused(QString::fromLatin1(kOverAllocationLimit));
    }
    const QSize wanted =
        Within(size, room) ? size : size.scaled(room, Qt::KeepAspectRatio).expandedTo({1, 1});
    PreviewPicture shown{{}, size, {}};
    if (const char* reason = ReadPictureImage<Format>(source, picture, wanted, shown.image)) {
        return Refused(QString::fromUtf8(reason));
    }
    // Converted once here rather than on every paint.
    shown.image.convertTo(QImage::Format_ARGB32_Premultiplied);
    return shown;
}

QString Caption(const fs::path& path, const PreviewPicture& picture) {
    const QString name = ReadableText(TextOf(path.filename()));
    if (!picture.reason.isEmpty()) {
        return name + QStringLiteral(": ") + picture.reason;
    }
    return QStringLiteral("%1: %2 x %3")
        .arg(name)
        .arg(picture.size.width())
        .arg(picture.size.height());
}

// The largest size a new window takes: most of the screen.
QSize RoomOnScreen(const QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableSize() * 0.8 : QSize(1024, 768);
}

// The pixels of the screen the window opens on: no more are ever shown at once.
QSize ScreenPixels(const QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableSize() * screen->devicePixelRatio() : QSize(1920, 1080);
}

}  // namespace

CPreviewWindow::CPreviewWindow(QWidget* owner, const fs::path& map, const fs::path& s16)
    : QWidget(owner, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    const fs::path& first = map.empty() ? s16 : map;
    setWindowTitle(QStringLiteral("Preview: %1").arg(ReadableText(TextOf(first.filename()))));

    const QSize room = ScreenPixels(*this);
    m_fit = new QCheckBox(QStringLiteral("Fit"), this);
    connect(m_fit, &QCheckBox::toggled, this, &CPreviewWindow::SetFit);
    auto* panes = new QHBoxLayout;
    QSize wanted(80, 100);
    const auto addPane = [&](const fs::path& path, const PreviewPicture& picture, QLabel*& label) {
        panes->addWidget(MakePane(Caption(path, picture), picture.image, label));
        wanted = QSize(wanted.width() + picture.image.width(),
                       std::max(wanted.height(), picture.image.height() + 100));
    };
    if (!map.empty()) {
        addPane(map, LoadPreview<ShpFormat>(map, room), m_mapCaption);
    }
    if (!s16.empty()) {
        std::error_code error;
        addPane(s16,
                fs::exists(s16, error) ? LoadPreview<S16Format>(s16, room)
                                       : Refused(QString::fromLatin1(kNoS16)),
                m_s16Caption);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_fit);
    layout->addLayout(panes, 1);

    const QList<QScrollArea*> areas = findChildren<QScrollArea*>();
    if (areas.size() == 2) {
        ScrollTogether(areas[0]->horizontalScrollBar(), areas[1]->horizontalScrollBar());
        ScrollTogether(areas[0]->verticalScrollBar(), areas[1]->verticalScrollBar());
    }
    m_fit->setChecked(g_bFitPreviews);
    resize(wanted.expandedTo(QSize(480, 320)).boundedTo(RoomOnScreen(*this)));
}

QString CPreviewWindow::MapCaption() const {
    return m_mapCaption ? m_mapCaption->text() : QString();
}

QString CPreviewWindow::S16Caption() const {
    return m_s16Caption ? m_s16Caption->text() : QString();
}

void CPreviewWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

QWidget* CPreviewWindow::MakePane(const QString& caption, const QImage& image,
                                  QLabel*& captionLabel) {
    auto* pane = new QWidget(this);
    captionLabel = new QLabel(caption, pane);
    // File names are never markup.
    captionLabel->setTextFormat(Qt::PlainText);
    auto* area = new QScrollArea(pane);
    area->setBackgroundRole(QPalette::Mid);
    area->setAlignment(Qt::AlignCenter);
    area->setWidget(new PictureView(image, area));
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(captionLabel);
    layout->addWidget(area, 1);
    return pane;
}

void CPreviewWindow::SetFit(bool fit) {
    g_bFitPreviews = fit;
    for (auto* area : findChildren<QScrollArea*>()) {
        auto* view = static_cast<PictureView*>(area->widget());
        area->setWidgetResizable(fit);
        if (!fit) {
            view->resize(view->sizeHint());
        }
        view->SetFit(fit);
    }
}

CPreviewWindow* OpenPreview(QWidget* owner, const fs::path& map, const fs::path& target) {
    const fs::path s16 = FindInAnyCase(target);
    // The target's own name stands for an S16 not made yet.
    auto* window = new CPreviewWindow(owner, map, s16.empty() ? target : s16);
    window->show();
    return window;
}

CPreviewWindow* OpenViewer(const std::vector<fs::path>& files) {
    fs::path map;
    fs::path s16;
    for (const fs::path& file : files) {
        (HasExtension(TextOf(file), kS16Extension) ? s16 : map) = file;
    }
    // One picture named: its other half beside it, if there is one.
    if (files.size() == 1 && !map.empty()) {
        s16 = FindInAnyCase(fs::path(map).replace_extension(kS16Extension));
    } else if (files.size() == 1) {
        map = FindInAnyCase(fs::path(s16).replace_extension(kShpExtension));
    }
    auto* window = new CPreviewWindow(nullptr, map, s16);
    window->show();
    return window;
}

void ClosePreviews(QWidget& owner) {
    for (auto* window : owner.findChildren<CPreviewWindow*>(Qt::FindDirectChildrenOnly)) {
        window->close();
    }
}

}  // namespace drovana
