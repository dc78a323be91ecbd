#include "ConvertApp.h"

int main(int argc, char** argv) {
    drovana::CConvertApp app(argc, argv);
    return app.InitInstance() ? drovana::CConvertApp::exec() : 0;
}
