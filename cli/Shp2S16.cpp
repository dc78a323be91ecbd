#include "Shp2S16.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "BatchConvert.h"
#include "BatchRules.h"
#include "Interrupt.h"
#include "OptionWords.h"
#include "PathParts.h"
#include "PreRun.h"
#include "ProgressReporter.h"
#include "Version.h"

namespace drovana {
namespace {

namespace fs = std::filesystem;

constexpr const char* kProgram = "shp2s16";

// Written out rather than left to the parser, so that the wording and the
// examples read the same in every build.
const char* kHelp =
    "Usage: shp2s16 [options] SOURCE TARGET\n"
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
    "      lists the maps that have no S16 in peg/ yet, converting nothing.\n"
    "\n"
    "Options:\n"
    "  -h, --help         Displays help on commandline options.\n"
    "  -v, --version      Displays version information.\n"
    "  -u, --update-only  Convert only the maps that have no S16 in the PeG folder\n"
    "                     yet.\n"
    "  -j, --jobs <N>     Run <N> conversions at once (default: the number of\n"
    "                     cores).\n"
    "  -n, --dry-run      Print what would be converted; convert nothing.\n"
    "  -q, --quiet        Print failures only.\n"
    "      --legacy-rows  Write rows as version 1.0.0.1 did, byte for byte: short\n"
    "                     where a map's rows end early or start right of column\n"
    "                     0, so that programs show such maps skewed.\n"
    "\n"
    "Arguments:\n"
    "  SOURCE             SHP picture, or folder of SHP pictures.\n"
    "  TARGET             S16 picture, or PeG folder to write into.\n";

// Every long option, for the nearest one to a mistyped name.
const std::vector<std::string> kLongOptions = {"--help",    "--version", "--update-only", "--jobs",
                                               "--dry-run", "--quiet",   "--legacy-rows"};

// The help with the paths in the examples spelt as the system spells them.
std::string HelpText() {
    std::string help = kHelp;
#ifdef _WIN32
    std::replace(help.begin(), help.end(), '/', '\\');
#endif
    return help;
}

// What the command line asks for, as it was written.
struct Request {
    bool help = false;
    bool version = false;
    bool updateOnly = false;
    bool dryRun = false;
    bool quiet = false;
    bool legacyRows = false;
    bool jobsGiven = false;
    std::string jobs;
    std::vector<std::string> operands;
};

struct Options {
    bool updateOnly = false;
    bool dryRun = false;
    bool quiet = false;
    S16Rows rows = S16Rows::kWhole;
    int jobs = 1;
    std::string source;
    std::string target;
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
            list += QuotedPath(group[i]);
        }
        std::fprintf(err, "%s: warning: %s %s convert to %s without regard to case\n", kProgram,
                     list.c_str(), group.size() == 2 ? "both" : "all",
                     QuotedPath(TargetPathFor("", group.front())).c_str());
    }
}

void PrintUsageError(std::FILE* err, const std::string& message) {
    std::fprintf(err,
                 "%s: %s\nUsage: %s [options] SOURCE TARGET\n"
                 "       %s [options] SHP_FOLDER PEG_FOLDER\n"
                 "Try '%s --help' for more information.\n",
                 kProgram, message.c_str(), kProgram, kProgram, kProgram);
}

// "--name=value" and "-xyz" are the unknown options "--name" and "-x".
std::string UnknownOptionName(const std::string& argument) {
    if (argument.rfind("--", 0) == 0) {
        return argument.substr(0, argument.find('='));
    }
    return argument.substr(0, 2);
}

// The parser's messages speak of its own workings; ours say what was wrong
// with the command line. Its only mismatches are a flag given a value and a
// value missing after -j, which can then only be the last argument.
std::string DescribeParseError(const CLI::App& app, const CLI::ParseError& error,
                               const std::vector<std::string>& given) {
    for (const std::string& argument : given) {
        const std::size_t equals = argument.find('=');
        if (argument.rfind("--", 0) != 0 || equals == std::string::npos) {
            continue;
        }
        const std::string name = argument.substr(0, equals);
        const CLI::Option* option = app.get_option_no_throw(name);
        if (option != nullptr && option->get_expected_max() == 0) {
            return TakesNoValueMessage(name);
        }
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr && !given.empty()) {
        return NeedsValueMessage(given.back().rfind("--", 0) == 0 ? "--jobs" : "-j", "a number");
    }
    return error.what();
}

