#include "OtherSpellings.h"

#include "MigrationBytes.h"

namespace {

// 勤怠_kyuyo in code page 932 (sources are UTF-8, and clang keeps literals so).
const std::string kAttendance = "\x8B\xCE\x91\xD3_kyuyo";

std::string Join(const std::vector<std::string>& parts, const std::string& separator) {
    std::string out;
    for (const std::string& part : parts)
        out += separator + part;
    return out;
}

// Single-byte letters only; a double-byte character keeps both bytes.
std::string FoldCase(const std::string& s, char from, char to) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC))
            out += s.substr(i++, 2);
        else if (c >= from && c < from + 26)
            out += static_cast<char>(c - from + to);
        else
            out += s[i];
    }
    return out;
}

std::string Upper(const std::string& s) {
    return FoldCase(s, 'a', 'A');
}

std::string Lower(const std::string& s) {
    return FoldCase(s, 'A', 'a');
}

std::vector<std::string> WithLast(std::vector<std::string> parts, const std::string& tail) {
    parts.back() += tail;
    return parts;
}

std::vector<std::string> WithEach(std::vector<std::string> parts, const std::string& tail) {
    for (std::string& part : parts)
        part += tail;
    return parts;
}

void AddShortNames(const ProtectedFile& f, const ShortNameOf& shortName,
                   std::vector<Spelling>& out) {
    const std::string dir = Join(f.folders, "\\");
    const std::string name = shortName(f, f.folders.size());
    if (!name.empty()) {
        out.push_back({"short name of the file", dir, name});
        out.push_back({"short name of the file with a trailing dot", dir, name + "."});
        out.push_back({"short name of the file in lower case", dir, Lower(name)});
    }
    for (size_t level = 0; level < f.folders.size(); ++level) {
        const std::string folder = shortName(f, level);
        if (folder.empty())
            continue;
        std::vector<std::string> parts = f.folders;
        parts[level] = folder;
        out.push_back({"short name of a folder", Join(parts, "\\"), f.name});
        parts[level] += ".";
        out.push_back({"short name of a folder with a trailing dot", Join(parts, "/"), f.name});
    }
}

} // namespace

std::string ProtectedFile::RelPath() const {
    return Join(folders, "\\").substr(1) + "\\" + name;
}

const std::vector<ProtectedFile>& ProtectedFiles() {
    static const std::vector<ProtectedFile> files = [] {
        std::vector<ProtectedFile> list;
        for (const char* name :
             {"DenMainData.dat", "TMBFILEMAP.DAT", "Company.dat", "Custom.dat", "CompURL.dat"})
            list.push_back({0, {"Data", "MyData"}, name});
        for (const std::string& stem : {std::string("kyuyo"), std::string("xlConv2"), kAttendance})
            for (const char* ext : {".xls", ".xlsm"})
                list.push_back({0, {"Data", "Org"}, stem + ext});
        list.push_back({1, {"Excel", "Excel_Old"}, "kyuyo2019.xls"});
        return list;
    }();
    return files;
}

// The folders begin with a backslash, as the writer composes them.
std::vector<Spelling> OtherSpellings(const ProtectedFile& f, const ShortNameOf& shortName) {
    const std::string dir = Join(f.folders, "\\");
    std::vector<Spelling> out = {
        {"a run of backslashes", "\\" + Join(f.folders, "\\\\"), f.name},
        {"forward slashes", Join(f.folders, "/"), f.name},
        {"slash and backslash", "/" + Join(f.folders, "\\/"), f.name},
        {"the folder with a trailing dot", Join(WithLast(f.folders, "."), "\\"), f.name},
        {"the folder with a trailing blank", Join(WithLast(f.folders, " "), "\\"), f.name},
        {"every folder with dots and blanks", Join(WithEach(f.folders, ". ."), "\\"), f.name},
        {"the name with a trailing dot", dir, f.name + "."},
        {"the name with a trailing blank", dir, f.name + " "},
        {"the name with dots and blanks", dir, f.name + " .. "},
        {"the name in upper case", dir, Upper(f.name)},
        {"everything at once", "\\" + Join(WithEach(f.folders, "."), "/\\"), Upper(f.name) + ". "},
    };
    AddShortNames(f, shortName, out);
    return out;
}

std::string FileOfEverySpelling(const ShortNameOf& shortName, const std::string& content,
                                int* pEntries) {
    std::string records;
    int n = 0;
    for (const ProtectedFile& f : ProtectedFiles())
        for (const Spelling& s : OtherSpellings(f, shortName)) {
            records += Record(3, f.root, s.relDir, s.name, content, 0);
            ++n;
        }
    if (pEntries)
        *pEntries = n;
    return Header(static_cast<uint16_t>(n)) + records;
}
