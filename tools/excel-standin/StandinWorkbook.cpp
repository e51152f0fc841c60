#include "StandinWorkbook.h"

#include "Mbcs.h"

#include <fstream>
#include <iterator>

namespace {

// True when the last character of s (not a trail byte) is ch.
bool EndsWithChar(const CString& s, char ch) {
    const int n = s.GetLength();
    int last = -1;
    for (int i = 0; i < n; i += fw::CharLen932(s.GetString(), i, n))
        last = i;
    return last >= 0 && last == n - 1 && s[last] == ch;
}

// "[Name]" gives Name; anything else is an ordinary line.
bool ParseHeader(CString line, CString& name) {
    line.Trim();
    if (line.GetLength() < 2 || line[0] != '[' || !EndsWithChar(line, ']'))
        return false;
    name = line.Mid(1, line.GetLength() - 2);
    name.Trim();
    return !name.IsEmpty();
}

// The key of a "key=value" line; false for comments and other lines.
bool SplitKeyValue(const CString& line, CString& key, CString& value) {
    if (line.IsEmpty() || line[0] == ';')
        return false;
    const int eq = line.Find('=');
    if (eq < 0)
        return false;
    key = line.Left(eq);
    key.Trim();
    value = line.Mid(eq + 1);
    value.Trim();
    return true;
}

} // namespace

// Blank lines carry nothing and are dropped; every other line stays as it
// was, less its line end, so that a book survives a load and save.
void CStandinWorkbook::Parse(const std::string& text) {
    m_sections.clear();
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        CString line(text.substr(pos, end - pos));
        pos = end + 1;
        if (!line.IsEmpty() && line[line.GetLength() - 1] == '\r')
            line = line.Left(line.GetLength() - 1);
        CString name;
        if (ParseHeader(line, name))
            m_sections.push_back(Section{name, {}});
        else if (!CString(line).Trim().IsEmpty())
            (m_sections.empty() ? Lines("") : m_sections.back().lines).push_back(line);
    }
}

std::string CStandinWorkbook::Serialize() const {
    std::string text;
    for (const Section& section : m_sections) {
        if (!section.name.IsEmpty())
            text += "[" + section.name.str() + "]\r\n";
        for (const CString& line : section.lines)
            text += line.str() + "\r\n";
    }
    return text;
}

bool CStandinWorkbook::Load(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        return false;
    Parse(text);
    return true;
}

bool CStandinWorkbook::Save(const char* path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    const std::string text = Serialize();
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return !out.fail();
}

const CStandinWorkbook::Section* CStandinWorkbook::FindSection(const char* name) const {
    for (const Section& section : m_sections)
        if (section.name.CompareNoCase(name) == 0)
            return &section;
    return nullptr;
}

CStandinWorkbook::Section* CStandinWorkbook::Find(const char* name) {
    return const_cast<Section*>(static_cast<const CStandinWorkbook*>(this)->FindSection(name));
}

// Lines that come before any header belong to the nameless section, which
// has to stay first so that they are written back before the first header.
std::vector<CString>& CStandinWorkbook::Lines(const char* name) {
    if (Section* section = Find(name))
        return section->lines;
    if (*name == '\0')
        return m_sections.insert(m_sections.begin(), Section{CString(), {}})->lines;
    m_sections.push_back(Section{CString(name), {}});
    return m_sections.back().lines;
}

void CStandinWorkbook::SetLines(const char* name, std::vector<CString> lines) {
    Lines(name) = std::move(lines);
}

CString CStandinWorkbook::GetValue(const char* section, const char* key, const char* def) const {
    if (const Section* s = FindSection(section)) {
        CString k, v;
        for (const CString& line : s->lines)
            if (SplitKeyValue(line, k, v) && k.CompareNoCase(key) == 0)
                return v;
    }
    return CString(def);
}

void CStandinWorkbook::SetValue(const char* section, const char* key, const char* value) {
    std::vector<CString>& lines = Lines(section);
    const CString line = CString(key) + "=" + value;
    CString k, v;
    for (CString& existing : lines) {
        if (SplitKeyValue(existing, k, v) && k.CompareNoCase(key) == 0) {
            existing = line;
            return;
        }
    }
    lines.push_back(line);
}

bool CStandinWorkbook::IsRetiredEmployee(const CString& line) {
    const int first = line.Find(',');
    const int second = first < 0 ? -1 : line.Find(',', first + 1);
    if (second < 0)
        return false;
    const int third = line.Find(',', second + 1);
    CString flag = third < 0 ? line.Mid(second + 1) : line.Mid(second + 1, third - second - 1);
    return flag.Trim() == "1";
}
