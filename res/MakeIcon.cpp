// Draws the application icon, a sea map with an island and a conversion
// arrow, and writes it as one PNG per size. The PNGs in icons/ come from
// here; run it again after changing the drawing.
#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <QTextStream>

namespace {

// The drawing is made on a 256 x 256 canvas and scaled to each size.
constexpr qreal kCanvas = 256.0;

QPainterPath Island() {
    QPainterPath path;
    path.moveTo(58, 118);
    path.cubicTo(62, 78, 104, 56, 138, 66);
    path.cubicTo(170, 74, 196, 60, 204, 90);
    path.cubicTo(212, 118, 178, 130, 170, 152);
    path.cubicTo(160, 180, 118, 192, 92, 174);
    path.cubicTo(70, 160, 54, 146, 58, 118);
    path.closeSubpath();
    return path;
}

void DrawIcon(QPainter& painter, int size) {
    const bool small = size <= 24;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kCanvas, size / kCanvas);

    // Sea: a rounded tile, lighter towards the top.
    const QRectF tile(8, 8, 240, 240);
    QLinearGradient sea(tile.topLeft(), tile.bottomLeft());
    sea.setColorAt(0.0, QColor(0x3b, 0x82, 0xd6));
    sea.setColorAt(1.0, QColor(0x1c, 0x4f, 0x8f));
    painter.setPen(QPen(QColor(0x12, 0x33, 0x5c), small ? 16 : 8));
    painter.setBrush(sea);
    painter.drawRoundedRect(tile, 40, 40);

    // Land with a sandy shore.
    painter.setPen(QPen(QColor(0xe9, 0xd8, 0xa6), small ? 18 : 10));
    painter.setBrush(QColor(0x4c, 0xaf, 0x50));
    painter.drawPath(Island());
    if (!small) {
        painter.setPen(QPen(QColor(0xe9, 0xd8, 0xa6), 6));
        painter.drawEllipse(QRectF(54, 190, 34, 22));
        // Contour of the high ground.
        painter.setPen(QPen(QColor(0x2e, 0x7d, 0x32), 6));
        painter.setBrush(QColor(0x38, 0x8e, 0x3c));
        painter.drawEllipse(QRectF(112, 92, 50, 36));
    }

    // Conversion badge: an orange disc with a white arrow to the right.
    const QRectF badge(140, 140, 108, 108);
    painter.setPen(QPen(QColor(0x7c, 0x3a, 0x05), small ? 12 : 6));
    painter.setBrush(QColor(0xf5, 0x9e, 0x0b));
    painter.drawEllipse(badge);
    QPainterPath arrow;
    arrow.moveTo(166, 184);
    arrow.lineTo(198, 184);
    arrow.lineTo(198, 166);
    arrow.lineTo(228, 194);
    arrow.lineTo(198, 222);
    arrow.lineTo(198, 204);
    arrow.lineTo(166, 204);
    arrow.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPath(arrow);
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        QTextStream(stderr) << "usage: make-icon FOLDER\n";
        return 2;
    }
    const QDir folder(arguments.at(1));
    for (const int size : {16, 24, 32, 48, 256}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        DrawIcon(painter, size);
        painter.end();
        const QString name = folder.filePath(QStringLiteral("drovana-%1.png").arg(size));
        if (!image.save(name)) {
            QTextStream(stderr) << "make-icon: cannot write " << name << '\n';
            return 1;
        }
    }
    return 0;
}
