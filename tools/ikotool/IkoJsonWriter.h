#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writes one JSON document into a string.  Every text is handed over in
// UTF-8 already; the writer only escapes it.
class CIkoJsonWriter {
public:
    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    void Key(const char* pszKey);
    void String(const std::string& utf8);
    void Number(int64_t n);
    void Bool(bool b);
    void Null();
    // The next value, or the end of the object or array, starts a new line:
    // one entry a line reads well.
    void LineBreak();
    size_t Size() const { return m_text.size(); }
    // What was written so far, taken out; the document goes on after it.
    std::string Take();

private:
    void BeforeValue();
    void BeforeEnd();
    void Quoted(const std::string& utf8);

    std::string m_text;
    std::vector<bool> m_first; // per open object or array: nothing in it yet
    bool m_bAfterKey = false;
    bool m_bBreak = false;
};
