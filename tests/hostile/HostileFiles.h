#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Migration files that try to leave their roots or exhaust the reader, with
// what every reader must make of them.  The engine's tests, ikotool,
// ikotool.exe and Tessaro.exe read the same table, and each file is in the
// fuzz corpus under its name.
struct HostileFile {
    enum Kind {
        damaged, // the structure check refuses it; nothing is written
        newer,   // the first entry's format code is above 4: Tessaro refuses
                 // the file, a restore keeps every entry out
        sound    // readable; what would leave its root is refused
    };
    std::string name; // ASCII, its name in the fuzz corpus
    std::string what; // for people
    std::string bytes;
    Kind kind = sound;
    uint64_t faultOffset = 0; // damaged: where the check finds the fault
    std::string fault;        // damaged: its words, or "" when not asked
    int refused = 0;          // entries refused for their path
    int filtered = 0;         // entries kept out by the restore filter
    // The files a restore writes, by "<root>\<path below it>" in code page
    // 932 ("0\表"; roots 3 and 4 are root 0), with their bytes, each name
    // as Windows names it (no trailing dots and blanks).  A platform that
    // limits the path length may write fewer, but never anywhere else.
    std::map<std::string, std::string> written;
};

const std::vector<HostileFile>& HostileMigrationFiles();

// The levels of nesting the engine reads (its CEntryRecordReader::kMaxDepth).
constexpr int kHostileMaxDepth = 2048;
