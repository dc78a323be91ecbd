#include <csignal>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "ConvertApp.h"
#include "StartOptions.h"

int main(int argc, char** argv) {
#ifdef SIGXFSZ
    // Under a file size limit the map that exceeds it fails with EFBIG and the
    // run goes on, instead of the signal ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const drovana::StartRequest request =
        drovana::ParseStartArguments(arguments, drovana::ViewOption::kOffered);
    // Decided before Qt starts, which would abort without a display.
    if (const std::optional<int> status = drovana::AnswerWithoutDialog(
            request, drovana::ReadDisplayEnvironment(), stdout, stderr)) {
        return *status;
    }
    drovana::CConvertApp app(argc, argv);
    if (request.action == drovana::StartAction::kView) {
        return app.RunViewer(request.files);
    }
    app.SetStartFolders(request.folders);
    return app.InitInstance() ? drovana::CConvertApp::exec() : 0;
}
