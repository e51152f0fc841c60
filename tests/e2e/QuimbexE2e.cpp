#include "QuimbexE2e.h"

#include "TempDir.h"

QuimbexRun QuimbexE2e::Run(const char* tail, const char* shot) {
    m_dates = {TodayText()};
    QuimbexRun run = RunToEnd(QuimbexStart(tail), 120000, shot);
    if (TodayText() != m_dates[0])
        m_dates.push_back(TodayText());
    return run;
}

QuimbexRun QuimbexE2e::Run(const uidriver::StartInfo& start,
                           const std::function<void(const uidriver::WindowFinder&)>& everyPoll) {
    m_dates = {TodayText()};
    QuimbexRun run = RunToEnd(start, 120000, nullptr, everyPoll);
    if (TodayText() != m_dates[0])
        m_dates.push_back(TodayText());
    return run;
}

CString QuimbexE2e::Backup(const std::string& before, const std::string& after) const {
    for (const std::string& date : m_dates)
        if (FileExists(Excel(before + date + after)))
            return Excel(before + date + after);
    return Excel(before + m_dates.at(0) + after);
}

std::string QuimbexE2e::BackupFile(const std::string& before, const std::string& after) const {
    const CString path = Backup(before, after);
    return path.Mid(path.ReverseFind('\\') + 1).str(); // 表 ends in the byte of "\\"
}

std::vector<std::string> QuimbexE2e::Texts(const QuimbexRun& run) {
    std::vector<std::string> texts;
    for (const auto& box : run.boxes)
        texts.push_back(box.text);
    return texts;
}
