#include <QCoreApplication>

#include <cstdio>

#include "Interrupt.h"
#include "Shp2S16.h"
#include "Version.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("shp2s16"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(drovana::kVersion));
#ifdef _WIN32
    // Windows passes the arguments as UTF-16, which QString holds as it is.
    const QStringList arguments = QCoreApplication::arguments();
#else
    const QStringList arguments = drovana::ArgumentsFromNative(argc, argv);
#endif
    drovana::IgnoreBrokenPipes();
    return drovana::RunShp2S16(arguments, stdout, stderr);
}
