#pragma once
// The book-management file and the marker files, by their names in the
// product's MyData folder (CProductPaths builds their paths).  Only a
// marker's presence counts; nothing reads or writes its bytes.

namespace markers {

constexpr const char kBookMngFile[] = "BookMNG.dat";

// The books are in the Excel 97-2003 format (".xls").
constexpr const char kExType1[] = "ExType1.dat";
// The books are in the Excel 2007/2010 format (".xlsm").
constexpr const char kExType2[] = "ExType2.dat";
// The product asks for a conversion; the conversion of all books removes it.
constexpr const char kExConv[] = "ExConv.dat";
// The last conversion of all books succeeded.
constexpr const char kExMng[] = "ExMng.dat";

} // namespace markers
