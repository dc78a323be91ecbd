#include <QCheckBox>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>

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

// The map's reason is the one its failed conversion gave in the list.
TEST_F(PreviewTest, ABrokenMapOrS16ShowsItsReason) {
    WriteBytes(shp_ / "MAP02.SHP", {1, 2, 3});
    WriteBytes(peg_ / "MAP02.s16", {4, 5, 6});
    UseFolders();
    QTest::mouseClick(dlg_.GetDlgItem(kIdOk), Qt::LeftButton);

    CPreviewWindow* window = DoubleClick(0);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->MapCaption(),
              QStringLiteral("MAP02.SHP: not an SHP picture: file too short for its headers"));
    EXPECT_EQ(window->MapCaption(), dlg_.List()->item(0)->data(CConvertDlg::kFailureRole));
    EXPECT_EQ(window->S16Caption(), QStringLiteral("MAP02.s16: not an S16 picture"));
}

// Colours of the view as painted, without the window's background.
QSet<QRgb> ColoursOf(QWidget* view) {
    const QImage image = view->grab().toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            colours.insert(image.pixel(x, y));
        }
    }
    colours.remove(view->palette().color(QPalette::Mid).rgb());
    return colours;
}

// Fit stays as left from one preview to the next; enlarged, a map keeps its
// own colours, with no blends between pixels; the panes scroll together.
TEST_F(PreviewTest, FitIsKeptEnlargesSharplyAndThePanesScrollTogether) {
    const auto large = MakeMap(ScreenPixels().width(), 600, MapStyle::kMixed);
    WriteBytes(shp_ / "MAP01.SHP", MakeMap(8, 6, MapStyle::kMixed));
    WriteBytes(shp_ / "MAP02.SHP", large);
    WriteBytes(peg_ / "MAP02.s16", S16Of(large));
    UseFolders();

    CPreviewWindow* small = DoubleClick(0);
    ASSERT_NE(small, nullptr);
    QWidget* view = small->findChild<QScrollArea*>()->widget();
    // The map's colours and both of the checkerboard's.
    QSet<QRgb> own = ColoursOf(view);
    own << qRgb(0xcc, 0xcc, 0xcc) << qRgb(0x99, 0x99, 0x99);
    small->FitToggle()->click();
    QApplication::processEvents();
    EXPECT_GT(view->width(), 8 * 4);
    EXPECT_TRUE(own.contains(ColoursOf(view)));
    const QPointer<CPreviewWindow> closed = small;
    small->close();
    QTest::qWait(0);
    ASSERT_TRUE(closed.isNull());

    CPreviewWindow* next = DoubleClick(1);
    ASSERT_NE(next, nullptr);
    EXPECT_TRUE(next->FitToggle()->isChecked());
    next->FitToggle()->click();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(next));
    const QList<QScrollArea*> panes = next->findChildren<QScrollArea*>();
    ASSERT_EQ(panes.size(), 2);
    panes[0]->horizontalScrollBar()->setValue(40);
    panes[1]->verticalScrollBar()->setValue(30);
    EXPECT_EQ(panes[1]->horizontalScrollBar()->value(), 40);
    EXPECT_EQ(panes[0]->verticalScrollBar()->value(), 30);
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

// Named from a file manager: a map finds its S16 beside it and an S16 its
// map, in any case; a picture without its other half has one pane.
TEST_F(PreviewTest, TheViewerShowsAMapBesideItsS16OrOnePicture) {
    const auto map = MakeMap(8, 6, MapStyle::kMixed);
    for (const fs::path& name : {shp_ / "MAP01.SHP", shp_ / "MAP02.SHP"}) {
        WriteBytes(name, map);
    }
    WriteBytes(shp_ / "map01.S16", S16Of(map));
    WriteBytes(peg_ / "LONE.s16", S16Of(map));
    const QString both[] = {"MAP01.SHP: 8 x 6", "map01.S16: 8 x 6"};
    const struct {
        std::vector<fs::path> files;
        QString mapCaption, s16Caption;
    } cases[] = {
        {{shp_ / "MAP01.SHP"}, both[0], both[1]},
        {{shp_ / "map01.S16"}, both[0], both[1]},
        {{shp_ / "MAP02.SHP"}, "MAP02.SHP: 8 x 6", ""},
        {{peg_ / "LONE.s16"}, "", "LONE.s16: 8 x 6"},
        {{peg_ / "LONE.s16", shp_ / "MAP02.SHP"}, "MAP02.SHP: 8 x 6", "LONE.s16: 8 x 6"},
    };
    for (const auto& c : cases) {
        QPointer<CPreviewWindow> window = OpenViewer(c.files);
        EXPECT_EQ(window->MapCaption(), c.mapCaption);
        EXPECT_EQ(window->S16Caption(), c.s16Caption);
        window->close();
        QTest::qWait(0);
        EXPECT_TRUE(window.isNull());
    }
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
