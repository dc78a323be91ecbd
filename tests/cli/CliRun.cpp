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

CliRun RunCli(const QStringList& arguments) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    CliRun run;
    run.status = RunShp2S16(QStringList{QStringLiteral("shp2s16")} + arguments, out, err);
    run.out = Drain(out);
    run.err = Drain(err);
    return run;
}

}  // namespace drovana::test
