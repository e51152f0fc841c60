#include "MigrationRoots.h"

// Entries are created empty and get their roots at once: they all share one
// empty set instead of allocating their own.
CMigrationRoots::CMigrationRoots() : m_pRoots(EmptyRoots()) {}

std::shared_ptr<const std::array<CString, CMigrationRoots::kCount>> CMigrationRoots::EmptyRoots() {
    static const auto empty = std::make_shared<const std::array<CString, kCount>>();
    return empty;
}

CMigrationRoots::CMigrationRoots(const CString& strProduct, const CString& strData,
                                 const CString& strCommon)
    : m_pRoots(std::make_shared<const std::array<CString, kCount>>(
          std::array<CString, kCount>{strProduct, strData, strCommon, strProduct, strProduct})) {}
