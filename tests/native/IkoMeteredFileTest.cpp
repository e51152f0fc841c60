// A metered file is the file it wraps: what a restore asks of its target
// (the flush before an older file is replaced, the first bytes written over
// the mark, the length cut) reaches the file itself.
#include "IkoMeteredFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

class RecordedFile : public CFsFile {
public:
    explicit RecordedFile(std::vector<std::string>& calls) : m_calls(calls) {}
    unsigned Read(void*, unsigned) override { return 0; }
    void Write(const void*, unsigned nCount) override { Note("write", nCount); }
    int64_t GetLength() override { return 0; }
    void Close() override { m_calls.push_back("close"); }
    void Flush() override { m_calls.push_back("flush"); }
    void WriteAt(int64_t nOffset, const void*, unsigned nCount) override {
        Note("write at " + std::to_string(nOffset), nCount);
    }
    void SetLength(int64_t nLength) override { Note("length", nLength); }

private:
    void Note(const std::string& what, int64_t n) {
        m_calls.push_back(what + " " + std::to_string(n));
    }
    std::vector<std::string>& m_calls;
};

class NoMeter : public CIkoMeter {
public:
    void OnRead(uint64_t) override {}
    void OnWrite(uint64_t) override {}
    void OnLength(int64_t) override {}
};

} // namespace

TEST(IkoMeteredFile, EveryCallOfARestoredFileReachesTheFileItself) {
    const struct {
        const char* call;
        std::function<void(CFsFile&)> make;
    } cases[] = {
        {"write 3", [](CFsFile& f) { f.Write("abc", 3); }},
        {"flush", [](CFsFile& f) { f.Flush(); }},
        {"write at 0 2", [](CFsFile& f) { f.WriteAt(0, "ab", 2); }},
        {"write at 70000 17", [](CFsFile& f) { f.WriteAt(70000, "0123456789abcdefg", 17); }},
        {"length 5", [](CFsFile& f) { f.SetLength(5); }},
        {"close", [](CFsFile& f) { f.Close(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        std::vector<std::string> calls;
        NoMeter meter;
        CIkoMeteredFile file(std::make_unique<RecordedFile>(calls), meter);
        c.make(file);
        EXPECT_EQ(std::vector<std::string>{c.call}, calls);
    }
}
