#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "BaselineConverter.h"
#include "ByteIo.h"
#include "ConvertShpToS16.h"
#include "Folder.h"
#include "PageCacheSettler.h"
#include "ShpBuilder.h"
#include "ShpToS16.h"
#include "TestFiles.h"

namespace {

namespace fs = std::filesystem;
using drovana::test::MapStyle;

constexpr int kPictureSide = 4096;
// Each iteration writes a new file of up to ~64 MiB, so a few are enough.
constexpr int kIterations = 5;
constexpr std::size_t kPlainWriteChunk = 1 << 20;

struct StyleCase {
    MapStyle style;
    const char* name;
    double minSpeedUp;      // baseline time / core time
    double maxPlainFactor;  // core time / plain write time; 0 when not checked
};

constexpr StyleCase kStyles[] = {
    {MapStyle::kLongRuns, "long_runs", 2.5, 0.0},
    {MapStyle::kLiterals, "literals", 10.0, 2.0},
    {MapStyle::kMixed, "mixed", 5.0, 0.0},
};

struct Picture {
    const StyleCase* style = nullptr;
    fs::path shp;
    std::uint64_t shpSize = 0;
    std::vector<std::uint8_t> shpBytes;
    std::vector<std::uint8_t> s16;  // the expected output
};

// Thrown rather than exiting so that the work folder is still removed.
[[noreturn]] void Fail(const std::string& message) {
    throw std::runtime_error(message);
}

// Holds every file the program writes and removes them all at the end. Each
// timed run gets a fresh folder and new file names: deleting files between
// iterations makes the following writes much slower on this machine and
// would distort the comparison.
class WorkDir {
public:
    WorkDir() {
        const char* env = std::getenv("DROVANA_BENCH_DIR");
        const fs::path root = env != nullptr ? fs::path(env) : fs::path(DROVANA_BENCH_WORK_ROOT);
        fs::create_directories(root);
        std::string name = (root / "work-XXXXXX").string();
        if (::mkdtemp(name.data()) == nullptr) {
            Fail("cannot create a work folder under " + root.string());
        }
        path_ = name;
    }
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;
    ~WorkDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }

    const fs::path& Path() const { return path_; }

    fs::path NewFolder(const std::string& prefix) {
        const fs::path folder = path_ / (prefix + "-" + std::to_string(++folders_));
        fs::create_directory(folder);
        return folder;
    }

private:
    fs::path path_;
    int folders_ = 0;
};

WorkDir* g_work = nullptr;
const drovana::bench::PageCacheSettler* g_settler = nullptr;

// With --drop-caches, each file-writing iteration starts on the same memory
// state, outside the timing.
void Settle(benchmark::State& state, const fs::path& input) {
    if (g_settler != nullptr) {
        state.PauseTiming();
        g_settler->Settle(input);
        state.ResumeTiming();
    }
}

bool Baseline(const fs::path& source, const fs::path& target) {
    return drovana::bench::BaselineConvertShpFile(source.c_str(), target.c_str());
}

// Compares the baseline with the core on small pictures cut at every length,
// so that the edge rules (cut codes, wide fills, odd headers) match too.
void CheckEdgeCases(const fs::path& folder) {
    using drovana::test::ShpBuilder;
    std::vector<std::vector<std::uint8_t>> inputs;
    for (const StyleCase& style : kStyles) {
        inputs.push_back(drovana::test::MakeMap(37, 9, style.style, 7));
    }
    inputs.push_back(ShpBuilder()
                         .Image({3, 700, -5, 2, 5})
                         .Run(3, 7)
                         .Skip(0)
                         .Literal({1, 2, 3})
                         .EndRow()
                         .Skip(200)
                         .EndRow()
                         .Build());
    inputs.push_back(ShpBuilder().Image({1, 10, 40, 0, 1}).Run(2, 9).EndRow().Build());
    inputs.push_back(ShpBuilder().Image({0, -3, 0, 0, 0}).Run(4, 1).EndRow().Build());
    inputs.push_back(ShpBuilder().Image({5, 5, 0, 4, 1}).Run(4, 1).EndRow().Build());
    inputs.push_back(ShpBuilder().Padding(9).Image({2, 3, 0, 0, 2}).Literal({9}).Build());
    inputs.push_back(ShpBuilder().HeaderOffset(-1).Run(2, 2).Build());
    inputs.push_back(ShpBuilder().HeaderOffset(4000).Run(2, 2).Build());

    const fs::path source = folder / "edge.shp";
    const fs::path target = folder / "edge.s16";
    int compared = 0;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        for (std::size_t cut = 0; cut <= inputs[i].size(); ++cut) {
            const std::vector<std::uint8_t> bytes(inputs[i].begin(), inputs[i].begin() + cut);
            drovana::test::WriteBytes(source, bytes);
            drovana::MemorySink sink;
            // The baseline writes the rows of version 1.0.0.1.
            const bool coreOk = drovana::ConvertShpBytes(bytes.data(), bytes.size(), sink, {},
                                                         drovana::S16Rows::kLegacy)
                                    .Ok();
            const bool baselineOk = Baseline(source, target);
            if (coreOk != baselineOk ||
                (coreOk && drovana::test::ReadBytes(target) != sink.Bytes())) {
                Fail("baseline and core differ on edge input " + std::to_string(i) + " cut at " +
                     std::to_string(cut) + " bytes");
            }
            ++compared;
        }
    }
    std::printf("Edge check: baseline matches core's legacy rows on %d small inputs\n", compared);
}

