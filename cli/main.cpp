#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "Interrupt.h"
#include "Shp2S16.h"

#ifdef _WIN32
#include <conio.h>
#include <windows.h>

#include <cwchar>

namespace {

// Windows gives the arguments as UTF-16; the program works with UTF-8.
std::string Utf8FromWide(const wchar_t* text) {
    const int length = static_cast<int>(std::wcslen(text));
    if (length == 0) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

// Started from Explorer, the program is alone in a console window of its own,
// which closes with it: a command prompt would share its console.
bool OwnsConsole() {
    DWORD processes[2];
    return GetConsoleProcessList(processes, 2) == 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.push_back(Utf8FromWide(argv[i]));
    }
    drovana::IgnoreBrokenPipes();
    if (argc <= 1 && OwnsConsole()) {
        // Double-clicked: a usage error would flash by and vanish with the window.
        const int status =
            drovana::RunShp2S16({arguments.empty() ? "" : arguments[0], "--help"}, stdout, stderr);
        std::fputs("\nPress any key to close this window.", stdout);
        std::fflush(stdout);
        _getch();
        return status;
    }
    return drovana::RunShp2S16(arguments, stdout, stderr);
}

#else

// The arguments stay the bytes they came as: a file name need not be UTF-8.
int main(int argc, char** argv) {
    drovana::IgnoreBrokenPipes();
#ifdef SIGXFSZ
    // Under a file size limit the map that exceeds it fails with EFBIG and the
    // batch goes on, instead of the signal ending the whole run.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    return drovana::RunShp2S16(std::vector<std::string>(argv, argv + argc), stdout, stderr);
}

#endif
