// benchdata: lays out a benchmark data set (an installation's Data and Excel
// folders) from a seed.  The same command always writes the same bytes.
#include "DataSetPlan.h"
#include "DataSetWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>

namespace {

const char kUsage[] =
    "usage: benchdata office|many|big DIR [--seed N] [--files N] [--folders N]\n"
    "                 [--min BYTES] [--max BYTES] [--large N] [--large-min BYTES]\n"
    "                 [--large-max BYTES] [--bytes BYTES] [--dry-run]\n";

bool ParseNumber(const char* text, uint64_t& n) {
    char* end = nullptr;
    errno = 0;
    n = std::strtoull(text, &end, 10);
    return *text && *end == '\0' && errno == 0;
}

uint64_t* FieldOf(CDataSetPlan::Parameters& p, const std::string& name) {
    if (name == "--seed")
        return &p.nSeed;
    if (name == "--files")
        return &p.nFiles;
    if (name == "--folders")
        return &p.nFolders;
    if (name == "--min")
        return &p.nMinSize;
    if (name == "--max")
        return &p.nMaxSize;
    if (name == "--large")
        return &p.nLargeFiles;
    if (name == "--large-min")
        return &p.nLargeMin;
    if (name == "--large-max")
        return &p.nLargeMax;
    if (name == "--bytes")
        return &p.nBigSize;
    return nullptr;
}

bool ParseOptions(int argc, char** argv, CDataSetPlan::Parameters& params, bool& bDryRun) {
    if (argc < 3 || !CDataSetPlan::DefaultsOf(argv[1], params))
        return false;
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dry-run") == 0) {
            bDryRun = true;
            continue;
        }
        uint64_t* field = FieldOf(params, argv[i]);
        if (!field || i + 1 >= argc || !ParseNumber(argv[i + 1], *field)) {
            (void)std::fprintf(stderr, "benchdata: bad option or value: %s\n", argv[i]);
            return false;
        }
        ++i;
    }
    return params.nMinSize <= params.nMaxSize && params.nLargeMin <= params.nLargeMax;
}

} // namespace

int main(int argc, char** argv) {
    CDataSetPlan::Parameters params;
    bool bDryRun = false;
    if (!ParseOptions(argc, argv, params, bDryRun)) {
        (void)std::fputs(kUsage, stderr);
        return 2;
    }
    const CDataSetPlan plan(params);
    const std::string dir = argv[2];
    struct stat st;
    if (!bDryRun && ::stat(dir.c_str(), &st) == 0) {
        (void)std::fprintf(stderr, "benchdata: %s exists; remove it first\n", dir.c_str());
        return 1;
    }
    std::string error;
    if (!bDryRun && !CDataSetWriter(params.nSeed).Write(plan, dir, error)) {
        (void)std::fprintf(stderr, "benchdata: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s: %zu files, %llu bytes, %zu folders\n", argv[1], plan.Files().size(),
                static_cast<unsigned long long>(plan.TotalBytes()), plan.Folders().size());
    return 0;
}