// Reads `arguments` (program name first) into `request`; returns false with
// `error` set on wrong usage.
bool ParseArguments(const std::vector<std::string>& arguments, Request& request,
                    std::string& error) {
    CLI::App app;
    // --help prints our own text, and only once the arguments are known good.
    app.set_help_flag();
    // Options it does not know are reported below, in our words.
    app.allow_extras();
    // A flag takes no value: "--dry-run=0" must not turn a dry run into a real one.
    for (const auto& [names, flag] : {std::pair{"-h,--help", &request.help},
                                      {"-v,--version", &request.version},
                                      {"-u,--update-only", &request.updateOnly},
                                      {"-n,--dry-run", &request.dryRun},
                                      {"-q,--quiet", &request.quiet},
                                      {"--legacy-rows", &request.legacyRows}}) {
        app.add_flag(names, *flag)->disable_flag_override();
    }
    const CLI::Option* jobs = app.add_option("-j,--jobs", request.jobs)
                                  ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.add_option("operands", request.operands);

    std::vector<std::string> given(arguments.begin() + (arguments.empty() ? 0 : 1),
                                   arguments.end());
#ifdef _WIN32
    // The help switch of the system's own commands.
    std::replace(given.begin(), given.end(), std::string("/?"), std::string("--help"));
#endif
    // The parser takes the arguments last first.
    std::vector<std::string> reversed(given.rbegin(), given.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& parseError) {
        error = DescribeParseError(app, parseError, given);
        return false;
    }
    request.jobsGiven = jobs->count() > 0;
    // "--" stays among the arguments the parser did not take.
    for (const std::string& extra : app.remaining()) {
        if (extra != "--") {
            error = UnknownOptionMessage(UnknownOptionName(extra), kLongOptions);
            return false;
        }
    }
    return true;
}

// A count of at least one, with blanks around it and a plus sign allowed;
// "-j=3" arrives as "=3".
bool ParseJobs(const std::string& text, int& jobs) {
    constexpr const char* kBlanks = " \t\n\v\f\r";
    const std::size_t first = text.find_first_not_of(kBlanks, text.rfind('=', 0) == 0 ? 1 : 0);
    if (first == std::string::npos) {
        return false;
    }
    const char* begin = text.data() + first + (text[first] == '+' ? 1 : 0);
    const char* end = text.data() + text.find_last_not_of(kBlanks) + 1;
    const auto [next, error] = std::from_chars(begin, end, jobs);
    return error == std::errc() && next == end && jobs >= 1;
}

