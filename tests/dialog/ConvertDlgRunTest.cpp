#include <QCheckBox>
#include <QTimer>

#include <atomic>
#include <functional>

#include "ConvertApp.h"
#include "DialogTestSupport.h"
#include "HardeningSupport.h"
#include "ShpBuilder.h"

// A run of the dialog as the user meets it: stopped by Cancel, Esc, the
// close box or a signal; deaf to other input while it goes; failed maps
// marked with their reasons; and never writing where no folder was chosen.
namespace drovana::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

QString Text(const fs::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

class ConvertDlgRun : public DialogWithFolders {
protected:
    // Maps that take a while: a stop always finds the run under way.
    void WriteSlowBatch(int count) {
        static const Bytes big = MakeMap(2048, 2048, MapStyle::kLiterals);
        for (int i = 0; i < count; ++i) {
            WriteBytes(shp_ / ("MAP" + std::to_string(10 + i) + ".SHP"), big);
        }
    }
    void UseFolders(const QString& peg) {
        dlg_.ShpFolder() = Text(shp_) + '/';
        dlg_.PegFolder() = peg;
        dlg_.RefreshFileList();
    }
    void UseFolders() { UseFolders(Text(peg_) + '/'); }
    void ClickOk() { QTest::mouseClick(dlg_.GetDlgItem(kIdOk), Qt::LeftButton); }
    // Does `action` once the run has started its first file.
    void DuringRun(std::function<void()> action) {
        auto* timer = new QTimer(&dlg_);
        QObject::connect(timer, &QTimer::timeout, &dlg_, [this, timer, action] {
            if (!dlg_.steps.empty()) {
                timer->stop();
                action();
            }
        });
        timer->start(1);
    }
    QString Status() const { return qobject_cast<QLabel*>(dlg_.GetDlgItem(kIdStatus))->text(); }
};

TEST_F(ConvertDlgRun, CancelEscTheCloseBoxAndASignalStopTheRunAtOnceLeavingNoPartialFile) {
    std::atomic<bool> interrupted{false};
    CloseWhenSet(dlg_, interrupted);
    const struct {
        const char* name;
        std::function<void(LiveDlg&)> stop;
        bool closes;
    } cases[] = {
        {"Cancel", [](LiveDlg& d) { QTest::mouseClick(d.GetDlgItem(kIdCancel), Qt::LeftButton); },
         false},
        {"Esc", [](LiveDlg& d) { QTest::keyClick(&d, Qt::Key_Escape); }, false},
        {"close box", [](LiveDlg& d) { d.close(); }, true},
        {"SIGTERM", [&](LiveDlg&) { interrupted = true; }, true},
    };
    const int count = 16;
    WriteSlowBatch(count);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(peg_);
        fs::create_directory(peg_);
        dlg_.Open();
        UseFolders();
        dlg_.steps.clear();
        DuringRun([&] { c.stop(dlg_); });

        ClickOk();
        QTest::qWait(100);  // anything queued during the run would act now

        EXPECT_EQ(TemporaryNames(peg_), std::vector<std::string>{});
        const auto written = static_cast<int>(std::distance(fs::directory_iterator(peg_), {}));
        EXPECT_LT(written, count);
        EXPECT_EQ(dlg_.isVisible(), !c.closes);
        if (!c.closes) {
            EXPECT_EQ(Status(),
                      QString::asprintf("Stopped: %d of %d files converted", written, count));
        }
    }
}

TEST_F(ConvertDlgRun, InputDuringARunIsDroppedNotQueued) {
    WriteSlowBatch(6);
    UseFolders();
    DuringRun([this] {
        ClickOk();
        QTest::mouseClick(dlg_.GetDlgItem(kIdUpdateOnly), Qt::LeftButton);
        QTest::keyClicks(dlg_.GetDlgItem(kIdPegFolderEdit), QStringLiteral("typed"));
    });

    ClickOk();
    QTest::qWait(100);

    EXPECT_EQ(dlg_.steps.size(), 6u);  // one run, not two
    EXPECT_FALSE(qobject_cast<QCheckBox*>(dlg_.GetDlgItem(kIdUpdateOnly))->isChecked());
    EXPECT_EQ(dlg_.Edit(kIdPegFolderEdit)->text(), Text(peg_) + '/');
    EXPECT_EQ(Status(), QStringLiteral("6 files converted"));
}

TEST_F(ConvertDlgRun, FailedMapsCarryAWarningAndShowTheirReasonWhenSelected) {
    WriteBytes(shp_ / "MAP01.SHP", MakeMap(8, 6, MapStyle::kMixed));
    WriteBytes(shp_ / "MAP02.SHP", {1, 2, 3});
    UseFolders();

    ClickOk();

    EXPECT_EQ(Status(), QStringLiteral("1 of 2 files could not be converted"));
    QListWidget* list = dlg_.List();
    ASSERT_EQ(list->count(), 2);
    EXPECT_TRUE(list->item(0)->data(CConvertDlg::kFailureRole).isNull());
    EXPECT_FALSE(list->item(1)->icon().isNull());
    list->setCurrentRow(1);
    EXPECT_EQ(Status(),
              QStringLiteral("MAP02.SHP: not an SHP picture: file too short for its headers"));
    list->setCurrentRow(0);
    EXPECT_EQ(Status(), QStringLiteral("1 of 2 files could not be converted"));
}

TEST_F(ConvertDlgRun, AnEmptyOrMissingPegFolderWritesNothing) {
    WriteBytes(shp_ / "MAP01.SHP", MakeMap(8, 6, MapStyle::kMixed));
    const fs::path before = fs::current_path();
    fs::current_path(dir_.Path());
    const QString missing = Text(dir_ / "missing") + '/';
    const std::pair<QString, QString> cases[] = {
        {QString(), QStringLiteral("No PeG folder chosen: type one or press Select...")},
        {missing, QStringLiteral("The PeG folder does not exist: ") + missing},
    };
    for (const auto& [peg, status] : cases) {
        UseFolders(peg);
        ClickOk();
        EXPECT_EQ(Status(), status);
    }
    fs::current_path(before);
    EXPECT_EQ(StateOf(dir_.Path()).size(), 2u);  // pg2 and peg, as they were
    EXPECT_TRUE(fs::is_empty(peg_));
}

}  // namespace
}  // namespace drovana::test
