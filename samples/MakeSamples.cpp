// Writes the sample maps and an empty PeG folder into FOLDER, for trying the
// program without maps of one's own.
#include <cstdio>
#include <exception>

#include "SampleMaps.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-samples FOLDER\n");
        return 2;
    }
    try {
        drovana::samples::WriteSamples(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make-samples: %s\n", e.what());
        return 1;
    }
    return 0;
}
