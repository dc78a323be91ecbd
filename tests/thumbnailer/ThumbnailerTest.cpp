#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QString>
#include <QUrl>

#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "S16Bytes.h"
#include "ShpBuilder.h"
#include "TestFiles.h"

// The installed program as a file manager runs it: size, input, output.
namespace drovana {
namespace {

struct Thumbnail {
    int status = -1;
    QString error;
    QImage image;
    QByteArray format;
};

QString Native(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

Thumbnail Make(int size, const QString& input, const test::TempDir& dir) {
    const QString output = Native(dir / "thumbnail");
    QProcess process;
    process.start(QStringLiteral(THUMBNAILER_PATH),
                  {QStringLiteral("-s"), QString::number(size), input, output});
    // A thumbnailer that hangs fails the test instead of blocking it.
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    QImageReader reader(output);
    Thumbnail made{process.exitCode(), QString::fromUtf8(process.readAllStandardError()), QImage(),
                   reader.format()};
    made.image = reader.read();
    return made;
}

QString Write(const test::TempDir& dir, const char* name, const std::vector<std::uint8_t>& bytes) {
    test::WriteBytes(dir / name, bytes);
    return Native(dir / name);
}

const auto kMap = test::MakeMap(400, 200, test::MapStyle::kMixed);

TEST(Thumbnailer, ShrinksBothFormatsToPngsThatFit) {
    test::TempDir dir;
    const Thumbnail shp = Make(128, Write(dir, "wide.shp", kMap), dir);
    ASSERT_EQ(shp.status, 0) << shp.error.toStdString();
    EXPECT_EQ(shp.format, "png");
    EXPECT_EQ(shp.image.size(), QSize(128, 64));

    // The S16 picture is one column narrower than its map.
    const auto tall = test::S16Of(test::MakeMap(201, 400, test::MapStyle::kLongRuns));
    const Thumbnail s16 = Make(128, Write(dir, "tall.s16", tall), dir);
    ASSERT_EQ(s16.status, 0) << s16.error.toStdString();
    EXPECT_EQ(s16.format, "png");
    EXPECT_EQ(s16.image.size(), QSize(64, 128));
}

TEST(Thumbnailer, NeverEnlargesASmallPicture) {
    test::TempDir dir;
    const Thumbnail made = Make(256, Write(dir, "map.shp", kMap), dir);
    ASSERT_EQ(made.status, 0) << made.error.toStdString();
    EXPECT_EQ(made.image.size(), QSize(400, 200).scaled(256, 256, Qt::KeepAspectRatio));
    const Thumbnail small = Make(512, Write(dir, "small.shp", kMap), dir);
    EXPECT_EQ(small.image.size(), QSize(400, 200));
}

TEST(Thumbnailer, TakesAFileUri) {
    test::TempDir dir;
    const QString path = Write(dir, "my map.shp", kMap);
    const Thumbnail made = Make(100, QUrl::fromLocalFile(path).toString(), dir);
    ASSERT_EQ(made.status, 0) << made.error.toStdString();
    EXPECT_EQ(made.image.size(), QSize(100, 50));
}

// Past Qt's allocation limit for the whole picture: it is shrunk while it
// is decoded, so it still gets its thumbnail.
TEST(Thumbnailer, ShrinksAMapTooLargeToHoldWhole) {
    test::TempDir dir;
    const auto huge = test::ShpBuilder().Image({8191, 16383, 0, 0, 0}).Run(2, 1).Build();
    const Thumbnail made = Make(128, Write(dir, "huge.shp", huge), dir);
    ASSERT_EQ(made.status, 0) << made.error.toStdString();
    EXPECT_EQ(made.image.size(), QSize(128, 64));
}

TEST(Thumbnailer, FailsWithOneLineOnWhatItCannotRead) {
    test::TempDir dir;
    const auto shapefile = test::ShapefileBytes();
    const auto tooLarge = test::ShpBuilder().Image({32767, 32767, 0, 0, 0}).Run(2, 1).Build();
    for (const QString& input :
         {Write(dir, "roads.shp", shapefile), Write(dir, "too-large.shp", tooLarge),
          Native(dir / "missing.shp")}) {
        const Thumbnail made = Make(128, input, dir);
        EXPECT_EQ(made.status, 1) << input.toStdString();
        EXPECT_TRUE(made.image.isNull()) << input.toStdString();
        EXPECT_TRUE(made.error.endsWith('\n') && made.error.count('\n') == 1)
            << made.error.toStdString();
    }  // A map too broken for any reader to know it by gets its reason, the
    // one its conversion gives.
    const QString broken = Write(dir, "MAP13.SHP", {1, 2, 3});
    EXPECT_EQ(Make(128, broken, dir).error,
              "drovana-thumbnailer: " + broken +
                  ": shp picture: not an SHP picture: file too short for its headers\n");
}

#ifndef _WIN32
// Opened the usual way, a FIFO would wait for a writer for ever; a kernel
// file claims no bytes and may give away what reading it takes.
TEST(Thumbnailer, RefusesFifosAndKernelFilesAtOnce) {
    test::TempDir dir;
    std::vector<std::pair<QString, std::string>> cases;
    for (const char* name : {"x.shp", "x.s16"}) {
        const QString fifo = Native(dir / name);
        ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0) << name;
        cases.emplace_back(fifo, "not a regular file");
    }
    cases.emplace_back(QStringLiteral("/proc/self/status"), "empty file");
    for (const auto& [input, reason] : cases) {
        const Thumbnail made = Make(128, input, dir);
        EXPECT_EQ(made.status, 1) << input.toStdString();
        EXPECT_EQ(made.error.toStdString(),
                  "drovana-thumbnailer: " + input.toStdString() + ": " + reason + "\n");
    }
}
#endif

}  // namespace
}  // namespace drovana