int DefaultJobs() {
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

// Which operand is missing: the one after a folder is the PeG folder.
std::string MissingOperand(const std::vector<std::string>& files) {
    if (files.empty()) {
        return "missing SOURCE and TARGET";
    }
    std::error_code error;
    const bool folder = SpeltAsFolder(files[0]) || fs::is_directory(PathOf(files[0]), error);
    return std::string("missing ") + (folder ? "PEG_FOLDER" : "TARGET") + " after '" +
           QuotedName(files[0]) + "'";
}

// Fills `options`; returns false with `error` set on wrong usage.
bool ReadOptions(const Request& request, Options& options, std::string& error) {
    const std::vector<std::string>& files = request.operands;
    if (files.size() != 2) {
        error = files.size() < 2 ? MissingOperand(files) : "too many operands";
        return false;
    }
    if (files[0].empty() || files[1].empty()) {
        error = files[0].empty() ? "SOURCE is empty" : "TARGET is empty";
        return false;
    }
    options.source = files[0];
    options.target = files[1];
    options.updateOnly = request.updateOnly;
    options.dryRun = request.dryRun;
    options.quiet = request.quiet;
    options.rows = request.legacyRows ? S16Rows::kLegacy : S16Rows::kWhole;
    options.jobs = DefaultJobs();
    if (request.jobsGiven && !ParseJobs(request.jobs, options.jobs)) {
        error = NeedsValueMessage("-j", "a number from 1 up") + ", not '" + request.jobs + "'";
        return false;
    }
    return true;
}

void PrintDryRun(const BatchPlan& plan, std::FILE* out) {
    for (const BatchItem& item : plan.items) {
        std::fprintf(out, "%s -> %s\n", QuotedPath(item.source).c_str(),
                     QuotedPath(item.target).c_str());
    }
}

// 128 + the signal that stopped the run, as shells report it.
int InterruptedStatus() {
    const int signal = InterruptSignal();
    return signal != 0 ? kExitSignalBase + signal : kExitInterrupted;
}

int Convert(const Options& options, const BatchPlan& plan, std::size_t hiddenOrReadOnly,
            bool singleFile, std::FILE* err) {
    CatchInterrupts();
    ProgressReporter::Mode mode;
    mode.quiet = options.quiet;
    mode.progressLine = !singleFile && ProgressReporter::IsTerminal(err);
    ProgressReporter reporter(err, plan.items.size(), mode);
    const BatchOutcome outcome =
        ConvertBatch(plan.items, options.jobs, InterruptRequested(), reporter, options.rows);
    if (!singleFile || outcome.interrupted) {
        ProgressReporter::LeftOut leftOut;
        if (options.updateOnly) {
            leftOut.upToDate = plan.upToDate;
        }
        leftOut.hiddenOrReadOnly = hiddenOrReadOnly;
        reporter.Summary(outcome, leftOut);
    }
    if (outcome.interrupted) {
        return InterruptedStatus();
    }
    return outcome.failed == 0 && !outcome.syncError ? kExitSuccess : kExitFailure;
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

// Why a SOURCE spelt as a folder is not one: nothing there, something else
// there, or the system's reason for a folder it cannot reach.
std::string MissingFolderReason(const std::string& folder) {
    std::error_code error;
    static_cast<void>(fs::status(PathOf(folder), error));
    if (!error || error == std::errc::no_such_file_or_directory) {
        return "no such folder";
    }
    return error == std::errc::not_a_directory ? "not a folder"
                                               : "cannot list folder: " + error.message();
}

// The folder the picture goes into must be there: named by itself, it points
// at the cause better than the source's "cannot create target" would.
// Returns kExitSuccess or the status to exit with.
int CheckTargetFolder(const std::string& target, std::FILE* err) {
    const std::string folder = GetPathPart(target, kPathFolder);
    if (folder.empty()) {
        return kExitSuccess;
    }
    switch (CheckFolder(folder)) {
        case FolderState::kMissing:
            std::fprintf(err, "%s: %s: no such folder for the target\n", kProgram,
                         QuotedName(folder).c_str());
            return kExitUsage;
        case FolderState::kNotAFolder:
            std::fprintf(err, "%s: %s: not a folder, so it cannot hold the target\n", kProgram,
                         QuotedName(folder).c_str());
            return kExitUsage;
        default:
            return kExitSuccess;
    }
}

// A name the file system does not know, not spelt as a map, is more likely a
// mistyped folder than a map: wrong usage, as a missing folder is.
bool MistypedFolder(const std::string& source) {
    std::error_code error;
    return !HasExtension(source, kShpExtension) &&
           fs::status(PathOf(source), error).type() == fs::file_type::not_found;
}

// A picture name that is not there yet and not spelt as one is written as
// it stands, with no ".s16" added.
void WarnOfBareTarget(const std::string& target, std::FILE* err) {
    std::error_code error;
    if (!HasExtension(target, kS16Extension) &&
        fs::status(PathOf(target), error).type() == fs::file_type::not_found) {
        std::fprintf(err,
                     "%s: warning: %s does not end in .s16; a file of that exact name is "
                     "written\n",
                     kProgram, QuotedName(target).c_str());
    }
}

// Each Plan function fills `plan` and returns kExitSuccess, or reports why it
// could not and returns the status to exit with.
int PlanOneFile(const Options& options, BatchPlan& plan, std::FILE* err) {
    const std::string& source = options.source;
    if (SpeltAsFolder(source)) {
        std::fprintf(err, "%s: %s: %s\n", kProgram, QuotedName(source).c_str(),
                     MissingFolderReason(source).c_str());
        return kExitUsage;
    }
    const std::string target = TargetForOneFile(source, options.target);
    if (const int checked = CheckTargetFolder(target, err); checked != kExitSuccess) {
        return checked;
    }
    const fs::path sourcePath = PathOf(source);
    const fs::path targetPath = PathOf(target);
    // One file named twice is no swap: the conversion refuses it as
    // "target is the source".
    std::error_code error;
    const bool sameFile = fs::equivalent(sourcePath, targetPath, error);
    if (const char* swapped = sameFile ? nullptr : SwappedOperand(source, target)) {
        PrintUsageError(
            err, std::string("arguments look swapped: ") + swapped + "; the SHP map comes first");
        return kExitUsage;
    }
    if (MistypedFolder(source)) {
        std::fprintf(err, "%s: %s: no such file or folder\n", kProgram, QuotedName(source).c_str());
        return kExitUsage;
    }
    if (!options.quiet) {
        WarnOfBareTarget(target, err);
    }
    plan.items.push_back({sourcePath, targetPath});
    return kExitSuccess;
}

// The PeG folder must be a folder the batch can write into.
int CheckPegFolder(const std::string& target, std::FILE* err) {
    std::string reason;
    switch (CheckFolder(target, &reason)) {
        case FolderState::kFolder:
            return kExitSuccess;
        case FolderState::kMissing:
            std::fprintf(err, "%s: %s: no such folder\n", kProgram, QuotedName(target).c_str());
            break;
        case FolderState::kNotAFolder:
            std::fprintf(err, "%s: %s is not a folder\n", kProgram, QuotedName(target).c_str());
            break;
        case FolderState::kUnreachable:
            std::fprintf(err, "%s: %s: cannot reach folder: %s\n", kProgram,
                         QuotedName(target).c_str(), reason.c_str());
            break;
    }
    return kExitUsage;
}

void ReportListingError(const std::filesystem::path& folder, const std::error_code& error,
                        std::FILE* err) {
    std::fprintf(err, "%s: %s: cannot list folder: %s\n", kProgram, QuotedPath(folder).c_str(),
                 error.message().c_str());
}

// A folder that cannot be listed is not an empty one: with -u an unreadable
// PeG folder would otherwise let every existing S16 be overwritten.
// `hiddenOrReadOnly` counts the maps left out for being hidden or read-only.
int PlanBatch(const Options& options, BatchPlan& plan, std::size_t& hiddenOrReadOnly,
              std::FILE* err) {
    if (const int checked = CheckPegFolder(options.target, err); checked != kExitSuccess) {
        return checked;
    }
    const std::string source = WithTrailingSeparator(options.source);
    const std::string target = WithTrailingSeparator(options.target);
    // The PeG folder named first: converting nothing would look like success.
    if (CheckShpFolder(source) == ShpFolderProblem::kHoldsS16ButNoMaps) {
        PrintUsageError(err, QuotedName(source) +
                                 " holds S16 pictures but no maps: are the two folders swapped?");
        return kExitUsage;
    }
    const CandidateList candidates = ListCandidates(source, target, options.updateOnly);
    if (candidates.error) {
        ReportListingError(candidates.failedFolder, candidates.error, err);
        return kExitUsage;
    }
    plan = PlanNamedBatch(source, target, candidates.names);
    plan.upToDate = candidates.upToDate;
    hiddenOrReadOnly = candidates.hiddenOrReadOnly;
    if (plan.error) {
        ReportListingError(plan.failedFolder, plan.error, err);
        return kExitUsage;
    }
    if (!options.quiet) {
        WarnOfTargetClashes(plan, err);
    }
    return kExitSuccess;
}

int Run(const Options& options, std::FILE* out, std::FILE* err) {
    std::error_code error;
    const bool batch = fs::is_directory(PathOf(options.source), error);
    BatchPlan plan;
    std::size_t hiddenOrReadOnly = 0;
    const int planned =
        batch ? PlanBatch(options, plan, hiddenOrReadOnly, err) : PlanOneFile(options, plan, err);
    if (planned != kExitSuccess) {
        return planned;
    }
    if (options.dryRun) {
        PrintDryRun(plan, out);
        return kExitSuccess;
    }
    return Convert(options, plan, hiddenOrReadOnly, !batch, err);
}

int ParseAndRun(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err) {
    Request request;
    std::string error;
    if (!ParseArguments(arguments, request, error)) {
        PrintUsageError(err, error);
        return kExitUsage;
    }
    if (request.help) {
        std::fputs(HelpText().c_str(), out);
        return kExitSuccess;
    }
    if (request.version) {
        std::fprintf(out, "%s %s\n", kProgram, kVersion);
        return kExitSuccess;
    }
    Options options;
    if (!ReadOptions(request, options, error)) {
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

int RunShp2S16(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err) {
    return CheckOutput(ParseAndRun(arguments, out, err), out, err);
}

}  // namespace drovana
