#pragma once
#include "HeldFiles.h"
#include "NothingLost.h"
#include "ProductFixture.h"
#include "QuimbexRun.h"

#include <windows.h>

#include <string>
#include <vector>

// What the end-to-end tests of Quimbex share: runs of the program with the
// dates that its backup names may carry, the product's files by name.
class QuimbexE2e : public ProductFixture {
protected:
    CString ExConv() const { return MyDataDir() + "\\ExConv.dat"; }
    CString ExMng() const { return MyDataDir() + "\\ExMng.dat"; }

    // Runs Quimbex with this tail (or this start) to its end, noting today's
    // date before and after the run.
    QuimbexRun Run(const char* tail, const char* shot = nullptr);
    QuimbexRun Run(const uidriver::StartInfo& start,
                   const std::function<void(const uidriver::WindowFinder&)>& everyPoll = {});
    // The backup that the last run made: before + one of its dates + after.
    CString Backup(const std::string& before, const std::string& after = "") const;
    // Its file-name part.
    std::string BackupFile(const std::string& before, const std::string& after = "") const;
    // The texts of the message boxes of a run, in their order.
    static std::vector<std::string> Texts(const QuimbexRun& run);

    std::vector<std::string> m_dates;
};
