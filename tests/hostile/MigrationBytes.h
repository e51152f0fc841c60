#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>

// The bytes of hand-made migration files.

// Bytes from a list of byte values.
std::string Bytes(std::initializer_list<int> bytes);
std::string Le32(int32_t v);
std::string Le64(int64_t v);
// A string with the archive's length prefix (one, three or seven bytes).
std::string Str(const std::string& text);

// One entry record; its children follow it.
std::string Record(int32_t format, int32_t root, const std::string& relDir, const std::string& name,
                   const std::string& content, int32_t children);
std::string Header(uint16_t count);
