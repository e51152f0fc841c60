#include "PromptDeadline.h"

#include "ExcelStandinControl.h"

#include <chrono>

std::string StandinPrompts() {
    std::string prompts;
    for (const ExcelStandin::LogLine& line : ExcelStandin::ReadLog())
        if (line.text.Find("Prompt\t") == 0)
            prompts += "the Excel stand-in asks: " + line.text.str() + "\n";
    return prompts;
}

CallDeadline::CallDeadline(DWORD timeoutMs) : m_thread([this, timeoutMs] { Watch(timeoutMs); }) {}

CallDeadline::~CallDeadline() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_bDone = true;
    }
    m_done.notify_all();
    m_thread.join();
}

bool CallDeadline::Expired() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_bExpired;
}

std::string CallDeadline::Why() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_strWhy;
}

// The prompts are read before the servers go, and only then.
void CallDeadline::Watch(DWORD timeoutMs) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_done.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_bDone; }))
        return;
    m_bExpired = true;
    m_strWhy =
        "the call still waited after " + std::to_string(timeoutMs) + " ms\n" + StandinPrompts();
    lock.unlock();
    ExcelStandin::KillStrayServers();
}
