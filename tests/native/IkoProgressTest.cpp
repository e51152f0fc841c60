// ikotool's progress line on a clock of the test's own.
#include "IkoProgress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// What the progress showed and cleared, in order: "show: LINE" or "clear".
struct Screen {
    std::vector<std::string> events;
    double now = 100;

    CIkoProgress Make(bool bTerminal, bool bAsked) {
        return CIkoProgress(
            [this](const CString& line) { events.push_back("show: " + line.str()); },
            [this] { events.emplace_back("clear"); }, bTerminal, bAsked, [this] { return now; });
    }
};

} // namespace

// Short work on a terminal shows nothing; long work shows a line from its
// first second on, four times a second at most, and takes it away at the end.
TEST(IkoProgress, OnATerminalLongWorkShowsOneLineAndTakesItAway) {
    Screen screen;
    int64_t files = 0;
    CIkoProgress progress = screen.Make(true, false);
    progress.Start(4, 4096, &files);
    screen.now += 0.75;
    progress.AddBytes(1024);
    EXPECT_TRUE(screen.events.empty());
    screen.now += 0.25;
    files = 1;
    progress.AddBytes(1024);
    screen.now += 0.125;
    progress.AddBytes(1024); // too soon for another picture
    screen.now += 0.25;
    files = 3;
    progress.Tick();
    progress.Finish();
    progress.Finish();
    EXPECT_EQ((std::vector<std::string>{"show: 50% 1 of 4 files, 2.0 KiB of 4.0 KiB, 2.0 KiB/s",
                                        "show: 75% 3 of 4 files, 3.0 KiB of 4.0 KiB, 2.2 KiB/s",
                                        "clear"}),
              screen.events);
}

TEST(IkoProgress, ShortWorkOnATerminalLeavesNothing) {
    Screen screen;
    CIkoProgress progress = screen.Make(true, false);
    progress.Start(1, 10, nullptr);
    progress.AddBytes(10);
    progress.Finish();
    EXPECT_TRUE(screen.events.empty());
}

// Asked for where standard error is a file: at once, then a line a second,
// and the last line stays, with the time the whole run took.
TEST(IkoProgress, AskedForInALogItWritesALineASecondAndTheLast) {
    Screen screen;
    int64_t files = 0;
    CIkoProgress progress = screen.Make(false, true);
    constexpr uint64_t kMiB = 1024 * 1024;
    progress.Start(-1, 3 * kMiB, &files);
    progress.AddBytes(kMiB);
    screen.now += 0.5;
    progress.AddBytes(kMiB);
    screen.now += 0.5;
    files = 7;
    progress.AddBytes(kMiB);
    screen.now += 0.2;
    progress.Finish();
    EXPECT_EQ((std::vector<std::string>{"show: 33% 0 files, 1.0 MiB of 3.0 MiB",
                                        "show: 100% 7 files, 3.0 MiB of 3.0 MiB, 3.0 MiB/s",
                                        "show: 100% 7 files, 3.0 MiB of 3.0 MiB, 1 s in all"}),
              screen.events);
}

// The time left is told only once the rate has had seconds to settle: a
// slow first second says nothing of hours left.
TEST(IkoProgress, TimeLeftWaitsForASteadyRate) {
    const struct {
        double seconds;
        const char* line;
    } cases[] = {
        {1, "0% 0 of 9 files, 1.0 KiB of 1.0 GiB, 1.0 KiB/s"},
        {2.9, "0% 0 of 9 files, 1.0 KiB of 1.0 GiB, 353 B/s"},
        {3, "0% 0 of 9 files, 1.0 KiB of 1.0 GiB, 341 B/s, 873 h 48 min left"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CString(c.line), CIkoProgress::Line(0, 9, 1024, 1LL << 30, c.seconds, false))
            << c.seconds;
}

TEST(IkoProgress, SizesAndDurationsReadAsPeopleSayThem) {
    const struct {
        int64_t bytes;
        const char* text;
    } sizes[] = {{0, "0 B"},
                 {1023, "1023 B"},
                 {1024, "1.0 KiB"},
                 {1536, "1.5 KiB"},
                 {1048576, "1.0 MiB"},
                 {5368709120LL, "5.0 GiB"},
                 {1LL << 50, "1024.0 TiB"}};
    for (const auto& s : sizes)
        EXPECT_EQ(CString(s.text), CIkoProgress::Bytes(s.bytes)) << s.bytes;
    const struct {
        double seconds;
        const char* text;
    } durations[] = {{0.4, "0 s"},          {59.4, "59 s"},      {60, "1 min 0 s"},
                     {3599, "59 min 59 s"}, {3600, "1 h 0 min"}, {7322, "2 h 2 min"}};
    for (const auto& d : durations)
        EXPECT_EQ(CString(d.text), CIkoProgress::Duration(d.seconds)) << d.seconds;
}
