#pragma once

#include <QString>
#include <QStringList>

#include <filesystem>
#include <string>

#include "Shp2S16.h"

// Runs the command-line front end in this process and keeps what it printed.
namespace drovana::test {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

CliRun RunCli(const QStringList& arguments);

}  // namespace drovana::test

namespace drovana {

inline QString Q(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

}  // namespace drovana
