#include "Shp2S16.h"

#include <QCommandLineParser>
#include <QFile>
#include <QThread>

#include <filesystem>

#include "BatchConvert.h"
#include "Interrupt.h"
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

// File names reach the core as the bytes the user typed.
std::string ToNative(const QString& text) {
    return QFile::encodeName(text).toStdString();
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
        return kExitInterrupted;
    }
    return outcome.failed == 0 ? kExitSuccess : kExitFailure;
}

int Run(const Options& options, std::FILE* out, std::FILE* err) {
    std::string source = ToNative(options.source);
    std::string target = ToNative(options.target);
    std::error_code error;
    const bool batch = fs::is_directory(source, error);
    if (!batch && !source.empty() && source.back() == kPathSeparator) {
        std::fprintf(err, "%s: %s: no such folder\n", kProgram, source.c_str());
        return kExitUsage;
    }
    BatchPlan plan;
    if (batch) {
        if (!fs::is_directory(target, error)) {
            std::fprintf(err, "%s: %s: no such folder\n", kProgram, target.c_str());
            return kExitUsage;
        }
        EnsureTrailingSeparator(source);
        EnsureTrailingSeparator(target);
        plan = PlanFolderBatch(source, target, options.updateOnly);
    } else {
        plan.items.push_back({source, target});
    }
    if (options.dryRun) {
        PrintDryRun(plan, out);
        return kExitSuccess;
    }
    return Convert(options, plan, !batch, err);
}

}  // namespace

int RunShp2S16(const QStringList& arguments, std::FILE* out, std::FILE* err) {
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

}  // namespace drovana
