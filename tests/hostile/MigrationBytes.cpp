#include "MigrationBytes.h"

std::string Bytes(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes)
        s += static_cast<char>(b);
    return s;
}

std::string Le32(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    return Bytes({static_cast<int>(u & 0xFF), static_cast<int>((u >> 8) & 0xFF),
                  static_cast<int>((u >> 16) & 0xFF), static_cast<int>(u >> 24)});
}

std::string Le64(int64_t v) {
    const auto u = static_cast<uint64_t>(v);
    return Le32(static_cast<int32_t>(u)) + Le32(static_cast<int32_t>(u >> 32));
}

// Below 255 one byte; below 0xFFFE the byte FF and two bytes; else FF FF FF
// and four bytes.
std::string Str(const std::string& text) {
    const auto len = static_cast<uint32_t>(text.size());
    if (len < 0xFF)
        return static_cast<char>(len) + text;
    if (len < 0xFFFE)
        return Bytes({0xFF, static_cast<int>(len & 0xFF), static_cast<int>(len >> 8)}) + text;
    return Bytes({0xFF, 0xFF, 0xFF}) + Le32(static_cast<int32_t>(len)) + text;
}

std::string Record(int32_t format, int32_t root, const std::string& relDir, const std::string& name,
                   const std::string& content, int32_t children) {
    return Le32(format) + Le32(root) + Str(relDir) + Str(name) +
           Le64(static_cast<int64_t>(content.size())) + content + Le32(children);
}

std::string Header(uint16_t count) {
    return Bytes({count & 0xFF, count >> 8, 0x04, 0x00});
}
