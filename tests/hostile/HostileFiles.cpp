#include "HostileFiles.h"

#include "MigrationBytes.h"

#include <climits>

namespace {

// Sources are UTF-8; the files hold code page 932.  Each of these ends in
// the byte 0x5C.
const std::string kHyo = "\x95\x5C"; // 表
const std::string kSo = "\x83\x5C";  // ソ
const std::string kNou = "\x94\x5C"; // 能
const std::string kLead = "\x95";    // a lead byte alone

HostileFile Make(std::string name, std::string what, std::string bytes, HostileFile::Kind kind) {
    HostileFile f;
    f.name = std::move(name);
    f.what = std::move(what);
    f.bytes = std::move(bytes);
    f.kind = kind;
    return f;
}

HostileFile Damaged(std::string name, std::string what, std::string bytes, uint64_t offset,
                    std::string fault = "") {
    HostileFile f = Make(std::move(name), std::move(what), std::move(bytes), HostileFile::damaged);
    f.faultOffset = offset;
    f.fault = std::move(fault);
    return f;
}

HostileFile Sound(std::string name, std::string what, std::string bytes,
                  std::map<std::string, std::string> written, int refused = 0) {
    HostileFile f = Make(std::move(name), std::move(what), std::move(bytes), HostileFile::sound);
    f.written = std::move(written);
    f.refused = refused;
    return f;
}

// One entry whose path would leave its root, then a harmless one that must
// still be written: the restore goes on after a refusal.
struct Escape {
    const char* name;
    std::string relDir;
    std::string entryName;
};

const Escape kEscapes[] = {
    {"dotdot-name", "", ".."},
    {"dotdot-name-then-file", "", "..\\hostile"},
    {"dotdot-reldir", "..", "hostile"},
    {"dotdot-reldir-leading-separator", "\\..", "hostile"},
    {"dotdot-below-data", "\\\\Data\\..\\..", "hostile"},
    {"dotdot-after-a-folder", "a\\..\\..", "hostile"},
    {"dotdot-in-the-separator-runs", "\\\\\\..\\..", "hostile"},
    {"three-dots", "", "..."},
    {"dots-and-blank", "", ". ."},
    {"dotdot-blank", "", ".. "},
    {"dotdot-blank-folder", "x\\.. ", "hostile"},
    {"single-dot", "", "."},
    {"slash-dotdot-reldir", "a/../..", "hostile"},
    {"slash-dotdot-name", "", "../hostile"},
    {"slash-dotdot-at-the-end", "", "a/.."},
    {"deep-dotdot", "", "..\\..\\..\\..\\..\\..\\..\\..\\hostile"},
    {"drive-letter-folder", "C:\\Windows", "hostile"},
    {"drive-relative", "", "C:hostile"},
    {"stream-name", "", "hostile.dat:stream"},
    {"stream-data", "", "hostile::$DATA"},
    {"long-path-prefix", "\\\\?\\C:\\", "hostile"},
    {"device-path-prefix", "\\\\.\\", "hostile"},
    {"unc-dotdot", "\\\\server\\share\\..", "hostile"},
    {"device-con", "", "CON"},
    {"device-con-lower", "", "con"},
    {"device-con-extension", "", "Con.txt"},
    {"device-con-blank-extension", "", "CON .dat"},
    {"device-nul", "", "nul"},
    {"device-aux", "", "AUX"},
    {"device-prn-extension", "", "PRN.x"},
    {"device-com1", "", "COM1"},
    {"device-com9-extension", "", "com9.log"},
    {"device-lpt1", "", "LPT1"},
    {"device-lpt9-extension", "", "lpt9.txt"},
    {"device-conin", "", "CONIN$"},
    {"device-conout", "", "CONOUT$"},
    {"device-folder", "NUL", "hostile"},
    {"control-character", "", "hostile\t"},
    {"lead-byte-alone", "", "hostile" + kLead},
    {"lead-byte-before-slash-dotdot", "", kLead + "/.."},
    {"dbcs-5c-folder-then-dotdot", "\\" + kHyo, ".."},
    {"dbcs-5c-name-dotdot-file", "", kSo + "\\..\\..\\hostile"},
};

std::vector<HostileFile> EscapeFiles() {
    std::vector<HostileFile> files;
    for (const Escape& e : kEscapes)
        files.push_back(Sound("escape-" + std::string(e.name),
                              "\"" + e.relDir + "\" + \"" + e.entryName + "\" is refused",
                              Header(2) + Record(3, 0, e.relDir, e.entryName, "evil", 0) +
                                  Record(3, 0, "", "ok.dat", "fine", 0),
                              {{"0\\ok.dat", "fine"}}, 1));
    return files;
}

// Forms that look absolute or odd but stay below the root they are given.
std::vector<HostileFile> InsideFiles() {
    return {
        Sound("inside-posix-absolute-folder", "a folder \"/etc\" is made below the root",
              Header(1) + Record(3, 0, "", "/etc", "", 1) +
                  Record(3, 0, "\\/etc", "hostile", "x", 0),
              {{"0\\etc\\hostile", "x"}}),
        Sound("inside-unc-folder", "a folder \"\\\\server\\share\" is made below the root",
              Header(1) + Record(3, 0, "", "\\\\server\\share", "", 1) +
                  Record(3, 0, "\\\\\\server\\share", "hostile", "x", 0),
              {{"0\\server\\share\\hostile", "x"}}),
        Sound("dbcs-5c-name", "表 ends in 0x5C and is one name",
              Header(1) + Record(3, 1, "", kHyo, "hyo", 0), {{"1\\" + kHyo, "hyo"}}),
        Sound("dbcs-5c-folder-and-name", "能 holding ソ: both end in 0x5C",
              Header(1) + Record(3, 0, "", kNou, "", 1) + Record(3, 0, "\\" + kNou, kSo, "so", 0),
              {{"0\\" + kNou + "\\" + kSo, "so"}}),
        Sound("dbcs-5c-then-dots", "表.. is one name, no parent; written as 表, as Windows does",
              Header(1) + Record(3, 0, "", kHyo + "..", "x", 0), {{"0\\" + kHyo, "x"}}),
        Sound("dbcs-lead-byte-joins-the-separator",
              "a folder ending in a lead byte takes the joining backslash into 表",
              Header(1) + Record(3, 0, "a" + kLead, "..", "x", 0), {{"0\\a" + kHyo, "x"}}),
        Sound("roots-3-and-4", "roots 3 and 4 are the product directory",
              Header(2) + Record(3, 3, "", "three.dat", "3", 0) +
                  Record(3, 4, "", "four.dat", "4", 0),
              {{"0\\three.dat", "3"}, {"0\\four.dat", "4"}}),
    };
}

// A chain of directories, each the only child of the one before; with a
// name, the last one holds a file.
std::string Chain(int levels, const std::string& name = "") {
    std::string bytes = Header(1);
    std::string relDir;
    for (int i = 0; i < levels; ++i) {
        bytes += Record(3, 0, relDir, name, "", i + 1 < levels || !name.empty() ? 1 : 0);
        if (!name.empty()) { // as the writer composes a child's folder
            if (!relDir.empty())
                relDir.insert(0, "\\");
            relDir += "\\" + name;
        }
    }
    if (!name.empty())
        bytes += Record(3, 0, relDir, "deep.dat", "deep", 0);
    return bytes;
}

std::string DeepPath(int levels) {
    std::string path = "0";
    for (int i = 0; i < levels; ++i)
        path += "\\d";
    return path + "\\deep.dat";
}

const std::string kExcel = Le32(3) + Le32(0) + Str("") + Str("Excel"); // 4 + 4 + 1 + 6 bytes

std::vector<HostileFile> StructureFiles() {
    const int chainRecord = 22; // an entry with two empty strings
    return {
        Damaged("root-5", "root index 5", Header(1) + Le32(3) + Le32(5), 8,
                "root index 5 is outside 0 to 4"),
        Damaged("root-minus-1", "root index -1", Header(1) + Le32(3) + Le32(-1), 8,
                "root index -1 is outside 0 to 4"),
        Damaged("root-max", "root index 2^31-1", Header(1) + Le32(3) + Le32(INT_MAX), 8),
        Damaged("root-min", "root index -2^31", Header(1) + Le32(3) + Le32(INT_MIN), 8),
        Damaged("size-past-the-end", "a size of 1000 with 3 bytes",
                Header(1) + kExcel + Le64(1000) + "abc", 19,
                "the content (1000 bytes) runs past the end of the file"),
        Damaged("size-max", "a size of 2^63-1", Header(1) + kExcel + Le64(INT64_MAX) + "abc", 19),
        Damaged("size-4-gib-and-3", "a size of 4 GiB + 3 with 3 bytes",
                Header(1) + kExcel + Le64((int64_t(1) << 32) + 3) + "abc", 19),
        Sound("size-negative", "a size of -1 is an empty file",
              Header(1) + Le32(3) + Le32(0) + Str("") + Str("neg.dat") + Le64(-1) + Le32(0), {}),
        Damaged("name-past-the-end", "a name of 200 bytes with 3",
                Header(1) + Le32(3) + Le32(0) + Str("") + "\xC8" + "abc", 13,
                "the name (200 bytes) runs past the end of the file"),
        Damaged("name-2-gib", "a name of 2^31-1 bytes",
                Header(1) + Le32(3) + Le32(0) + Str("") + Bytes({0xFF, 0xFF, 0xFF}) +
                    Le32(INT_MAX) + "abc",
                13, "the name (2147483647 bytes) runs past the end of the file"),
        Damaged("name-4-gib", "a name of 2^32-1 bytes",
                Header(1) + Le32(3) + Le32(0) + Str("") + Bytes({0xFF, 0xFF, 0xFF}) + Le32(-1) +
                    "abc",
                13, "the name has an unknown length encoding"),
        Damaged("name-longer-than-a-path", "a name of 36000 bytes that the file holds",
                Header(1) + Le32(3) + Le32(0) + Str("") + Str(std::string(36000, 'n')) + Le64(0) +
                    Le32(0),
                13, "the name (36000 bytes) is longer than any path"),
        Damaged("reldir-other-encoding", "the prefix FF FE FF of another string encoding",
                Header(1) + Le32(3) + Le32(0) + Bytes({0xFF, 0xFE, 0xFF, 0}), 12,
                "the relative directory has an unknown length encoding"),
        Damaged("children-2-gib", "2^31-1 children", Header(1) + kExcel + Le64(0) + Le32(INT_MAX),
                27, "2147483647 children cannot fit in the rest of the file"),
        Damaged("children-one-too-many", "2 children and room for one",
                Header(1) + kExcel + Le64(0) + Le32(2) + Record(3, 0, "", "", "", 0), 27,
                "2 children cannot fit in the rest of the file"),
        Sound("children-negative", "-5 children are none", Header(1) + kExcel + Le64(0) + Le32(-5),
              {}),
        Damaged("entries-more-than-written", "3 top-level entries and one record",
                Header(3) + kExcel + Le64(0) + Le32(0), 31, "the file ends inside the format code"),
        Damaged("entries-65535", "65535 top-level entries and one record",
                Header(0xFFFF) + kExcel + Le64(0) + Le32(0), 31),
        Damaged("bytes-after-the-last-entry", "one byte after the last entry",
                Header(1) + kExcel + Le64(0) + Le32(0) + "x", 31,
                "1 entry ends here, but the file goes on"),
        Damaged("product-byte-5", "the product byte 5", Bytes({1, 0, 5, 0}) + kExcel, 2,
                "the product byte is not that of Morvane"),
        Damaged("nesting-too-deep", "2050 levels of folders", Chain(kHostileMaxDepth + 2),
                4 + uint64_t(kHostileMaxDepth) * chainRecord + 18,
                "the entries nest deeper than 2048 levels"),
        Sound("nesting-at-the-limit", "2049 levels of nameless folders",
              Chain(kHostileMaxDepth + 1), {}),
        Sound("nesting-named", "200 levels of folders holding a file", Chain(200, "d"),
              {{DeepPath(200), "deep"}}),
    };
}

std::vector<HostileFile> FormatFiles() {
    HostileFile first = Make("format-5", "the first entry's format code is 5",
                             Header(1) + Record(5, 0, "", "new.dat", "n", 0), HostileFile::newer);
    first.filtered = 1;
    HostileFile max =
        Make("format-max", "the first entry's format code is 2^31-1",
             Header(1) + Record(INT_MAX, 0, "", "new.dat", "n", 0), HostileFile::newer);
    max.filtered = 1;
    HostileFile later =
        Sound("format-5-later", "a later entry's format code is 5",
              Header(2) + Record(3, 0, "", "old.dat", "o", 0) + Record(5, 0, "", "new.dat", "n", 0),
              {{"0\\old.dat", "o"}});
    later.filtered = 1;
    return {first, max, later,
            Sound("format-negative", "a format code of -1 is an old one",
                  Header(1) + Record(-1, 0, "", "old.dat", "o", 0), {{"0\\old.dat", "o"}})};
}

// The worked example ("Data\MyData" holding "a.dat" with "abc", format 3)
// cut at each boundary between its fields, with the offset of the field
// that the check then finds unfinished.  The top-level entry's one child
// needs 22 bytes at least: up to that point the child count is the fault.
std::vector<HostileFile> CutFiles() {
    const std::string whole = Header(1) + Record(3, 0, "", "Data\\MyData", "", 1) +
                              Record(3, 0, "\\Data\\MyData", "a.dat", "abc", 0);
    const struct {
        size_t cut;
        uint64_t offset;
        const char* field; // the first one missing
    } cuts[] = {
        {0, 0, "count"},
        {2, 0, "product byte"},
        {3, 0, "reserved byte"},
        {4, 4, "format"},
        {8, 8, "root"},
        {12, 12, "relative directory"},
        {13, 13, "name's length"},
        {14, 13, "name"},
        {25, 25, "size"},
        {33, 33, "child count"},
        {37, 33, "child's format"},
        {41, 33, "child's root"},
        {45, 33, "child's folder's length"},
        {46, 33, "child's folder"},
        {58, 33, "child's name's length"},
        {59, 58, "child's name"},
        {64, 64, "child's size"},
        {72, 64, "child's content"},
        {75, 75, "child's child count"},
    };
    std::vector<HostileFile> files;
    for (const auto& c : cuts)
        files.push_back(Damaged("cut-at-" + std::to_string(c.cut),
                                std::string("the worked example without its ") + c.field,
                                whole.substr(0, c.cut), c.offset));
    files.push_back(Sound("cut-nowhere", "the worked example whole", whole,
                          {{"0\\Data\\MyData\\a.dat", "abc"}}));
    return files;
}

std::vector<HostileFile> AllFiles() {
    std::vector<HostileFile> all;
    for (auto part : {EscapeFiles(), InsideFiles(), StructureFiles(), FormatFiles(), CutFiles()})
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

} // namespace

const std::vector<HostileFile>& HostileMigrationFiles() {
    static const std::vector<HostileFile> files = AllFiles();
    return files;
}
