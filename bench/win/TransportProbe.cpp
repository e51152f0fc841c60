#include "TransportProbe.h"

#include "BenchClock.h"
#include "OleOwners_win.h"

#include <objbase.h>

namespace {

// Excel's member identifiers, as Quimbex invokes them.
constexpr DISPID kDispRun = 0x103;
constexpr DISPID kDispWorkbooks = 0x23C;
constexpr DISPID kDispOpen = 0x2AA;
constexpr DISPID kDispClose = 0x115;

} // namespace

CTransportProbe::CTransportProbe(std::string strConverter, std::string strBook, FILE* out)
    : m_strConverter(std::move(strConverter)), m_strBook(std::move(strBook)), m_out(out) {}

// OLE is left again however the run ends, after the dispatch objects let go.
bool CTransportProbe::Run(int nRounds) {
    const COleInitialization ole;
    const int64_t begin = BenchClock::NowUs();
    if (!m_app.CreateDispatch("Excel.Application")) {
        (void)std::fprintf(m_out, "error=Excel.Application cannot be created\n");
        return false;
    }
    (void)std::fprintf(m_out, "create begin_us=%lld end_us=%lld\n", static_cast<long long>(begin),
                       static_cast<long long>(BenchClock::NowUs()));
    for (int i = 0; i < nRounds; ++i)
        Round();
    m_book.ReleaseDispatch();
    m_books.ReleaseDispatch();
    m_app.ReleaseDispatch();
    return true;
}

// The same calls in the same order as Quimbex's driver makes for one macro,
// each new object taking the place (and the release) of the last round's.
void CTransportProbe::Round() {
    const int64_t begin = BenchClock::NowUs();
    m_books.AttachDispatch(
        m_app.InvokeForDispatch(kDispWorkbooks, DISPATCH_PROPERTYGET, nullptr, 0));
    COleVariant path(m_strConverter.c_str());
    VARIANT* openArgs[] = {&path};
    m_book.AttachDispatch(m_books.InvokeForDispatch(kDispOpen, DISPATCH_METHOD, openArgs, 1));
    COleVariant name("CheckProtect"), target(m_strBook.c_str()), result;
    VARIANT* runArgs[] = {&name, &target};
    m_app.Invoke(kDispRun, DISPATCH_METHOD, runArgs, 2, &result);
    COleVariant save(0L);
    VARIANT* closeArgs[] = {&save};
    m_book.Invoke(kDispClose, DISPATCH_METHOD, closeArgs, 1, nullptr);
    m_books.Invoke(kDispClose, DISPATCH_METHOD, nullptr, 0, nullptr);
    (void)std::fprintf(m_out, "round begin_us=%lld end_us=%lld calls=5\n",
                       static_cast<long long>(begin), static_cast<long long>(BenchClock::NowUs()));
}
