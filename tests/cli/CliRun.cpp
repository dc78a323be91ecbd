#include "CliRun.h"

#include <cstdio>

namespace drovana::test {
namespace {

std::string Drain(std::FILE* file) {
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;) {
        text += static_cast<char>(c);
    }
    std::fclose(file);
    return text;
}

}  // namespace

CliRun RunCli(const std::vector<std::string>& arguments) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    std::vector<std::string> withProgram = {"shp2s16"};
    withProgram.insert(withProgram.end(), arguments.begin(), arguments.end());
    CliRun run;
    run.status = RunShp2S16(withProgram, out, err);
    run.out = Drain(out);
    run.err = Drain(err);
    return run;
}

}  // namespace drovana::test
