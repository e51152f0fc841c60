#include "DialogTemplate.h"

#include "ScopedHandle_win.h"

#include <cstring>

namespace {

// Reads the template's fields in order; every field is WORD-aligned, items
// start on DWORD boundaries.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, DWORD size) : m_data(data), m_size(size) {}

    bool Ok() const { return m_ok; }
    WORD Word() { return Take<WORD>(); }
    DWORD Dword() { return Take<DWORD>(); }
    short Short() { return static_cast<short>(Take<WORD>()); }
    void AlignDword() { m_pos = (m_pos + 3) & ~static_cast<DWORD>(3); }
    void Skip(DWORD n) { m_pos += n; }

    // A text, or an ordinal (0xFFFF and a number) given back as "#number".
    std::string SzOrOrdinal() {
        if (m_pos + 2 <= m_size && Peek() == 0xFFFF) {
            Word();
            return "#" + std::to_string(Word());
        }
        return Sz();
    }
    std::string Sz() {
        std::wstring text;
        for (WORD ch = Word(); m_ok && ch != 0; ch = Word())
            text += static_cast<wchar_t>(ch);
        char out[1024] = {};
        ::WideCharToMultiByte(932, 0, text.c_str(), static_cast<int>(text.size()), out,
                              sizeof out - 1, nullptr, nullptr);
        return out;
    }

private:
    WORD Peek() const { return *reinterpret_cast<const WORD*>(m_data + m_pos); }
    template <typename T> T Take() {
        if (m_pos + sizeof(T) > m_size) {
            m_ok = false;
            return 0;
        }
        T value;
        memcpy(&value, m_data + m_pos, sizeof(T));
        m_pos += sizeof(T);
        return value;
    }

    const BYTE* m_data;
    DWORD m_size;
    DWORD m_pos = 0;
    bool m_ok = true;
};

std::string PredefinedClass(const std::string& name) {
    static const char* const names[] = {"Button",  "Edit",      "Static",
                                        "ListBox", "ScrollBar", "ComboBox"};
    for (int atom = 0x80; atom <= 0x85; ++atom)
        if (name == "#" + std::to_string(atom))
            return names[atom - 0x80];
    return name;
}

RECT ReadUnits(TemplateReader& r) {
    const short x = r.Short(), y = r.Short(), cx = r.Short(), cy = r.Short();
    return {x, y, cx, cy};
}

DialogTemplateItem ReadItem(TemplateReader& r) {
    r.AlignDword();
    DialogTemplateItem item{};
    r.Dword(); // help id
    item.exStyle = r.Dword();
    item.style = r.Dword();
    item.units = ReadUnits(r);
    item.id = static_cast<int>(r.Dword());
    item.className = PredefinedClass(r.SzOrOrdinal());
    item.text = r.SzOrOrdinal();
    r.Skip(r.Word()); // creation data
    return item;
}

bool Parse(TemplateReader& r, DialogTemplate& out) {
    if (r.Word() != 1 || r.Word() != 0xFFFF)
        return false; // not DLGTEMPLATEEX
    r.Dword();        // help id
    out.exStyle = r.Dword();
    out.style = r.Dword();
    const WORD count = r.Word();
    out.units = ReadUnits(r);
    r.SzOrOrdinal(); // menu
    r.SzOrOrdinal(); // class
    out.caption = r.Sz();
    if (out.style & (DS_SETFONT | DS_SHELLFONT)) {
        out.pointSize = r.Word();
        r.Word(); // weight
        r.Word(); // italic, charset
        out.face = r.Sz();
    }
    for (WORD i = 0; i < count && r.Ok(); ++i)
        out.items.push_back(ReadItem(r));
    return r.Ok();
}

} // namespace

bool ReadDialogTemplate(const char* modulePath, int id, DialogTemplate& out) {
    const CModuleHandle owner(::LoadLibraryExA(modulePath, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!owner)
        return false;
    const HMODULE module = owner.Get();
    bool ok = false;
    if (const HRSRC res = ::FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5))) {
        const auto* data = static_cast<const BYTE*>(::LockResource(::LoadResource(module, res)));
        TemplateReader reader(data, ::SizeofResource(module, res));
        out = DialogTemplate{};
        ok = data && Parse(reader, out);
    }
    return ok;
}
