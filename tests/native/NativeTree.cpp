#include "NativeTree.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

NativeTree::NativeTree() {
    std::string pattern = (fs::temp_directory_path() / "morvane-XXXXXX").string();
    if (!::mkdtemp(&pattern[0]))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

NativeTree::~NativeTree() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

void NativeTree::Write(const std::string& rel, const std::string& bytes) const {
    const fs::path path = fs::path(m_path) / rel;
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void NativeTree::MakeDir(const std::string& rel) const {
    fs::create_directories(fs::path(m_path) / rel);
}

std::map<std::string, std::string> NativeTree::Contents() const {
    std::map<std::string, std::string> contents;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(m_path)) {
        const std::string rel = fs::relative(e.path(), m_path).string();
        contents[rel] = e.is_directory() ? "<dir>" : ReadNativeFile(e.path().string());
    }
    return contents;
}

std::string ReadNativeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
