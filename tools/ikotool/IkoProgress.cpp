#include "IkoProgress.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

namespace {
constexpr double kQuietStart = 1.0;    // short work shows no line at all
constexpr double kTerminalStep = 0.25; // often enough to look alive
constexpr double kLogStep = 1.0;       // a log gets a line a second
// The first seconds' rate is mostly the start-up (the file opened, the
// folders listed): a time left from it may say hours for a minute's work.
constexpr double kSteadyAfter = 3.0;
} // namespace

CIkoProgress::CIkoProgress(Show show, std::function<void()> clear, bool bTerminal, bool bAsked,
                           Clock clock)
    : m_show(std::move(show)), m_clear(std::move(clear)), m_bTerminal(bTerminal), m_bAsked(bAsked),
      m_clock(std::move(clock)) {}

double CIkoProgress::SteadyClock() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void CIkoProgress::Start(int64_t nTotalFiles, int64_t nTotalBytes, const int64_t* pnFiles) {
    m_nTotalFiles = nTotalFiles;
    m_nTotalBytes = nTotalBytes;
    m_pnFiles = pnFiles;
    m_nBytes = 0;
    m_bRunning = true;
    m_dStart = m_clock();
}

void CIkoProgress::AddBytes(uint64_t nBytes) {
    m_nBytes += static_cast<int64_t>(nBytes);
    Tick();
}

void CIkoProgress::Tick() {
    if (!m_bRunning)
        return;
    const double now = m_clock();
    if (!m_bShown) {
        if (m_bAsked || now - m_dStart >= kQuietStart)
            ShowNow(now);
        return;
    }
    if (now - m_dLastShown >= (m_bTerminal ? kTerminalStep : kLogStep))
        ShowNow(now);
}

// A terminal's line goes; a log keeps its last line, the whole run's.
void CIkoProgress::Finish() {
    if (!m_bRunning)
        return;
    m_bRunning = false;
    if (m_bTerminal) {
        if (m_bShown)
            m_clear();
    } else if (m_bAsked)
        m_show(Line(m_pnFiles ? *m_pnFiles : 0, m_nTotalFiles, m_nBytes, m_nTotalBytes,
                    m_clock() - m_dStart, true));
    m_bShown = false;
}

void CIkoProgress::ShowNow(double dNow) {
    m_show(Line(m_pnFiles ? *m_pnFiles : 0, m_nTotalFiles, m_nBytes, m_nTotalBytes, dNow - m_dStart,
                false));
    m_bShown = true;
    m_dLastShown = dNow;
}

// "40% 12 of 30 files, 4.0 MiB of 10.0 MiB, 2.0 MiB/s, 3 s left"; the rate
// only once there is time to measure it by, the time left once the rate is
// steady.
CString CIkoProgress::Line(int64_t nFiles, int64_t nTotalFiles, int64_t nBytes, int64_t nTotalBytes,
                           double dSeconds, bool bFinal) {
    CString line;
    if (nTotalBytes > 0)
        line.Format("%d%% ",
                    static_cast<int>(std::min<int64_t>(nBytes, nTotalBytes) * 100 / nTotalBytes));
    line.AppendFormat("%lld", static_cast<long long>(nFiles));
    if (nTotalFiles >= 0)
        line.AppendFormat(" of %lld", static_cast<long long>(nTotalFiles));
    line += " files, " + Bytes(nBytes) + " of " + Bytes(nTotalBytes);
    if (bFinal)
        return line + ", " + Duration(dSeconds) + " in all";
    if (dSeconds <= 0 || nBytes <= 0)
        return line;
    const double rate = static_cast<double>(nBytes) / dSeconds;
    line += ", " + Bytes(static_cast<int64_t>(rate)) + "/s";
    if (dSeconds < kSteadyAfter)
        return line;
    const double left = static_cast<double>(std::max<int64_t>(nTotalBytes - nBytes, 0)) / rate;
    return line + ", " + Duration(left) + " left";
}

CString CIkoProgress::Bytes(int64_t nBytes) {
    CString text;
    if (nBytes < 1024) {
        text.Format("%lld B", static_cast<long long>(nBytes));
        return text;
    }
    const char* const units[] = {"KiB", "MiB", "GiB", "TiB"};
    double value = static_cast<double>(nBytes) / 1024;
    size_t unit = 0;
    for (; value >= 1024 && unit + 1 < sizeof units / sizeof units[0]; ++unit)
        value /= 1024;
    text.Format("%.1f %s", value, units[unit]);
    return text;
}

CString CIkoProgress::Duration(double dSeconds) {
    const long long s = std::llround(dSeconds);
    CString text;
    if (s < 60)
        text.Format("%lld s", s);
    else if (s < 3600)
        text.Format("%lld min %lld s", s / 60, s % 60);
    else
        text.Format("%lld h %lld min", s / 3600, s % 3600 / 60);
    return text;
}
