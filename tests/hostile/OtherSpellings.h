#pragma once
#include <functional>
#include <string>
#include <vector>

// The files of a target installation that a restore leaves alone (the
// restore filter's), and the other spellings of their paths that the
// system resolves to the same file.  The engine's tests, ikotool.exe and
// Tessaro.exe restore the same table.  Names are code page 932.
struct ProtectedFile {
    int root;
    std::vector<std::string> folders; // below the root, e.g. {"Data", "Org"}
    std::string name;

    // "Data\\Org\\kyuyo.xls"
    std::string RelPath() const;
};

struct Spelling {
    std::string what;
    std::string relDir; // as an entry record holds it
    std::string name;
};

const std::vector<ProtectedFile>& ProtectedFiles();

// The system's short name of the file's folder at `level` (0: the first
// below the root) or, with level == folders.size(), of the file itself;
// empty when it has none.
using ShortNameOf = std::function<std::string(const ProtectedFile& file, size_t level)>;

// Every spelling of the file's path but its own: separator runs, "/",
// trailing dots and blanks of the folders and of the name, other letter
// cases, short names.
std::vector<Spelling> OtherSpellings(const ProtectedFile& file, const ShortNameOf& shortName);

// A migration file (format code 3) with one top-level file entry holding
// `content` for each spelling of each protected file.
std::string FileOfEverySpelling(const ShortNameOf& shortName, const std::string& content,
                                int* pEntries = nullptr);
