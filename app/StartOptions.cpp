#include "StartOptions.h"

#include <cstdlib>

#include "Version.h"

namespace drovana {

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitNoDisplay = 1;
constexpr int kExitUsage = 2;

const char kHelp[] =
    "Usage: drovana [SHP_FOLDER [PEG_FOLDER]]\n"
    "       drovana --view FILE [FILE]\n"
    "Opens the converter dialog, which converts SHP picture maps into S16\n"
    "pictures in the PeG folder.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Displays help on commandline options.\n"
    "  -v, --version  Displays version information.\n"
    "      --view     Shows a map beside its S16 picture, or one picture, in a\n"
    "                 window of its own; a map's S16 and an S16's map are found\n"
    "                 beside it.\n"
    "\n"
    "Arguments:\n"
    "  SHP_FOLDER     Folder of SHP pictures to open the dialog on.\n"
    "  PEG_FOLDER     PeG folder to write into.\n"
    "\n"
    "A folder given here is used for this start only; it is kept for the next\n"
    "one if it is changed in the dialog. Without a display, convert with\n"
    "shp2s16.\n";

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

DisplayEnvironment ReadDisplayEnvironment() {
    return {Variable("QT_QPA_PLATFORM"), Variable("DISPLAY"), Variable("WAYLAND_DISPLAY"),
            Variable("WAYLAND_SOCKET")};
}

bool DisplayAvailable(const DisplayEnvironment& environment) {
#if defined(_WIN32) || defined(__APPLE__)
    // There the window system is always the one of the system.
    (void)environment;
    return true;
#else
    return !environment.qpaPlatform.empty() || !environment.display.empty() ||
           !environment.waylandDisplay.empty() || !environment.waylandSocket.empty();
#endif
}

std::optional<int> AnswerWithoutDialog(const StartRequest& request,
                                       const DisplayEnvironment& environment, std::FILE* out,
                                       std::FILE* err) {
    switch (request.action) {
        case StartAction::kHelp:
            std::fputs(kHelp, out);
            return kExitSuccess;
        case StartAction::kVersion:
            std::fprintf(out, "drovana %s\n", kVersion);
            return kExitSuccess;
        case StartAction::kUsageError:
            std::fprintf(err,
                         "drovana: %s\nUsage: drovana [SHP_FOLDER [PEG_FOLDER]]\n"
                         "       drovana --view FILE [FILE]\n"
                         "Try 'drovana --help' for more information.\n",
                         request.error.c_str());
            return kExitUsage;
        case StartAction::kOpenDialog:
        case StartAction::kView:
            break;
    }
    if (!DisplayAvailable(environment)) {
        std::fputs(
            "drovana: no display to open the dialog on (DISPLAY and WAYLAND_DISPLAY are not "
            "set); convert without one with shp2s16 SHP_FOLDER PEG_FOLDER\n",
            err);
        return kExitNoDisplay;
    }
    return std::nullopt;
}

}  // namespace drovana
