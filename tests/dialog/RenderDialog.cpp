// Draws the converter dialog as it opens, with a plain title bar added on
// top, into a PNG for the README. It makes its own sample maps and settings
// in a throw-away folder and never touches the user's settings.
#include <QApplication>
#include <QDir>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSettings>
#include <QTest>
#include <QTextStream>
#include <cstdio>

#include "ConvertApp.h"
#include "ConvertDlg.h"
#include "DialogTestSupport.h"
#include "Settings.h"
#include "ShpBuilder.h"
#include "TestFiles.h"

namespace {

// Relative folders keep the picture the same wherever it is drawn.
void MakeSampleFolders() {
    QDir().mkpath(QStringLiteral("PG2/MAPS"));
    QDir().mkpath(QStringLiteral("PEG/MAPS"));
    for (int map = 1; map <= 14; ++map) {
        const std::string title =
            QStringLiteral("MAP%1").arg(map, 2, 10, QLatin1Char('0')).toStdString();
        drovana::test::WriteBytes("PG2/MAPS/" + title + ".SHP",
                                  drovana::test::MakeMap(32, 24, drovana::test::MapStyle::kMixed,
                                                         static_cast<std::uint32_t>(map)));
        if (map <= 4) {
            drovana::test::WriteBytes("PEG/MAPS/" + title + ".S16", {0});
        }
    }
    QSettings settings;
    settings.beginGroup(QStringLiteral("Settings"));
    settings.setValue(QStringLiteral("Folder"), QStringLiteral("PG2/MAPS/"));
    settings.setValue(QStringLiteral("Update"), 1);
    settings.setValue(QStringLiteral("UpdateFolder"), QStringLiteral("PEG/MAPS/"));
}

// The offscreen platform draws no window frame; a simple one shows the caption.
QImage WithTitleBar(const QWidget& window, const QPixmap& client) {
    const int bar = 26;
    QImage image(client.width() + 2, client.height() + bar + 1, QImage::Format_ARGB32);
    image.fill(QColor(0x5a, 0x5a, 0x5a));
    QPainter painter(&image);
    painter.fillRect(1, 1, client.width(), bar - 1, QColor(0x2b, 0x4c, 0x7e));
    window.windowIcon().paint(&painter, QRect(6, 1 + (bar - 1 - 16) / 2, 16, 16));
    QFont font = window.font();
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    const QRect text(28, 1, client.width() - 56, bar - 1);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, window.windowTitle());
    painter.drawText(QRect(client.width() - 24, 1, 20, bar - 1), Qt::AlignCenter,
                     QStringLiteral("\u00d7"));
    painter.drawPixmap(1, bar, client);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: render-dialog FILE.png\n");
        return 2;
    }
    const QString output = QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1]));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    drovana::CConvertApp app(argc, argv);
    const drovana::test::SettingsSandbox settings;
    drovana::SetSettingsRoot(QString::fromLatin1(drovana::kSettingsRoot),
                             QCoreApplication::applicationFilePath());
    QTemporaryDir samples;
    QDir::setCurrent(samples.path());
    MakeSampleFolders();

    drovana::CConvertDlg dlg;
    dlg.show();
    if (!QTest::qWaitForWindowExposed(&dlg)) {
        std::fprintf(stderr, "render-dialog: the dialog did not show\n");
        return 1;
    }
    const QImage image = WithTitleBar(dlg, dlg.grab());
    if (!image.save(output)) {
        QTextStream(stderr) << "render-dialog: cannot write " << output << '\n';
        return 1;
    }
    dlg.reject();
    return 0;
}
