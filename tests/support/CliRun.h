#pragma once

#include <string>
#include <vector>

#include "Shp2S16.h"

// Runs the command-line front end in this process and keeps what it printed.
namespace drovana::test {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// `arguments` go after the program name, byte for byte.
CliRun RunCli(const std::vector<std::string>& arguments);

}  // namespace drovana::test
