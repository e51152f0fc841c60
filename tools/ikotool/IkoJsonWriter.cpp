#include "IkoJsonWriter.h"

void CIkoJsonWriter::BeforeValue() {
    if (m_bAfterKey) {
        m_bAfterKey = false;
        return;
    }
    if (!m_first.empty()) {
        if (!m_first.back())
            m_text += ',';
        m_first.back() = false;
    }
    if (m_bBreak)
        m_text += '\n';
    m_bBreak = false;
}

void CIkoJsonWriter::BeginObject() {
    BeforeValue();
    m_text += '{';
    m_first.push_back(true);
}

void CIkoJsonWriter::EndObject() {
    BeforeEnd();
    m_text += '}';
}

void CIkoJsonWriter::BeginArray() {
    BeforeValue();
    m_text += '[';
    m_first.push_back(true);
}

void CIkoJsonWriter::EndArray() {
    BeforeEnd();
    m_text += ']';
}

void CIkoJsonWriter::BeforeEnd() {
    m_first.pop_back();
    if (m_bBreak)
        m_text += '\n';
    m_bBreak = false;
}

void CIkoJsonWriter::Key(const char* pszKey) {
    BeforeValue();
    Quoted(pszKey);
    m_text += ':';
    m_bAfterKey = true;
}

void CIkoJsonWriter::String(const std::string& utf8) {
    BeforeValue();
    Quoted(utf8);
}

void CIkoJsonWriter::Number(int64_t n) {
    BeforeValue();
    m_text += std::to_string(n);
}

void CIkoJsonWriter::Bool(bool b) {
    BeforeValue();
    m_text += b ? "true" : "false";
}

void CIkoJsonWriter::Null() {
    BeforeValue();
    m_text += "null";
}

void CIkoJsonWriter::LineBreak() {
    m_bBreak = true;
}

std::string CIkoJsonWriter::Take() {
    std::string text;
    text.swap(m_text);
    return text;
}

// Quotes, backslashes (the separator of every path) and control characters
// are escaped; every other byte is UTF-8 and passes.
void CIkoJsonWriter::Quoted(const std::string& utf8) {
    static const char kHex[] = "0123456789abcdef";
    m_text += '"';
    for (const char ch : utf8) {
        const auto byte = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\') {
            m_text += '\\';
            m_text += ch;
        } else if (byte < 0x20) {
            m_text += "\\u00";
            m_text += kHex[byte >> 4];
            m_text += kHex[byte & 0xF];
        } else
            m_text += ch;
    }
    m_text += '"';
}
