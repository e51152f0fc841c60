#pragma once
#include "ExcelStandinControl.h"
#include "Process.h"
#include "SampleProduct.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A test with its own sample product installation (the environment
// library points at it) and the Excel stand-in registered as Excel with
// version 16, its call log and faults in the product's folder.  Stray
// stand-in servers are ended before and after.
class ProductFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Lays the sample out with these options; SetUp calls it with ".xls".
    // A data directory apart from the product directory holds the books.
    void LayProduct(const char* ext, const CString& dataDir = CString());
    // Removes the product's files and folders and lays the sample anew.
    void RelayProduct(const char* ext = ".xls");
    // Adds a book to "BookMNG.dat", or replaces the record of its key.
    void SetBookEntry(const char* key, const char* fileName);
    // Sets a password on the workbook `name` of the Excel folder.
    void Protect(const char* name);

    const CString& ProductDir() const { return m_dir.Path(); }
    const CString& DataDir() const { return m_dataDir.IsEmpty() ? ProductDir() : m_dataDir; }
    CString ExcelDir() const { return DataDir() + "\\Excel"; }
    CString Excel(const std::string& name) const { return ExcelDir() + "\\" + name.c_str(); }
    CString MyDataDir() const { return ProductDir() + "\\Data\\MyData"; }
    CString OrgDir() const { return ProductDir() + "\\Data\\Org"; }
    CString WorkFile() const { return OrgDir() + "\\xlConv2" + m_ext; }
    CString BookMngPath() const { return MyDataDir() + "\\BookMNG.dat"; }
    const CString& Ext() const { return m_ext; }

    // The folder of this test program, where every binary of the build lies.
    static CString BinDir();
    // Starts Quimbex.exe of the build with the command line "<exe> tail".
    static uidriver::StartInfo QuimbexStart(const std::string& tail);

    // The calls log of the stand-in, without the process ids.
    std::vector<std::string> LogLines() const;
    // The Run lines only: "Run\t<macro>\t<args>\t=> <result>".
    std::vector<std::string> RunLines() const;
    // The macros of the Run lines, in their order.
    std::vector<std::string> Macros() const;
    // How many stand-in processes started.
    int ServerStarts() const;
    // A stand-in ended itself in a call, as its faults asked.
    bool ExcelHasDied() const;
    // Empties the stand-in's log.  A test that sees an "Unexpected" line
    // there (a call that real Excel would not get) fails, so the log is
    // only ever emptied through here and by SetUp.
    void ClearLog();

private:
    void ExpectNoUnexpectedCalls() const;

    TempDir m_dir;
    CString m_ext = ".xls";
    CString m_dataDir; // empty: the product directory
};

// Lays the sample product out in `dir`; a failure says what could not be laid.
testing::AssertionResult LaidSample(const CString& dir, const SampleProductOptions& options);
// The options of an installation beside the one the environment record
// names (a migration's source or target): the record is left alone.
SampleProductOptions UnregisteredSample();

// Today's backup date; a test takes it before and after a run.
std::string TodayText();
