#include "DialogTemplate.h"

#include <cstring>

namespace {

// A reader of the template's words, strings and ordinals.
class TemplateReader {
public:
    TemplateReader(const BYTE* p, const BYTE* end) : m_p(p), m_end(end) {}
    bool Ok() const { return m_p <= m_end; }
    WORD Word() {
        WORD w = 0;
        Copy(&w, sizeof w);
        return w;
    }
    DWORD Dword() {
        DWORD d = 0;
        Copy(&d, sizeof d);
        return d;
    }
    // A NUL-terminated UTF-16 string, as code page 932.
    std::string String() {
        std::wstring text;
        for (WORD c = Word(); c && Ok(); c = Word())
            text += static_cast<wchar_t>(c);
        return Narrow(text);
    }
    // 0xFFFF and an ordinal, or a string.
    std::string StringOrOrdinal(WORD& ordinal) {
        ordinal = 0;
        if (m_p + 2 <= m_end && *reinterpret_cast<const WORD*>(m_p) == 0xFFFF) {
            Word();
            ordinal = Word();
            return std::string();
        }
        return String();
    }
    void AlignDword(const BYTE* base) {
        while ((m_p - base) % 4)
            ++m_p;
    }
    void Skip(size_t n) { m_p += n; }

private:
    void Copy(void* to, size_t n) {
        if (m_p + n <= m_end)
            memcpy(to, m_p, n);
        m_p += n;
    }
    static std::string Narrow(const std::wstring& text) {
        const int n = ::WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()),
                                            nullptr, 0, nullptr, nullptr);
        std::string bytes(static_cast<size_t>(n), '\0');
        ::WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), &bytes[0], n,
                              nullptr, nullptr);
        return bytes;
    }

    const BYTE* m_p;
    const BYTE* m_end;
};

const char* PredefinedClass(WORD atom) {
    switch (atom) {
    case 0x80:
        return "Button";
    case 0x81:
        return "Edit";
    case 0x82:
        return "Static";
    case 0x83:
        return "ListBox";
    case 0x84:
        return "ScrollBar";
    case 0x85:
        return "ComboBox";
    default:
        return "?";
    }
}

RECT ReadUnits(TemplateReader& r) {
    RECT rc;
    rc.left = static_cast<SHORT>(r.Word());
    rc.top = static_cast<SHORT>(r.Word());
    rc.right = static_cast<SHORT>(r.Word());
    rc.bottom = static_cast<SHORT>(r.Word());
    return rc;
}

DialogTemplate::Item ReadItem(TemplateReader& r, const BYTE* base) {
    r.AlignDword(base);
    DialogTemplate::Item item;
    r.Dword(); // help id
    item.exStyle = r.Dword();
    item.style = r.Dword();
    item.units = ReadUnits(r);
    item.id = static_cast<int>(r.Dword());
    WORD atom = 0;
    item.className = r.StringOrOrdinal(atom);
    if (atom)
        item.className = PredefinedClass(atom);
    WORD ordinal = 0;
    item.text = r.StringOrOrdinal(ordinal);
    r.Skip(r.Word()); // creation data
    return item;
}

} // namespace

const DialogTemplate::Item* DialogTemplate::Find(int id) const {
    for (const Item& item : items)
        if (item.id == id)
            return &item;
    return nullptr;
}

bool ReadDialogTemplate(const std::string& path, int id, DialogTemplate& out) {
    const HMODULE module = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return false;
    const HRSRC res = ::FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    const HGLOBAL mem = res ? ::LoadResource(module, res) : nullptr;
    const BYTE* base = mem ? static_cast<const BYTE*>(::LockResource(mem)) : nullptr;
    bool ok = false;
    if (base) {
        TemplateReader r(base, base + ::SizeofResource(module, res));
        ok = r.Word() == 1 && r.Word() == 0xFFFF;
        if (ok) {
            r.Dword(); // help id
            out.exStyle = r.Dword();
            out.style = r.Dword();
            const WORD count = r.Word();
            out.units = ReadUnits(r);
            WORD ordinal = 0;
            r.StringOrOrdinal(ordinal); // menu
            r.StringOrOrdinal(ordinal); // class
            out.caption = r.String();
            if (out.style & DS_SETFONT) {
                out.points = r.Word();
                r.Word(); // weight
                r.Word(); // italic, character set
                out.font = r.String();
            }
            out.items.clear();
            for (WORD i = 0; i < count; ++i)
                out.items.push_back(ReadItem(r, base));
            ok = r.Ok();
        }
    }
    ::FreeLibrary(module);
    return ok;
}
