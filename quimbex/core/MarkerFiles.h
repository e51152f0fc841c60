#pragma once
// The book-management file and the marker files of the product directory.
// Only a marker's presence counts; nothing reads or writes its bytes.

namespace markers {

// Below the product directory.
constexpr const char kMyDataDir[] = "\\Data\\MyData";
constexpr const char kBookMngFile[] = "\\Data\\MyData\\BookMNG.dat";

// The books are in the Excel 97-2003 format (".xls").
constexpr const char kExType1[] = "\\Data\\MyData\\ExType1.dat";
// The books are in the Excel 2007/2010 format (".xlsm").
constexpr const char kExType2[] = "\\Data\\MyData\\ExType2.dat";
// The product asks for a conversion; the conversion of all books removes it.
constexpr const char kExConv[] = "\\Data\\MyData\\ExConv.dat";
// The last conversion of all books succeeded.
constexpr const char kExMng[] = "\\Data\\MyData\\ExMng.dat";

} // namespace markers
