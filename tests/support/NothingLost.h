#pragma once
#include "String.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

// "Nothing lost": the fingerprint of every workbook of an "\Excel" folder
// (its size and a hash of its bytes), taken when the guard is made, and
// looked for again when it goes: each must still be held by a file of that
// folder or below it, as the workbook itself, its dated backup or its copy
// in a safety folder.  Made in every test where a Quimbex command fails or
// refuses, once the test has laid out its workbooks.
class NothingLost {
public:
    explicit NothingLost(const CString& excelDir);
    ~NothingLost();
    NothingLost(const NothingLost&) = delete;
    NothingLost& operator=(const NothingLost&) = delete;

    // Success, or the names of the workbooks whose bytes are gone.
    testing::AssertionResult Check() const;

private:
    CString m_dir;
    std::vector<std::pair<std::string, std::string>> m_books; // fingerprint, name
};
