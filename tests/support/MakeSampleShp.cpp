// Writes a sample SHP picture made by our own encoder, for trying the
// converter without maps of one's own.
#include <cstdio>

#include "ShpBuilder.h"
#include "TestFiles.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-sample-shp FILE\n");
        return 2;
    }
    drovana::test::WriteBytes(argv[1],
                              drovana::test::MakeMap(320, 240, drovana::test::MapStyle::kMixed));
    return 0;
}
