#include "VariantText.h"

#include <oleauto.h>

#include <cwchar>
#include <vector>

namespace {

const struct {
    VARTYPE vt;
    const char* name;
} kTypeNames[] = {
    {VT_EMPTY, "EMPTY"},     {VT_NULL, "NULL"},
    {VT_I2, "I2"},           {VT_I4, "I4"},
    {VT_R4, "R4"},           {VT_R8, "R8"},
    {VT_CY, "CY"},           {VT_DATE, "DATE"},
    {VT_BSTR, "BSTR"},       {VT_DISPATCH, "DISPATCH"},
    {VT_ERROR, "ERROR"},     {VT_BOOL, "BOOL"},
    {VT_VARIANT, "VARIANT"}, {VT_UNKNOWN, "UNKNOWN"},
    {VT_DECIMAL, "DECIMAL"}, {VT_I1, "I1"},
    {VT_UI1, "UI1"},         {VT_UI2, "UI2"},
    {VT_UI4, "UI4"},         {VT_I8, "I8"},
    {VT_UI8, "UI8"},         {VT_INT, "INT"},
    {VT_UINT, "UINT"},
};

// The value of a plain (not by-reference, not array) variant.
CString ValueText(const VARIANT& v) {
    CString s;
    switch (v.vt) {
    case VT_BSTR:
        return EscapeControls(NarrowFromBstr(v.bstrVal));
    case VT_I2:
        s.Format("%d", v.iVal);
        break;
    case VT_I4:
        s.Format("%ld", v.lVal);
        break;
    case VT_BOOL:
        s.Format("%d", v.boolVal);
        break;
    case VT_I1:
        s.Format("%d", v.cVal);
        break;
    case VT_UI1:
        s.Format("%u", v.bVal);
        break;
    case VT_UI2:
        s.Format("%u", v.uiVal);
        break;
    case VT_UI4:
        s.Format("%lu", v.ulVal);
        break;
    case VT_INT:
        s.Format("%d", v.intVal);
        break;
    case VT_UINT:
        s.Format("%u", v.uintVal);
        break;
    case VT_I8:
        s.Format("%lld", static_cast<long long>(v.llVal));
        break;
    case VT_UI8:
        s.Format("%llu", static_cast<unsigned long long>(v.ullVal));
        break;
    case VT_R4:
        s.Format("%g", v.fltVal);
        break;
    case VT_R8:
    case VT_DATE:
        s.Format("%g", v.dblVal);
        break;
    case VT_ERROR:
        s.Format("0x%08lX", static_cast<unsigned long>(v.scode));
        break;
    default:
        break;
    }
    return s;
}

} // namespace

namespace {

CString Narrow(const wchar_t* text, int wlen) {
    const int len = ::WideCharToMultiByte(932, 0, text, wlen, nullptr, 0, nullptr, nullptr);
    CString s;
    if (len > 0) {
        ::WideCharToMultiByte(932, 0, text, wlen, s.GetBuffer(len + 1), len, nullptr, nullptr);
        s.ReleaseBuffer(len);
    }
    return s;
}

} // namespace

// A BSTR carries its length and may hold zero characters.
CString NarrowFromBstr(BSTR bstr) {
    return bstr ? Narrow(bstr, static_cast<int>(::SysStringLen(bstr))) : CString();
}

CString NarrowFromWide(const wchar_t* text) {
    return text ? Narrow(text, static_cast<int>(::wcslen(text))) : CString();
}

BSTR BstrFromNarrow(const char* text) {
    const int wlen = ::MultiByteToWideChar(932, 0, text, -1, nullptr, 0);
    std::vector<wchar_t> w(static_cast<size_t>(wlen > 0 ? wlen : 1), L'\0');
    ::MultiByteToWideChar(932, 0, text, -1, w.data(), wlen);
    return ::SysAllocString(w.data());
}

// Bytes below 0x20 never occur inside a CP932 character, so replacing them
// cannot cut one.
CString EscapeControls(const CString& text) {
    CString out;
    for (int i = 0; i < text.GetLength(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20)
            out.AppendFormat("<%02X>", c);
        else
            out += static_cast<char>(c);
    }
    return out;
}

CString VariantTypeName(VARTYPE vt) {
    CString prefix;
    if (vt & VT_BYREF)
        prefix += "BYREF|";
    if (vt & VT_ARRAY)
        prefix += "ARRAY|";
    const VARTYPE base = vt & VT_TYPEMASK;
    for (const auto& t : kTypeNames)
        if (t.vt == base)
            return prefix + t.name;
    CString unknown;
    unknown.Format("VT%u", base);
    return prefix + unknown;
}

CString DescribeVariant(const VARIANT& v) {
    CString type = VariantTypeName(v.vt);
    if (v.vt & (VT_BYREF | VT_ARRAY))
        return type;
    const CString value = ValueText(v);
    if (value.IsEmpty() && v.vt != VT_BSTR)
        return type;
    return type + ":" + value;
}
