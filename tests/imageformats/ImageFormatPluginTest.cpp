#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <QString>

#include "MapPalette.h"
#include "PictureDecode.h"
#include "S16Bytes.h"
#include "ShpBuilder.h"
#include "TestFiles.h"

// The built plugins, found through QT_PLUGIN_PATH, read files by suffix and
// by content, and refuse what is not theirs.
namespace drovana {
namespace {

using test::ShpBuilder;

std::vector<std::uint8_t> SmallMap() {
    return ShpBuilder().Image({1, 3, 0, 0, 1}).Run(3, 40).EndRow().Literal({7, 8, 9}).Build();
}

QString Write(const test::TempDir& dir, const char* name, const std::vector<std::uint8_t>& bytes) {
    test::WriteBytes(dir / name, bytes);
    return QString::fromStdString((dir / name).string());
}

TEST(ImageFormatPlugins, ReadPicturesBySuffixAndByContent) {
    test::TempDir dir;
    const auto shp = SmallMap();
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
        QByteArray format;
        int width;
    } cases[] = {{"map.shp", shp, "shp", 4},
                 {"map-without-suffix", shp, "shp", 4},
                 {"map.s16", test::S16Of(shp), "s16", 3},
                 {"s16-without-suffix", test::S16Of(shp), "s16", 3}};
    for (const auto& c : cases) {
        QImageReader reader(Write(dir, c.name, c.bytes));
        EXPECT_EQ(reader.format(), c.format) << c.name;
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << c.name << ": " << reader.errorString().toStdString();
        EXPECT_EQ(image.size(), QSize(c.width, 2)) << c.name;
        const bool s16 = c.format == "s16";
        EXPECT_EQ(image.pixel(1, 0), s16 ? ArgbOfPacked(PackColour(40)) : ArgbOfIndex(40))
            << c.name;
        EXPECT_EQ(qAlpha(image.pixel(0, 1)), 255) << c.name;
        EXPECT_EQ(image.pixel(c.width - 1, 0) >> 24, s16 ? 255u : 0u) << c.name;
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
