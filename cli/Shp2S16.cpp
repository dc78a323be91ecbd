#include "Shp2S16.h"

#include <QCommandLineParser>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "BatchConvert.h"
#include "BatchRules.h"
#include "Interrupt.h"
#include "NativeText.h"
#include "PathParts.h"
#include "ProgressReporter.h"
#include "Version.h"

namespace drovana {
namespace {

namespace fs = std::filesystem;

constexpr const char* kProgram = "shp2s16";

const char* kDescription =
    "Converts SHP picture maps into S16 pictures: one file, or every map of a\n"
    "folder into the PeG folder.\n"
    "\n"
    "Examples:\n"
    "  shp2s16 maps/MAP07.SHP peg/MAP07.s16\n"
    "      converts one map; an existing peg/MAP07.s16 is replaced only once\n"
    "      the new picture is complete.\n"
    "  shp2s16 maps/ peg/\n"
    "      converts every *.shp of maps/ into peg/, on every core.\n"
    "  shp2s16 -u -n maps/ peg/\n"
    "      lists the maps that have no S16 in peg/ yet, converting nothing.";

struct Options {
    bool updateOnly = false;
    bool dryRun = false;
    bool quiet = false;
    int jobs = 1;
    QString source;
    QString target;
};

// Maps whose pictures would take each other's place: say so before the run.
void WarnOfTargetClashes(const BatchPlan& plan, std::FILE* err) {
    std::vector<fs::path> names;
    for (const BatchItem& item : plan.items) {
        names.push_back(item.source.filename());
    }
    for (const auto& group : FindTargetClashes(names)) {
        std::string list;
        for (std::size_t i = 0; i < group.size(); ++i) {
            if (i > 0) {
                list += i + 1 < group.size() ? ", " : " and ";
            }
            list += group[i].string();
        }
        std::fprintf(err, "%s: warning: %s %s convert to %s without regard to case\n", kProgram,
                     list.c_str(), group.size() == 2 ? "both" : "all",
                     TargetPathFor("", group.front()).string().c_str());
    }
}

void PrintUsageError(std::FILE* err, const QString& message) {
    std::fprintf(err,
                 "%s: %s\nUsage: %s [options] SOURCE TARGET\n"
                 "       %s [options] SHP_FOLDER PEG_FOLDER\n"
                 "Try '%s --help' for more information.\n",
                 kProgram, message.toLocal8Bit().constData(), kProgram, kProgram, kProgram);
}

// Fills `options`; returns false with `error` set on wrong usage.
bool ReadOptions(const QCommandLineParser& parser, const QCommandLineOption& updateOnly,
                 const QCommandLineOption& jobs, const QCommandLineOption& dryRun,
                 const QCommandLineOption& quiet, Options& options, QString& error) {
    const QStringList files = parser.positionalArguments();
    if (files.size() != 2) {
        error = files.size() < 2 ? QStringLiteral("missing file operand")
                                 : QStringLiteral("too many operands");
        return false;
    }
    if (files[0].isEmpty() || files[1].isEmpty()) {
        error = files[0].isEmpty() ? QStringLiteral("SOURCE is empty")
                                   : QStringLiteral("TARGET is empty");
        return false;
    }
    options.source = files[0];
    options.target = files[1];
    options.updateOnly = parser.isSet(updateOnly);
    options.dryRun = parser.isSet(dryRun);
    options.quiet = parser.isSet(quiet);
    options.jobs = QThread::idealThreadCount();
    if (parser.isSet(jobs)) {
        bool ok = false;
        options.jobs = parser.value(jobs).toInt(&ok);
        if (!ok || options.jobs < 1) {
            error = QStringLiteral("invalid number of jobs: '%1'").arg(parser.value(jobs));
            return false;
        }
    }
    return true;
}

void PrintDryRun(const BatchPlan& plan, std::FILE* out) {
    for (const BatchItem& item : plan.items) {
        std::fprintf(out, "%s -> %s\n", item.source.string().c_str(), item.target.string().c_str());
    }
}

// 128 + the signal that stopped the run, as shells report it.
int InterruptedStatus() {
    const int signal = InterruptSignal();
    return signal != 0 ? kExitSignalBase + signal : kExitInterrupted;
}

int Convert(const Options& options, const BatchPlan& plan, bool singleFile, std::FILE* err) {
    CatchInterrupts();
    ProgressReporter::Mode mode;
    mode.quiet = options.quiet;
    mode.progressLine = !singleFile && ProgressReporter::IsTerminal(err);
    ProgressReporter reporter(err, plan.items.size(), mode);
    const BatchOutcome outcome =
        ConvertBatch(plan.items, options.jobs, InterruptRequested(), reporter);
    if (!singleFile || outcome.interrupted) {
        reporter.Summary(outcome, plan.upToDate);
    }
    if (outcome.interrupted) {
        return InterruptedStatus();
    }
    return outcome.failed == 0 && !outcome.syncError ? kExitSuccess : kExitFailure;
}

bool HasExtension(const std::string& name, const std::string& extension) {
    const std::string folded = FoldCase(name);
    return folded.size() >= extension.size() &&
           folded.compare(folded.size() - extension.size(), extension.size(), extension) == 0;
}

// Names in the wrong order would write an S16 picture over the map itself.
const char* SwappedOperand(const std::string& source, const std::string& target) {
    if (HasExtension(target, kShpExtension)) {
        return "TARGET ends in .shp";
    }
    if (HasExtension(source, kS16Extension)) {
        return "SOURCE ends in .s16";
    }
    return nullptr;
}

// Each Plan function fills `plan` and returns kExitSuccess, or reports why it
// could not and returns the status to exit with.
int PlanOneFile(const std::string& source, const std::string& target, BatchPlan& plan,
                std::FILE* err) {
    if (!source.empty() && source.back() == kPathSeparator) {
        std::fprintf(err, "%s: %s: no such folder\n", kProgram, source.c_str());
        return kExitUsage;
    }
    // One file named twice is no swap: the conversion refuses it as
    // "target is the source".
    std::error_code error;
    const bool sameFile = fs::equivalent(source, target, error);
    if (const char* swapped = sameFile ? nullptr : SwappedOperand(source, target)) {
        PrintUsageError(err, QStringLiteral("arguments look swapped: %1; the SHP map comes first")
                                 .arg(QLatin1String(swapped)));
        return kExitUsage;
    }
    plan.items.push_back({source, target});
    return kExitSuccess;
}

// A folder that cannot be listed is not an empty one: with -u an unreadable
// PeG folder would otherwise let every existing S16 be overwritten.
int PlanBatch(const Options& options, std::string source, std::string target, BatchPlan& plan,
              std::FILE* err) {
    std::error_code error;
    if (!fs::is_directory(target, error)) {
        std::fprintf(err, "%s: %s: no such folder\n", kProgram, target.c_str());
        return kExitUsage;
    }
    EnsureTrailingSeparator(source);
    EnsureTrailingSeparator(target);
    plan = PlanFolderBatch(source, target, options.updateOnly);
    if (plan.error) {
        std::fprintf(err, "%s: %s: cannot list folder: %s\n", kProgram,
                     plan.failedFolder.string().c_str(), plan.error.message().c_str());
        return kExitUsage;
    }
    if (!options.quiet) {
        WarnOfTargetClashes(plan, err);
    }
    return kExitSuccess;
}

int Run(const Options& options, std::FILE* out, std::FILE* err) {
    const std::string source = ToNative(options.source);
    const std::string target = ToNative(options.target);
    std::error_code error;
    const bool batch = fs::is_directory(source, error);
    BatchPlan plan;
    const int planned = batch ? PlanBatch(options, source, target, plan, err)
                              : PlanOneFile(source, target, plan, err);
    if (planned != kExitSuccess) {
        return planned;
    }
    if (options.dryRun) {
        PrintDryRun(plan, out);
        return kExitSuccess;
    }
    return Convert(options, plan, !batch, err);
}

}  // namespace

QStringList ArgumentsFromNative(int argc, const char* const* argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << FromNative(argv[i]);
    }
    return arguments;
}

