#include <QCheckBox>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>

#include "DialogTestSupport.h"
#include "PreviewWindow.h"
#include "S16Bytes.h"
#include "ShpBuilder.h"

// The preview a double-click on a listed map opens: the map beside its S16
// picture, each with its size or the reason it cannot be shown.
namespace drovana::test {
namespace {

namespace fs = std::filesystem;

QSize ScreenPixels() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen->availableSize() * screen->devicePixelRatio();
}

class PreviewTest : public DialogWithFolders {
protected:
    void UseFolders() {
        dlg_.ShpFolder() = FolderText(shp_);
        dlg_.PegFolder() = FolderText(peg_);
        dlg_.RefreshFileList();
    }
    CPreviewWindow* DoubleClick(int row) {
        QListWidget* list = dlg_.List();
        const QRect cell = list->visualItemRect(list->item(row));
        // A double-click reaches an item view as a click and then a double-click.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        return dlg_.findChild<CPreviewWindow*>();
    }
};

TEST_F(PreviewTest, ShowsTheMapAloneBeforeARunAndBesideItsS16After) {
    WriteBytes(shp_ / "MAP01.SHP", MakeMap(40, 30, MapStyle::kMixed));
    UseFolders();

    CPreviewWindow* before = DoubleClick(0);
    ASSERT_NE(before, nullptr);
    EXPECT_TRUE(before->isVisible());
    EXPECT_EQ(before->MapCaption(), QStringLiteral("MAP01.SHP: 40 x 30"));
    EXPECT_EQ(before->S16Caption(), QStringLiteral("MAP01.s16: no S16 yet"));

    QTest::mouseClick(dlg_.GetDlgItem(kIdOk), Qt::LeftButton);
    QTest::qWait(0);  // the closed window is deleted later

    CPreviewWindow* after = DoubleClick(0);
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->MapCaption(), QStringLiteral("MAP01.SHP: 40 x 30"));
    EXPECT_EQ(after->S16Caption(), QStringLiteral("MAP01.s16: 40 x 30"));
}

TEST_F(PreviewTest, FindsTheS16InAnotherCase) {
    const auto map = MakeMap(12, 9, MapStyle::kLongRuns);
    WriteBytes(shp_ / "MAP03.SHP", map);
    WriteBytes(peg_ / "map03.S16", S16Of(map));
    UseFolders();

    CPreviewWindow* window = DoubleClick(0);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->S16Caption(), QStringLiteral("map03.S16: 12 x 9"));
}

TEST_F(PreviewTest, ABrokenMapOrS16ShowsItsReason) {
    WriteBytes(shp_ / "MAP02.SHP", {1, 2, 3});
    WriteBytes(peg_ / "MAP02.s16", {4, 5, 6});
    UseFolders();

    CPreviewWindow* window = DoubleClick(0);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->MapCaption(), QStringLiteral("MAP02.SHP: not an SHP picture"));
    EXPECT_EQ(window->S16Caption(), QStringLiteral("MAP02.s16: not an S16 picture"));
}

// As large as the screen, the map is larger than the window.
TEST_F(PreviewTest, FitScalesThePictureIntoTheWindowAndBackTo1To1) {
    const QSize screen = ScreenPixels();
    WriteBytes(shp_ / "MAP01.SHP", MakeMap(screen.width(), screen.height(), MapStyle::kLongRuns));
    UseFolders();
    CPreviewWindow* window = DoubleClick(0);
    ASSERT_NE(window, nullptr);
    QScrollArea* area = window->findChild<QScrollArea*>();
    EXPECT_EQ(area->widget()->size(), screen);

    window->FitToggle()->click();
    EXPECT_TRUE(area->contentsRect().size().expandedTo(area->widget()->size()) ==
                area->contentsRect().size());
    window->FitToggle()->click();
    EXPECT_EQ(area->widget()->size(), screen);
}

// No more of a picture is held than the screen shows; the caption still
// gives the picture's own size.
TEST_F(PreviewTest, APictureLargerThanTheScreenIsShrunkToIt) {
    const QSize wide(ScreenPixels().width() * 3, 20);
    WriteBytes(shp_ / "MAP01.SHP", MakeMap(wide.width(), wide.height(), MapStyle::kMixed));
    UseFolders();

    CPreviewWindow* window = DoubleClick(0);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->MapCaption(), QStringLiteral("MAP01.SHP: %1 x 20").arg(wide.width()));
    EXPECT_EQ(window->findChild<QScrollArea*>()->widget()->sizeHint(),
              wide.scaled(ScreenPixels(), Qt::KeepAspectRatio));
}

// A few bytes whose headers claim 16384 x 16384 pixels, a GiB at 1:1, are
// refused before anything is decoded.
TEST_F(PreviewTest, APictureOverTheAllocationLimitShowsWhy) {
    WriteBytes(shp_ / "MAP01.SHP", ShpBuilder().Image({16383, 16383, 0, 0, 16383}).Build());
    std::vector<std::uint8_t> s16(44, 0);
    for (const std::size_t widthOrHeight : {5, 9, 21, 25}) {
        s16[widthOrHeight] = 0x40;
    }
    s16[36] = 1;
    WriteBytes(peg_ / "MAP01.s16", s16);
    UseFolders();

    CPreviewWindow* window = DoubleClick(0);
    ASSERT_NE(window, nullptr);
    const QString why = QStringLiteral(": the picture is larger than the allocation limit");
    EXPECT_EQ(window->MapCaption(), "MAP01.SHP" + why);
    EXPECT_EQ(window->S16Caption(), "MAP01.s16" + why);
}

TEST_F(PreviewTest, EscClosesIt) {
    WriteBytes(shp_ / "MAP01.SHP", MakeMap(8, 6, MapStyle::kMixed));
    UseFolders();
    QPointer<CPreviewWindow> window = DoubleClick(0);
    ASSERT_FALSE(window.isNull());

    QTest::keyClick(window->FitToggle(), Qt::Key_Escape);
    QTest::qWait(0);

    EXPECT_TRUE(window.isNull());
}

TEST_F(PreviewTest, ARunClosesAnOpenPreview) {
    WriteBytes(shp_ / "MAP01.SHP", MakeMap(8, 6, MapStyle::kMixed));
    UseFolders();
    QPointer<CPreviewWindow> window = DoubleClick(0);
    ASSERT_FALSE(window.isNull());

    QTest::mouseClick(dlg_.GetDlgItem(kIdOk), Qt::LeftButton);
    QTest::qWait(0);

    EXPECT_TRUE(window.isNull());
    EXPECT_TRUE(fs::exists(peg_ / "MAP01.s16"));
}

}  // namespace
}  // namespace drovana::test
