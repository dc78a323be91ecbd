// The dialog tests run inside the program's own application object, on the
// offscreen platform unless told otherwise, with settings in a throw-away
// folder from the first line on.
#include <gtest/gtest.h>
#include <QStandardPaths>
#include <QtGlobal>
#include <vector>

#include "ConvertApp.h"
#include "DialogTestSupport.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    testing::InitGoogleTest(&argc, argv);
    QStandardPaths::setTestModeEnabled(true);

    // A Qt option on the command line, which the application must not pass
    // on: it would mirror every widget (see ConvertApp.IgnoresCommandLine).
    static char reverse[] = "-reverse";
    std::vector<char*> arguments(argv, argv + argc);
    arguments.push_back(reverse);
    arguments.push_back(nullptr);
    drovana::CConvertApp app(static_cast<int>(arguments.size()) - 1, arguments.data());

    const drovana::test::SettingsSandbox settings;
    return RUN_ALL_TESTS();
}