namespace {

int ParseAndRun(const QStringList& arguments, std::FILE* out, std::FILE* err) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    parser.addPositionalArgument(QStringLiteral("SOURCE"),
                                 QStringLiteral("SHP picture, or folder of SHP pictures."));
    parser.addPositionalArgument(QStringLiteral("TARGET"),
                                 QStringLiteral("S16 picture, or PeG folder to write into."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption updateOnly(
        {QStringLiteral("u"), QStringLiteral("update-only")},
        QStringLiteral("Convert only the maps that have no S16 in the PeG folder yet."));
    const QCommandLineOption jobs({QStringLiteral("j"), QStringLiteral("jobs")},
                                  QStringLiteral("Run <N> conversions at once (default: the "
                                                 "number of cores)."),
                                  QStringLiteral("N"));
    const QCommandLineOption dryRun({QStringLiteral("n"), QStringLiteral("dry-run")},
                                    QStringLiteral("Print what would be converted; convert "
                                                   "nothing."));
    const QCommandLineOption quiet({QStringLiteral("q"), QStringLiteral("quiet")},
                                   QStringLiteral("Print failures only."));
    parser.addOptions({updateOnly, jobs, dryRun, quiet});

    // parse(), not process(): a usage error must exit with its own status.
    if (!parser.parse(arguments)) {
        PrintUsageError(err, parser.errorText());
        return kExitUsage;
    }
    if (parser.isSet(help)) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), out);
        return kExitSuccess;
    }
    if (parser.isSet(version)) {
        std::fprintf(out, "%s %s\n", kProgram, kVersion);
        return kExitSuccess;
    }
    Options options;
    QString error;
    if (!ReadOptions(parser, updateOnly, jobs, dryRun, quiet, options, error)) {
        PrintUsageError(err, error);
        return kExitUsage;
    }
    return Run(options, out, err);
}

// A listing or help text cut short by a full disk or a closed pipe must not
// pass for success. A status that already reports a failure stays.
int CheckOutput(int status, std::FILE* out, std::FILE* err) {
    errno = 0;
    const bool outFailed = std::fflush(out) != 0 || std::ferror(out) != 0;
    if (outFailed) {
        // Without errno the failure happened at an earlier write; its reason is gone.
        const int reason = errno;
        std::fprintf(err, "%s: cannot write to standard output%s%s\n", kProgram,
                     reason != 0 ? ": " : "", reason != 0 ? std::strerror(reason) : "");
    }
    const bool errFailed = std::fflush(err) != 0 || std::ferror(err) != 0;
    return status == kExitSuccess && (outFailed || errFailed) ? kExitFailure : status;
}

}  // namespace

int RunShp2S16(const QStringList& arguments, std::FILE* out, std::FILE* err) {
    return CheckOutput(ParseAndRun(arguments, out, err), out, err);
}

}  // namespace drovana
