#pragma once

#include <QApplication>
#include <QString>

#include <atomic>
#include <string>
#include <vector>

#include "StartOptions.h"

namespace drovana {

namespace detail {

// Holds the one argument Qt gets to see, the program's name: options such as
// -reverse or -style would otherwise change how the dialog looks and works.
struct ProgramNameOnly {
    explicit ProgramNameOnly(char* program);
    int argc = 1;
    char* argv[2];
};

}  // namespace detail

// Closes `window` once `flag` is set, as SIGTERM, SIGINT and SIGHUP set the
// interrupt flag: a run under way stops first, leaving no partial file, and
// the dialog saves its settings as it goes.
void CloseWhenSet(QWidget& window, const std::atomic<bool>& flag);

// The application object: names the settings root, runs the converter dialog
// modally and ends the program when the dialog closes.
class CConvertApp : private detail::ProgramNameOnly, public QApplication {
public:
    // Every argument after the program's name is ignored.
    CConvertApp(int argc, char** argv);

    // The folders the dialog opens on instead of the stored ones; a relative
    // folder is taken from the current one.
    void SetStartFolders(const StartFolders& folders);

    // Runs the whole program. Returns false: there is no event loop to enter
    // once the dialog has closed.
    bool InitInstance();

    // Shows the pictures named by `files` without the dialog, until the
    // window is closed; returns the exit status.
    int RunViewer(const std::vector<std::string>& files);

private:
    QString m_strStartShpFolder;
    QString m_strStartPegFolder;
};

}  // namespace drovana