// Writes the picture's SHP file and checks that the core (file and memory)
// and the baseline give the same bytes.
void PreparePicture(const fs::path& folder, Picture& picture) {
    const std::string name = picture.style->name;
    picture.shpBytes = drovana::test::MakeMap(kPictureSide, kPictureSide, picture.style->style, 1);
    const std::vector<std::uint8_t>& shp = picture.shpBytes;
    picture.shp = folder / (name + ".shp");
    picture.shpSize = shp.size();
    drovana::test::WriteBytes(picture.shp, shp);

    const fs::path coreTarget = folder / (name + "-core.s16");
    const fs::path baselineTarget = folder / (name + "-baseline.s16");
    const drovana::ConvertResult result = drovana::ConvertShpFile(picture.shp, coreTarget);
    if (!result.Ok()) {
        Fail("core failed on " + name + ": " + drovana::DescribeConvertResult(result));
    }
    if (!Baseline(picture.shp, baselineTarget)) {
        Fail("baseline failed on " + name);
    }
    drovana::MemorySink memory;
    if (!drovana::ConvertShpBytes(shp.data(), shp.size(), memory).Ok()) {
        Fail("in-memory core failed on " + name);
    }
    picture.s16 = drovana::test::ReadBytes(coreTarget);
    if (picture.s16 != memory.Bytes()) {
        Fail("core file and in-memory outputs differ on " + name);
    }
    if (drovana::test::ReadBytes(baselineTarget) != picture.s16) {
        Fail("baseline and core outputs differ on " + name);
    }
    std::printf("Check %-9s: SHP %.1f MiB -> S16 %.1f MiB, core == baseline\n", name.c_str(),
                static_cast<double>(picture.shpSize) / (1 << 20),
                static_cast<double>(picture.s16.size()) / (1 << 20));
}

// Names one new target per iteration, made before timing starts.
std::vector<std::string> TargetNames(const benchmark::State& state, const char* prefix) {
    const fs::path folder = g_work->NewFolder(prefix);
    std::vector<std::string> names;
    for (benchmark::IterationCount i = 0; i < state.max_iterations; ++i) {
        names.push_back((folder / ("out-" + std::to_string(i) + ".s16")).string());
    }
    // Dirty pages of earlier runs are written back now, not during this one;
    // by the kernel's own call, which libeatmydata does not remove.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::syscall(SYS_syncfs, fd);
        ::close(fd);
    }
    return names;
}

