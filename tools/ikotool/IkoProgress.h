#pragma once
#include "IkoMeter.h"
#include "String.h"

#include <cstdint>
#include <functional>

// The progress of long work, as one line: files and bytes done of the
// total, the rate and the time left.  On a terminal the line updates in
// place from the first second on and is taken away at the end; asked for
// (--progress) it shows at once, and where standard error is not a terminal
// it is written as a line of its own once a second and once at the end.
class CIkoProgress : public CIkoMeter {
public:
    using Clock = std::function<double()>; // seconds from any fixed point
    using Show = std::function<void(const CString&)>;

    CIkoProgress(Show show, std::function<void()> clear, bool bTerminal, bool bAsked,
                 Clock clock = SteadyClock);
    static double SteadyClock();

    // nTotalFiles -1: not known.  pnFiles: the files done, counted elsewhere.
    void Start(int64_t nTotalFiles, int64_t nTotalBytes, const int64_t* pnFiles);
    void AddBytes(uint64_t nBytes);
    // Shows the line when it is due.
    void Tick();
    void Finish();

    void OnRead(uint64_t nBytes) override { AddBytes(nBytes); }
    void OnWrite(uint64_t /*nBytes*/) override { Tick(); }
    void OnLength(int64_t /*nLength*/) override {}

    static CString Line(int64_t nFiles, int64_t nTotalFiles, int64_t nBytes, int64_t nTotalBytes,
                        double dSeconds, bool bFinal);
    static CString Bytes(int64_t nBytes);
    static CString Duration(double dSeconds);

private:
    void ShowNow(double dNow);

    Show m_show;
    std::function<void()> m_clear;
    bool m_bTerminal;
    bool m_bAsked;
    Clock m_clock;
    bool m_bRunning = false;
    bool m_bShown = false;
    double m_dStart = 0;
    double m_dLastShown = 0;
    int64_t m_nTotalFiles = -1;
    int64_t m_nTotalBytes = 0;
    int64_t m_nBytes = 0;
    const int64_t* m_pnFiles = nullptr;
};
