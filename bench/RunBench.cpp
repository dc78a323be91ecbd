// run_bench: the dialog's run against shp2s16 on the same maps with the same
// number of jobs, side by side in one run, offscreen. Also the longest time
// the dialog's thread goes without handling events during a run, and how
// long Cancel takes to end a run with a 4096 x 4096 picture under way.
#include <unistd.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "ConvertDlg.h"
#include "OffscreenDialogApp.h"
#include "ShpBuilder.h"
#include "TestFiles.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kMaps = 500;
constexpr int kRounds = 5;
constexpr double kRatioLimit = 1.25;
constexpr double kGapLimitMs = 50;
constexpr double kCancelLimitMs = 100;

class BenchDlg : public drovana::CConvertDlg {
public:
    void Point(const fs::path& shp, const fs::path& peg) {
        m_strShpFolder = drovana::bench::FolderText(shp);
        m_strPegFolder = drovana::bench::FolderText(peg);
        m_bUpdateOnly = false;
        RefreshFileList();
    }
    void Run() { RunConversion(); }
    std::function<void()> onFirstStart;

protected:
    void ShowFileStarted(int started, const QString& target) override {
        CConvertDlg::ShowFileStarted(started, target);
        if (started == 1 && onFirstStart) {
            onFirstStart();
        }
    }
};

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The dialog's run, timed, with the largest gap between ticks of a 10 ms
// timer on the dialog's thread.
double TimeDialogRun(BenchDlg& dlg, const fs::path& shp, const fs::path& peg, double& gapMs) {
    dlg.Point(shp, peg);
    QTimer ticker;
    QElapsedTimer sinceTick;
    double largest = 0;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        largest = std::max(largest, static_cast<double>(sinceTick.restart()));
    });
    ::sync();
    const auto start = Clock::now();
    ticker.start(10);
    sinceTick.start();
    dlg.Run();
    ticker.stop();
    gapMs = std::max(largest, static_cast<double>(sinceTick.elapsed()));
    return Seconds(Clock::now() - start);
}

double TimeCli(const fs::path& shp, const fs::path& peg, int jobs) {
    ::sync();
    const auto start = Clock::now();
    const int status = QProcess::execute(
        QStringLiteral(SHP2S16_PATH),
        {QStringLiteral("-q"), QStringLiteral("-j"), QString::number(jobs),
         QString::fromStdString(shp.string() + "/"), QString::fromStdString(peg.string() + "/")});
    if (status != 0) {
        std::fprintf(stderr, "shp2s16 failed with %d\n", status);
    }
    return Seconds(Clock::now() - start);
}

// Cancel 20 ms into a one-picture run, so that the picture is
// under way; returns the time from Cancel to the end of the run.
double CancelLatencyMs(BenchDlg& dlg, const fs::path& shp, const fs::path& peg) {
    dlg.Point(shp, peg);
    Clock::time_point cancelled;
    dlg.onFirstStart = [&] {
        QTimer::singleShot(20, &dlg, [&] {
            cancelled = Clock::now();
            dlg.reject();
        });
    };
    dlg.Run();
    dlg.onFirstStart = nullptr;
    return std::chrono::duration<double, std::milli>(Clock::now() - cancelled).count();
}

void Report(const char* what, double value, double limit, const char* unit, bool& met) {
    const bool ok = value <= limit;
    met = met && ok;
    std::printf("  %-46s %8.2f %s  <= %.2f  %s\n", what, value, unit, limit, ok ? "PASS" : "MISS");
}

}  // namespace

int main(int argc, char** argv) {
    drovana::bench::OffscreenDialogApp app(argc, argv);

    drovana::test::TempDir work;
    const fs::path maps = work / "maps";
    fs::create_directory(maps);
    for (int i = 0; i < kMaps; ++i) {
        drovana::test::WriteBytes(
            maps / ("MAP" + std::to_string(1000 + i) + ".SHP"),
            drovana::test::MakeMap(800, 600, drovana::test::MapStyle::kMixed, i + 1));
    }
    const int jobs = QThread::idealThreadCount();
    BenchDlg dlg;
    dlg.show();
    QCoreApplication::processEvents();

    std::vector<double> ratios;
    std::vector<double> dialogTimes;
    std::vector<double> cliTimes;
    double worstGapMs = 0;
    for (int round = 0; round < kRounds; ++round) {
        const fs::path viaDialog = work / ("dialog-" + std::to_string(round));
        const fs::path viaCli = work / ("cli-" + std::to_string(round));
        fs::create_directory(viaDialog);
        fs::create_directory(viaCli);
        double gapMs = 0;
        dialogTimes.push_back(TimeDialogRun(dlg, maps, viaDialog, gapMs));
        cliTimes.push_back(TimeCli(maps, viaCli, jobs));
        ratios.push_back(dialogTimes.back() / cliTimes.back());
        worstGapMs = std::max(worstGapMs, gapMs);
    }

    const fs::path big = work / "big";
    fs::create_directory(big);
    drovana::test::WriteBytes(
        big / "MAP0001.SHP",
        drovana::test::MakeMap(4096, 4096, drovana::test::MapStyle::kLiterals));
    double worstCancelMs = 0;
    for (int i = 0; i < 3; ++i) {
        const fs::path peg = work / ("cancel-" + std::to_string(i));
        fs::create_directory(peg);
        worstCancelMs = std::max(worstCancelMs, CancelLatencyMs(dlg, big, peg));
    }
    dlg.reject();

    std::printf(
        "%d maps of 800 x 600, %d jobs, %d rounds: dialog %.3f s, shp2s16 %.3f s "
        "(medians); dialog / shp2s16 by round:",
        kMaps, jobs, kRounds, Median(dialogTimes), Median(cliTimes));
    for (double ratio : ratios) {
        std::printf(" %.2f", ratio);
    }
    std::printf("\n");
    bool met = true;
    Report("dialog run against shp2s16 (median ratio)", Median(ratios), kRatioLimit, "x ", met);
    Report("longest wait of the dialog's thread", worstGapMs, kGapLimitMs, "ms", met);
    Report("Cancel to the end of a 4096 x 4096 run", worstCancelMs, kCancelLimitMs, "ms", met);
    return met ? 0 : 1;
}
