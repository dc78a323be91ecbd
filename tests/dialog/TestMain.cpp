// The dialog tests run in the program's own application object, offscreen
// unless told otherwise, with settings in a throw-away folder from the start.
#include <QStandardPaths>
#include <QTemporaryDir>
#include <vector>

#include "ConvertApp.h"
#include "DialogTestSupport.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    testing::InitGoogleTest(&argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    // No samples of the system's nor a copy of the user's: a first start
    // opens on the program's folder unless a test provides them.
    const QTemporaryDir noData;
    qputenv("XDG_DATA_HOME", noData.path().toUtf8());
    qputenv("XDG_DATA_DIRS", noData.path().toUtf8());

    // -reverse would mirror every widget if the application passed it on to Qt.
    static char reverse[] = "-reverse";
    std::vector<char*> arguments(argv, argv + argc);
    arguments.push_back(reverse);
    arguments.push_back(nullptr);
    drovana::CConvertApp app(static_cast<int>(arguments.size()) - 1, arguments.data());

    const drovana::test::SettingsSandbox settings;
    return RUN_ALL_TESTS();
}
