#include "CliRun.h"

#include <cstdio>

#include "TestFiles.h"

namespace drovana::test {

CliRun RunCli(const std::vector<std::string>& arguments) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    std::vector<std::string> withProgram = {"shp2s16"};
    withProgram.insert(withProgram.end(), arguments.begin(), arguments.end());
    CliRun run;
    run.status = RunShp2S16(withProgram, out, err);
    run.out = DrainFile(out);
    run.err = DrainFile(err);
    return run;
}

}  // namespace drovana::test
