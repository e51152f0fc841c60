// SampleProduct.exe PRODUCT_DIR [/ext:.xlsm] [/data:DATA_DIR] [/exe:BIN_DIR] [/noregistry]
//                   [/books:N]
// Lays out a sample installation of the product for the demo and the tests.
#include "SampleProduct.h"

#include <cstdio>
#include <cstdlib>

namespace {

// 1 to 999 books; the book names have room for three digits.
bool ParseBooks(const CString& text, SampleProductOptions& options) {
    char* end = nullptr;
    const long n = std::strtol(text.GetString(), &end, 10);
    if (text.IsEmpty() || *end != '\0' || n < 1 || n > 999)
        return false;
    options.nBooks = static_cast<int>(n);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        (void)std::fprintf(stderr, "usage: SampleProduct PRODUCT_DIR [/ext:.xlsm] [/data:DIR] "
                             "[/exe:BIN_DIR] [/noregistry] [/books:N]\n");
        return 2;
    }
    SampleProductOptions options;
    for (int i = 2; i < argc; ++i) {
        const CString arg(argv[i]);
        if (arg.Left(5).CompareNoCase("/ext:") == 0)
            options.strExt = arg.Mid(5);
        else if (arg.Left(6).CompareNoCase("/data:") == 0)
            options.strDataDir = arg.Mid(6);
        else if (arg.Left(5).CompareNoCase("/exe:") == 0)
            options.strExeSourceDir = arg.Mid(5);
        else if (arg.CompareNoCase("/noregistry") == 0)
            options.bWriteRegistry = false;
        else if (arg.Left(7).CompareNoCase("/books:") == 0 && ParseBooks(arg.Mid(7), options))
            continue;
        else {
            (void)std::fprintf(stderr, "SampleProduct: unknown switch %s\n", arg.GetString());
            return 2;
        }
    }
    CString error;
    if (!LaySampleProduct(argv[1], options, error)) {
        (void)std::fprintf(stderr, "SampleProduct: %s\n", error.GetString());
        return 1;
    }
    std::printf("sample product laid out in %s (books %s)\n", argv[1], options.strExt.GetString());
    return 0;
}
