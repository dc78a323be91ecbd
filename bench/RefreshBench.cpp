// refresh_bench: how long the dialog takes to rebuild its list for a folder
// of 10,000 maps, half of them already converted, with the update-only switch
// set. The user waits for the list to be filled and then laid out and drawn,
// so both are measured.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <chrono>
#include <cstdio>
#include <string>

#include "ConvertDlg.h"
#include "ConvertDlgLayout.h"
#include "OffscreenDialogApp.h"
#include "TestFiles.h"

namespace {

namespace fs = std::filesystem;

constexpr int kMaps = 10000;
constexpr double kLimitSeconds = 0.2;

class RefreshDlg : public drovana::CConvertDlg {
public:
    void Point(const fs::path& shp, const fs::path& peg) {
        m_strShpFolder = drovana::bench::FolderText(shp);
        m_strPegFolder = drovana::bench::FolderText(peg);
        m_bUpdateOnly = true;
    }
    using CConvertDlg::RefreshFileList;
    int Listed() const { return m_fileList->count(); }
};

struct Folders {
    drovana::test::TempDir root;
    fs::path shp = root / "shp";
    fs::path peg = root / "peg";

    Folders() {
        fs::create_directory(shp);
        fs::create_directory(peg);
        char name[32];
        for (int i = 0; i < kMaps; ++i) {
            // Mixed case, as maps copied from elsewhere come.
            std::snprintf(name, sizeof name, i % 2 ? "MAP%05d.SHP" : "map%05d.shp", i);
            drovana::test::WriteBytes(shp / name, {});
            if (i % 4 < 2) {
                std::snprintf(name, sizeof name, i % 3 ? "MAP%05d.S16" : "map%05d.s16", i);
                drovana::test::WriteBytes(peg / name, {});
            }
        }
    }
};

Folders* g_folders = nullptr;
RefreshDlg* g_dlg = nullptr;

void CheckListed(benchmark::State& state) {
    if (g_dlg->Listed() != kMaps / 2) {
        state.SkipWithError("the list does not hold the maps without counterparts");
    }
}

void BM_RefreshFileList(benchmark::State& state) {
    for (auto _ : state) {
        g_dlg->RefreshFileList();
    }
    CheckListed(state);
}
BENCHMARK(BM_RefreshFileList)->Unit(benchmark::kMillisecond);

// The list as the user sees it: filled, laid out in columns and drawn.
void BM_RefreshFileListShown(benchmark::State& state) {
    for (auto _ : state) {
        g_dlg->RefreshFileList();
        QCoreApplication::processEvents();
        g_dlg->repaint();
    }
    CheckListed(state);
}
BENCHMARK(BM_RefreshFileListShown)->Unit(benchmark::kMillisecond);

// One refresh from a cold dialog, timed by hand against the limit.
bool WithinLimit() {
    RefreshDlg dlg;
    dlg.show();
    QCoreApplication::processEvents();
    dlg.Point(g_folders->shp, g_folders->peg);
    const auto start = std::chrono::steady_clock::now();
    dlg.RefreshFileList();
    QCoreApplication::processEvents();
    dlg.repaint();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("first refresh of %d maps, shown: %.3f s (limit %.1f s)\n", kMaps, seconds,
                kLimitSeconds);
    dlg.reject();
    return seconds < kLimitSeconds && dlg.Listed() == kMaps / 2;
}

}  // namespace

int main(int argc, char** argv) {
    drovana::bench::OffscreenDialogApp app(argc, argv);

    benchmark::Initialize(&argc, argv);
    Folders folders;
    g_folders = &folders;
    const bool withinLimit = WithinLimit();

    RefreshDlg dlg;
    dlg.show();
    QCoreApplication::processEvents();
    dlg.Point(folders.shp, folders.peg);
    g_dlg = &dlg;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    dlg.reject();
    return withinLimit ? 0 : 1;
}
