// Names are put together from characters converted before; the result must
// be what the converter itself gives for the whole name, character for
// character of code page 932, also once the characters are remembered.
#include "NameConverter.h"

#include <gtest/gtest.h>

#include <iconv.h>

namespace {

// The converter's own answer for a whole text; false when it refuses.
bool Iconv(const char* to, const char* from, const std::string& in, std::string& out) {
    const iconv_t cd = iconv_open(to, from);
    out.assign(in.size() * 4 + 4, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = &out[0];
    size_t dstLeft = out.size();
    const bool ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1) &&
                    iconv(cd, nullptr, nullptr, &dst, &dstLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    out.resize(out.size() - dstLeft);
    return ok;
}

// Every one- and two-byte sequence, between ASCII letters and alone, and
// every one of them cut off at the end.
std::vector<std::string> Cp932Samples() {
    std::vector<std::string> samples;
    for (int a = 0x80; a <= 0xFF; ++a) {
        samples.push_back(std::string(1, static_cast<char>(a)));
        for (int b = 0; b <= 0xFF; ++b)
            samples.push_back("x" + std::string{static_cast<char>(a), static_cast<char>(b)} + "y");
    }
    return samples;
}

// Every code point of the basic plane in UTF-8, and malformed forms.
std::vector<std::string> Utf8Samples() {
    std::vector<std::string> samples = {"\xC0\xAF",         "\xE0\x80\xAF", "\xED\xA0\x80",
                                        "\xF0\x9F\x98\x80", "\xE3\x81",     "\x80",
                                        "a\xE8\xA1"};
    for (uint32_t cp = 0x80; cp <= 0xFFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        std::string s = "x";
        if (cp < 0x800) {
            s += static_cast<char>(0xC0 | (cp >> 6));
        } else {
            s += static_cast<char>(0xE0 | (cp >> 12));
            s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        }
        s += static_cast<char>(0x80 | (cp & 0x3F));
        samples.push_back(s);
    }
    return samples;
}

} // namespace

TEST(NameConverter, EveryCharacterConvertsAsTheWholeNameConverterSays) {
    CNameConverter names;
    const std::vector<std::string> cp932 = Cp932Samples();
    const std::vector<std::string> utf8 = Utf8Samples();
    for (int pass = 0; pass < 2; ++pass) { // the second pass finds them remembered
        for (const std::string& s : cp932) {
            std::string expected, actual;
            const bool ok = Iconv("UTF-8", "CP932", s, expected);
            ASSERT_EQ(ok, names.ToUtf8(CString(s), actual)) << testing::PrintToString(s);
            if (ok) {
                ASSERT_EQ(expected, actual) << testing::PrintToString(s);
            }
        }
        for (const std::string& s : utf8) {
            std::string expected;
            CString actual;
            const bool ok = Iconv("CP932", "UTF-8", s, expected);
            ASSERT_EQ(ok, names.FromUtf8(s, actual)) << testing::PrintToString(s);
            if (ok) {
                ASSERT_EQ(expected, actual.str()) << testing::PrintToString(s);
            }
        }
    }
}

TEST(NameConverter, NamesOfSeveralCharactersAndTrailBytes) {
    const struct {
        const char* cp932;
        const char* utf8;
    } cases[] = {
        {"", ""},
        {"plain.dat", "plain.dat"},
        {"表示ソ\\x", u8"表示ソ\\x"},             // trail bytes 0x5C stay inside their characters
        {"ｶﾅ給与_2024.xls", u8"ｶﾅ給与_2024.xls"}, // half-width kana are one byte
    };
    CNameConverter names;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        std::string utf8;
        CString back;
        ASSERT_TRUE(names.ToUtf8(CString(c.cp932), utf8));
        EXPECT_EQ(c.utf8, utf8);
        ASSERT_TRUE(names.FromUtf8(c.utf8, back));
        EXPECT_EQ(CString(c.cp932), back);
    }
}
