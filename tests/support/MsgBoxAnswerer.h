#pragma once
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Answers the message boxes that the code under test shows in this very
// process: a thread watches for them, notes caption and text, and presses
// the default button.  Texts have "\n" line breaks.
class MsgBoxAnswerer {
public:
    struct Seen {
        std::string caption;
        std::string text;
    };

    MsgBoxAnswerer();
    ~MsgBoxAnswerer();
    MsgBoxAnswerer(const MsgBoxAnswerer&) = delete;
    MsgBoxAnswerer& operator=(const MsgBoxAnswerer&) = delete;

    std::vector<Seen> Boxes() const;
    void Clear();

private:
    void Watch();

    mutable std::mutex m_mutex;
    std::vector<Seen> m_seen;
    bool m_stop = false;
    std::thread m_thread;
};

// "\r\n" as "\n".
std::string NormaliseLineBreaks(std::string text);
