#include <QCoreApplication>

#include <cstdio>

#include "Shp2S16.h"
#include "Version.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("shp2s16"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(drovana::kVersion));
    return drovana::RunShp2S16(QCoreApplication::arguments(), stdout, stderr);
}
