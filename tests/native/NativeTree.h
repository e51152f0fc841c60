#pragma once
#include <map>
#include <string>

// A fresh folder below the system's temporary folder, removed with its
// contents when the object goes.  Names are UTF-8, as on the disk.
class NativeTree {
public:
    NativeTree();
    ~NativeTree();
    NativeTree(const NativeTree&) = delete;
    NativeTree& operator=(const NativeTree&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& rel) const { return m_path + "/" + rel; }
    // Writes a file, creating its folders.
    void Write(const std::string& rel, const std::string& bytes) const;
    void MakeDir(const std::string& rel) const;
    // Every file below the folder (relative path -> bytes) and every folder
    // (relative path -> "<dir>").
    std::map<std::string, std::string> Contents() const;

private:
    std::string m_path;
};

std::string ReadNativeFile(const std::string& path);
