#pragma once
#include "String.h"

#include <array>
#include <memory>

// The five root directories a migration file is relative to.  Copies share
// one immutable set, so every entry of a tree can hold them for the price of
// a pointer.
class CMigrationRoots {
public:
    static constexpr int kCount = 5;
    enum Index { product = 0, data = 1, common = 2 };

    CMigrationRoots(); // five empty roots
    // Roots 3 and 4 are the product directory again.
    CMigrationRoots(const CString& strProduct, const CString& strData, const CString& strCommon);

    static bool IsIndex(int nRoot) { return nRoot >= 0 && nRoot < kCount; }
    const CString& operator[](int nRoot) const { return (*m_pRoots)[static_cast<size_t>(nRoot)]; }

private:
    static std::shared_ptr<const std::array<CString, kCount>> EmptyRoots();

    std::shared_ptr<const std::array<CString, kCount>> m_pRoots;
};