void BM_Core(benchmark::State& state, const Picture* picture) {
    const std::vector<std::string> targets = TargetNames(state, "core");
    std::size_t next = 0;
    for (auto _ : state) {
        Settle(state, picture->shp);
        const drovana::ConvertResult result =
            drovana::ConvertShpFile(picture->shp, targets[next++]);
        if (!result.Ok()) {
            state.SkipWithError("core conversion failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(picture->shpSize));
}

// Given the same syncs as the core: the file's data, then its folder.
void BM_Baseline(benchmark::State& state, const Picture* picture) {
    const std::vector<std::string> targets = TargetNames(state, "baseline");
    std::size_t next = 0;
    for (auto _ : state) {
        Settle(state, picture->shp);
        const std::string& target = targets[next++];
        if (!drovana::bench::BaselineConvertShpFile(picture->shp.c_str(), target.c_str(), true) ||
            drovana::SyncFolder(fs::path(target).parent_path())) {
            state.SkipWithError("baseline conversion failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(picture->shpSize));
}

// Takes every byte and keeps none.
class DiscardSink final : public drovana::ByteSink {
public:
    bool Write(const std::uint8_t*, std::size_t) override { return true; }
    bool WriteAt(std::uint64_t, const std::uint8_t*, std::size_t) override { return true; }
};

// The core's own work without any file: memory in, nothing out. Shows how
// much of the file conversion is decoding and how much is the system's I/O.
void BM_DecodeOnly(benchmark::State& state, const Picture* picture) {
    DiscardSink sink;
    for (auto _ : state) {
        const drovana::FormatResult result =
            drovana::ConvertShpBytes(picture->shpBytes.data(), picture->shpBytes.size(), sink);
        if (!result.Ok()) {
            state.SkipWithError("decode failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(picture->shpSize));
}

// Writes `size` bytes to a new file, repeating `chunk` in large calls, and
// syncs its data and its folder, as the core does for one map.
bool WriteNewFile(const std::string& path, const std::vector<std::uint8_t>& chunk,
                  std::size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    bool ok = true;
    for (std::size_t done = 0; ok && done < size;) {
        const std::size_t n = std::min(chunk.size(), size - done);
        const ssize_t written = ::write(fd, chunk.data(), n);
        ok = written > 0;
        done += ok ? static_cast<std::size_t>(written) : 0;
    }
    ok = ok && ::fdatasync(fd) == 0;
    return ::close(fd) == 0 && ok && !drovana::SyncFolder(fs::path(path).parent_path());
}

// The floor: a new file of the S16's size, written from a buffer that stays
// in cache and synced, so the time is what the system charges for the bytes
// alone.
void BM_PlainWrite(benchmark::State& state, const Picture* picture) {
    const std::size_t size = picture->s16.size();
    const std::vector<std::uint8_t> chunk(
        picture->s16.begin(),
        picture->s16.begin() + static_cast<std::ptrdiff_t>(std::min(size, kPlainWriteChunk)));
    const std::vector<std::string> targets = TargetNames(state, "plain");
    std::size_t next = 0;
    for (auto _ : state) {
        Settle(state, picture->shp);
        if (!WriteNewFile(targets[next++], chunk, size)) {
            state.SkipWithError("plain write failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(picture->shpSize));
}

// Milliseconds per file for one benchmark.
struct Timing {
    double real = 0.0;
    double cpu = 0.0;
};

// Prints as usual and keeps each benchmark's times for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // The console shows the aggregates; the summary needs every repetition.
        std::vector<Run> aggregates;
        std::copy_if(runs.begin(), runs.end(), std::back_inserter(aggregates),
                     [](const Run& run) { return run.run_type == Run::RT_Aggregate; });
        ConsoleReporter::ReportRuns(aggregates);
        for (const Run& run : runs) {
            if (run.error_occurred) {
                continue;
            }
            Samples& samples = samples_[run.run_name.function_name];
            const Timing timing{run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
            if (run.run_type == Run::RT_Iteration) {
                samples.runs.push_back(timing);
            } else if (run.aggregate_name == "median") {
                samples.median = timing;
            }
        }
    }

    // The best or the median over repetitions; zeros when the benchmark did
    // not run.
    Timing Get(const std::string& name, bool best) const {
        const auto found = samples_.find(name);
        if (found == samples_.end()) {
            return {};
        }
        const Samples& samples = found->second;
        if (samples.runs.empty()) {
            return samples.median;
        }
        const auto pick = best ? &Best : &Median;
        return {pick(samples.runs, &Timing::real), pick(samples.runs, &Timing::cpu)};
    }

private:
    struct Samples {
        std::vector<Timing> runs;
        Timing median;
    };

    static double Best(const std::vector<Timing>& runs, double Timing::*field) {
        double best = runs.front().*field;
        for (const Timing& timing : runs) {
            best = std::min(best, timing.*field);
        }
        return best;
    }

    static double Median(const std::vector<Timing>& runs, double Timing::*field) {
        std::vector<double> values;
        for (const Timing& timing : runs) {
            values.push_back(timing.*field);
        }
        std::sort(values.begin(), values.end());
        const std::size_t mid = values.size() / 2;
        return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
    }

    std::map<std::string, Samples> samples_;
};

struct StyleTimings {
    Timing core;
    Timing baseline;
    Timing plain;
    Timing decode;
};

StyleTimings TimingsOf(const SummaryReporter& reporter, const StyleCase& style, bool best) {
    const std::string prefix = std::string(style.name) + "/";
    return {reporter.Get(prefix + "core", best), reporter.Get(prefix + "baseline", best),
            reporter.Get(prefix + "plain_write", best), reporter.Get(prefix + "decode_only", best)};
}

double Ratio(double numerator, double denominator) {
    return numerator > 0.0 && denominator > 0.0 ? numerator / denominator : 0.0;
}

void PrintTable(const SummaryReporter& reporter, const char* title, bool best) {
    constexpr double Timing::*field = &Timing::real;
    std::printf("\n%s\n", title);
    std::printf("  %-9s  %9s  %9s  %9s  %13s  %10s  %11s\n", "style", "core", "baseline", "plain",
                "baseline/core", "core/plain", "decode only");
    for (const StyleCase& style : kStyles) {
        const StyleTimings t = TimingsOf(reporter, style, best);
        const double core = t.core.*field;
        const double baseline = t.baseline.*field;
        const double plain = t.plain.*field;
        if (core <= 0.0) {
            continue;
        }
        std::printf("  %-9s  %9.1f  %9.1f  %9.1f  %12.2fx  %9.2fx  %11.1f\n", style.name, core,
                    baseline, plain, Ratio(baseline, core), Ratio(core, plain), t.decode.*field);
    }
}

// Returns 1 when the target is missed, for the count.
int PrintTarget(const char* style, const char* format, double target, double value, bool pass) {
    char what[64];
    std::snprintf(what, sizeof what, format, target);
    std::printf("  %-9s  %-22s  %7.2fx  %s\n", style, what, value, pass ? "PASS" : "MISS");
    return pass ? 0 : 1;
}

// Returns how many targets were missed.
int PrintSummary(const SummaryReporter& reporter) {
    // The kernel's cost of new page-cache pages swings by several times on
    // some virtual machines, whichever contender is running; the best of the
    // repetitions is each contender's own cost, the median shows the swing.
    PrintTable(reporter, "Side by side, real ms per file (best of the repetitions):", true);
    PrintTable(reporter, "The same, median of the repetitions:", false);
    std::printf("\nTargets (best of the repetitions):\n");
    int missed = 0;
    for (const StyleCase& style : kStyles) {
        const StyleTimings t = TimingsOf(reporter, style, true);
        const double speedUp = Ratio(t.baseline.real, t.core.real);
        if (speedUp > 0.0) {
            missed += PrintTarget(style.name, "baseline/core >= %gx", style.minSpeedUp, speedUp,
                                  speedUp >= style.minSpeedUp);
        }
        const double plainFactor = Ratio(t.core.real, t.plain.real);
        if (style.maxPlainFactor > 0.0 && plainFactor > 0.0) {
            missed += PrintTarget(style.name, "core/plain <= %gx", style.maxPlainFactor,
                                  plainFactor, plainFactor <= style.maxPlainFactor);
        }
    }
    return missed;
}

int RunAll(bool dropCaches) {
    WorkDir work;
    g_work = &work;
    std::printf("Work folder: %s\n", work.Path().c_str());
    const char* preload = std::getenv("LD_PRELOAD");
    std::printf("%s\n", preload && std::strstr(preload, "eatmydata")
                            ? "Syncs removed by libeatmydata: no contender syncs"
                            : "Every contender syncs each file's data and its folder");
    std::unique_ptr<drovana::bench::PageCacheSettler> settler;
    if (dropCaches) {
        settler = std::make_unique<drovana::bench::PageCacheSettler>(work.Path());
        g_settler = settler.get();
        std::printf("The page cache is emptied before each file-writing iteration\n");
    }
    const fs::path inputs = work.NewFolder("inputs");
    CheckEdgeCases(inputs);

    std::vector<Picture> pictures(std::size(kStyles));
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        pictures[i].style = &kStyles[i];
        PreparePicture(inputs, pictures[i]);
    }
    std::fflush(stdout);

    // Each style with all its contenders; the repetitions are interleaved.
    for (const Picture& picture : pictures) {
        const std::string prefix = std::string(picture.style->name) + "/";
        for (auto* registered : {
                 benchmark::RegisterBenchmark((prefix + "core").c_str(), BM_Core, &picture),
                 benchmark::RegisterBenchmark((prefix + "baseline").c_str(), BM_Baseline, &picture),
                 benchmark::RegisterBenchmark((prefix + "plain_write").c_str(), BM_PlainWrite,
                                              &picture),
                 benchmark::RegisterBenchmark((prefix + "decode_only").c_str(), BM_DecodeOnly,
                                              &picture),
             }) {
            registered->Iterations(kIterations)->UseRealTime()->Unit(benchmark::kMillisecond);
        }
    }

    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    return PrintSummary(reporter) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // Other work on the machine makes single runs noisy: by default repeat,
    // interleave the contenders at random and judge by the median. Flags given
    // on the command line come later and win.
    std::vector<char*> args{argv[0]};
    char repetitions[] = "--benchmark_repetitions=5";
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.end(), {repetitions, interleave});
    // Our own flag is taken out before the library sees the rest.
    bool dropCaches = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--drop-caches") == 0) {
            dropCaches = true;
        } else {
            args.push_back(argv[i]);
        }
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        return 1;
    }

    try {
        const int status = RunAll(dropCaches);
        benchmark::Shutdown();
        return status;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "convert_bench: %s\n", error.what());
        return 1;
    }
}
