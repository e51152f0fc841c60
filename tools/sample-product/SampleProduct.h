#pragma once
#include "String.h"

// A sample installation of the product, in the stand-in workbook format:
//   <product>\Exe                 the programs (copied when exeSourceDir is set)
//   <product>\Data\MyData         BookMNG.dat, ExType1.dat or ExType2.dat,
//                                 acck.sys, App.tmp (hidden)
//   <product>\Data\Org            templates and converters of both formats
//   <product>\Data\DefEru, Other, MsgMemo   settings, forms, memos
//   <data>\Excel                  books "kyuyo" (with an attendance
//                                 workbook) and "表参道店" (without)
struct SampleProductOptions {
    CString strExt = ".xls"; // the books' format
    CString strDataDir;      // empty: the product directory
    CString strExeSourceDir; // empty: no programs copied
    bool bWriteRegistry = true;
};

// The books of the sample: key, workbook file name (extension added).
struct SampleBook {
    const char* key;
    const char* stem;
    bool hasAttendance;
};
extern const SampleBook kSampleBooks[2];

// Lays the sample out below productDir (created); false with a reason.
bool LaySampleProduct(const CString& productDir, const SampleProductOptions& options,
                      CString& error);

// Points the environment library at an installation (HKLM\SOFTWARE\QZ\Morvane\Env).
bool WriteEnvRegistry(const CString& productDir, const CString& dataDir);
void RemoveEnvRegistry();
