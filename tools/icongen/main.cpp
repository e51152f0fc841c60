// Draws Tessaro's icon (32 x 32 and 16 x 16, 32-bit with alpha) and writes
// it as tessaro.ico into the folder given on the command line.
#include "IcoWriter.h"
#include "TessaroIcon.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: icongen OUTPUT_DIR\n");
        return 2;
    }
    const std::string path = std::string(argv[1]) + "/tessaro.ico";
    const std::vector<uint8_t> bytes = BuildIco({DrawTessaroIcon(32), DrawTessaroIcon(16)});
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "icongen: cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}
