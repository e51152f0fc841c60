#pragma once
#include "String.h"

class CTargetPath;

// The restore filter: what a restore keeps out although the migration file
// carries it.  The target computer's own files, the product's templates
// and converter below "\Data\Org\", everything below an "Excel_Old" folder,
// and entries of a newer format than this program's.  It judges a target in
// its one canonical form (CTargetPath), so that another spelling of a kept
// file is kept out too.
class CRestoreFilter {
public:
    static bool Accepts(int nFormat, const CTargetPath& target);
    // A "BookMNG.dat": its restore starts the conversion of the books.
    static bool IsBookMap(const CTargetPath& target);
};
