#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QString>

#include "S16Bytes.h"
#include "ShpBuilder.h"
#include "TestFiles.h"

// The built plugins, found through QT_PLUGIN_PATH, read files by suffix and
// by content, and refuse what is not theirs.
namespace drovana {
namespace {

using test::ShpBuilder;

// Coded from column 1, its first row ending one pixel short of the edge.
std::vector<std::uint8_t> SmallMap() {
    return ShpBuilder().Image({1, 4, 1, 0, 1}).Run(3, 40).EndRow().Literal({7, 8, 9, 10}).Build();
}

QString Write(const test::TempDir& dir, const char* name, const std::vector<std::uint8_t>& bytes) {
    test::WriteBytes(dir / name, bytes);
    return QString::fromStdString((dir / name).string());
}

// A map and its S16 read by suffix and by content are one picture.
TEST(ImageFormatPlugins, ReadPicturesBySuffixAndByContent) {
    test::TempDir dir;
    const auto shp = SmallMap();
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
        QByteArray format;
    } cases[] = {{"map.shp", shp, "shp"},
                 {"map-without-suffix", shp, "shp"},
                 {"map.s16", test::S16Of(shp), "s16"},
                 {"s16-without-suffix", test::S16Of(shp), "s16"}};
    QImage first;
    for (const auto& c : cases) {
        QImageReader reader(Write(dir, c.name, c.bytes));
        EXPECT_EQ(reader.format(), c.format) << c.name;
        const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(image.isNull()) << c.name << ": " << reader.errorString().toStdString();
        first = first.isNull() ? image : first;
        EXPECT_EQ(image, first) << c.name;
    }
}

// Every picture of tests/data/read looks as the PNG of its name says: made
// once by our encoder and checked by eye, so that a change in how a picture
// is shown is seen.
TEST(ImageFormatPlugins, ReadPicturesAsTheirGoldenImages) {
    const QDir folder(QStringLiteral(DROVANA_READ_DATA_DIR));
    const QStringList pictures = folder.entryList({"*.shp", "*.s16"}, QDir::Files);
    ASSERT_GE(pictures.size(), 7);
    for (const QString& name : pictures) {
        QImageReader reader(folder.filePath(name));
        const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
        const QImage golden = QImage(folder.filePath(QFileInfo(name).completeBaseName() + ".png"))
                                  .convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(golden.isNull()) << name.toStdString();
        EXPECT_EQ(image, golden) << name.toStdString();
    }
}

// The size comes from the header alone, and a scaled read gives exactly the
// size asked for, whether it divides the picture evenly or not.
TEST(ImageFormatPlugins, TellTheSizeAndReadScaled) {
    test::TempDir dir;
    const auto shp = test::MakeMap(99, 60, test::MapStyle::kMixed);
    for (const QString& path :
         {Write(dir, "big.shp", shp), Write(dir, "big.s16", test::S16Of(shp))}) {
        const QSize whole = QImageReader(path).size();
        EXPECT_EQ(whole.height(), 60) << path.toStdString();
        for (const QSize wanted : {QSize(33, 20), QSize(40, 25), whole, whole * 2}) {
            QImageReader reader(path);
            reader.setScaledSize(wanted);
            EXPECT_EQ(reader.read().size(), wanted) << path.toStdString();
        }
    }
}

// Enlarged past the allocation limit, a small picture is refused as a large one is.
TEST(ImageFormatPlugins, RefuseToEnlargePastTheAllocationLimit) {
    test::TempDir dir;
    QImageReader reader(Write(dir, "map.shp", SmallMap()));
    reader.setScaledSize(QSize(8193, 8193));
    EXPECT_TRUE(reader.read().isNull());
}

TEST(ImageFormatPlugins, RefuseFilesThatAreNotTheirs) {
    test::TempDir dir;
    const auto shapefile = test::ShapefileBytes();
    const std::vector<std::uint8_t> huge = ShpBuilder().Image({32767, 32767, 0, 0, 0}).Build();
    std::vector<std::uint8_t> cut = test::S16Of(SmallMap());
    cut.resize(cut.size() - 4);
    for (const auto& [name, bytes] : {std::pair{"roads.shp", shapefile},
                                      std::pair{"huge.shp", huge}, std::pair{"cut.s16", cut}}) {
        QImageReader reader(Write(dir, name, bytes));
        EXPECT_FALSE(reader.canRead()) << name;
        EXPECT_TRUE(reader.read().isNull()) << name;
    }
}

}  // namespace
}  // namespace drovana
