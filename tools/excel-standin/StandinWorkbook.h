#pragma once
#include "String.h"

#include <string>
#include <vector>

// A stand-in workbook: a CP932 text file of bracketed sections, each an
// ordered list of lines.  Key=value lines ([Book], [Company]) and the
// employee lines of [Employees] are read through the helpers below; every
// other line is kept as it is.
class CStandinWorkbook {
public:
    struct Section {
        CString name;
        std::vector<CString> lines;
    };

    // Replaces the contents with the parsed text.  Lines before the first
    // header form a section without a name.
    void Parse(const std::string& text);
    // The file text: CRLF lines, no blank lines.
    std::string Serialize() const;
    // FALSE when the file cannot be read or written.
    bool Load(const char* path);
    bool Save(const char* path) const;

    // A stand-in workbook has a [Book] section; anything else is not one.
    bool IsWorkbook() const { return FindSection("Book") != nullptr; }

    const std::vector<Section>& Sections() const { return m_sections; }
    const Section* FindSection(const char* name) const;
    // The lines of a section, created empty (at the end) when missing.
    std::vector<CString>& Lines(const char* name);
    void SetLines(const char* name, std::vector<CString> lines);

    // The value of the first "key=..." line of a section; def when none.
    CString GetValue(const char* section, const char* key, const char* def = "") const;
    // Replaces the first "key=..." line or appends one.
    void SetValue(const char* section, const char* key, const char* value);

    bool IsProtected() const { return GetValue("Book", "Protected") == "1"; }
    CString Kind() const { return GetValue("Book", "Kind"); }

    // "code,name,retired": true when the third field is 1.
    static bool IsRetiredEmployee(const CString& line);

private:
    Section* Find(const char* name);
    std::vector<Section> m_sections;
};
