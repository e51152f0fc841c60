#include "MsgBoxAnswerer.h"

#include "MsgBox.h"
#include "WindowFinder.h"

#include <windows.h>

std::string NormaliseLineBreaks(std::string text) {
    for (size_t pos; (pos = text.find("\r\n")) != std::string::npos;)
        text.erase(pos, 1);
    return text;
}

MsgBoxAnswerer::MsgBoxAnswerer() : m_thread([this] { Watch(); }) {}

MsgBoxAnswerer::~MsgBoxAnswerer() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_thread.join();
}

std::vector<MsgBoxAnswerer::Seen> MsgBoxAnswerer::Boxes() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_seen;
}

void MsgBoxAnswerer::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_seen.clear();
}

void MsgBoxAnswerer::Watch() {
    const uidriver::WindowFinder windows(::GetCurrentProcessId());
    uidriver::WindowQuery query;
    query.className = "#32770";
    query.accept = [](HWND hwnd) { return uidriver::MsgBox::IsMsgBox(hwnd); };
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stop)
                return;
        }
        if (const HWND hwnd = windows.Find(query)) {
            const uidriver::MsgBox box(hwnd);
            Seen seen{box.Caption(), NormaliseLineBreaks(box.Text())};
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_seen.push_back(seen);
            }
            const int button = box.DefaultButton();
            box.Press(button ? button : IDOK);
            windows.WaitUntilGone(hwnd, 5000);
        }
        ::Sleep(20);
    }
}
