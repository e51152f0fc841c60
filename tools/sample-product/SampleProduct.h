#pragma once
#include "String.h"

#include <vector>

// A sample installation of the product, in the stand-in workbook format:
//   <product>\Exe                 the programs (copied when exeSourceDir is set)
//   <product>\Data\MyData         BookMNG.dat, ExType1.dat or ExType2.dat,
//                                 acck.sys, App.tmp (hidden)
//   <product>\Data\Org            templates and converters of both formats
//   <product>\Data\DefEru, Other, MsgMemo   settings, forms, memos
//   <data>\Excel                  books "kyuyo" (with an attendance
//                                 workbook) and "表参道店" (without), and
//                                 as many more as asked for
struct SampleProductOptions {
    CString strExt = ".xls"; // the books' format
    CString strDataDir;      // empty: the product directory
    CString strExeSourceDir; // empty: no programs copied
    bool bWriteRegistry = true;
    int nBooks = 2; // the first ones are those of kSampleBooks
};

// The books of the sample: key, workbook file name (extension added).
struct SampleBook {
    const char* key;
    const char* stem;
    bool hasAttendance;
};
extern const SampleBook kSampleBooks[2];

// The books of a sample of nBooks: kSampleBooks first, then "支店003" and
// on, every other one with an attendance workbook.
struct SampleBookSpec {
    CString key;
    CString stem;
    bool hasAttendance;
};
std::vector<SampleBookSpec> SampleBooks(int nBooks);

// Lays the sample out below productDir (created); false with a reason.
bool LaySampleProduct(const CString& productDir, const SampleProductOptions& options,
                      CString& error);

// Points the environment library at an installation (HKLM\SOFTWARE\QZ\Morvane\Env).
bool WriteEnvRegistry(const CString& productDir, const CString& dataDir);
void RemoveEnvRegistry();
