#include <cstdio>

#include "ExpectedTexts.h"
#include "KovelarTest.h"
#include "ui/ControlIds.h"

// Two starts at the same moment: both programs are made suspended and then let go one right
// after the other, so that both reach the single-instance lock together. Exactly one of them
// may run. The count comes from KV_RACES (default 100).
//
// What the races reach: a program under Wine spends milliseconds in the loader before it comes
// to the lock, and their spread is far wider than the instant between the lock's first look
// (OpenMutexA) and its creation. So these races show that one instance wins and the other
// refuses whichever is let go first, but they seldom land in that instant, which only the second
// look (ERROR_ALREADY_EXISTS after CreateMutexA) covers: a build without it passed 30 races.

namespace kv::e2e {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

class StartRace : public KovelarTest {};

// Each time, one program shows its result window (the term has two matches, so it stays) and
// the other only the refusal, and ends with exit code 0 once it is answered; the survivor,
// closed with Escape, ends with 0 too.
TEST_F(StartRace, TwoStartsAtOnceGiveOneInstance) {
    const int races = CountFromEnvironment("KV_RACES", 100);
    WriteIndex({"C:\\TMP\\", "E:\\MYTMPFILES\\"});
    WriteSettings(1);
    driver::LaunchOptions options = LaunchOptionsFor(Quoted(kProgram) + " tmp");
    options.suspended = true;

    int firstWon = 0;
    const auto began = Clock::now();
    for (int race = 0; race < races; ++race) {
        SCOPED_TRACE("race " + std::to_string(race + 1));
        driver::Process started[2] = {driver::Launch(options), driver::Launch(options)};
        ASSERT_TRUE(started[0] && started[1]) << "CreateProcess failed";
        // Which of the two is let go first changes from race to race.
        const int first = race % 2;
        started[first].Resume();
        started[1 - first].Resume();
        const driver::Process* programs[2] = {&started[0], &started[1]};

        // Waits until each shows something (a result window or a message box) or one has ended.
        const auto shows = [&](int k, const char* className) {
            return !driver::TopWindows(programs[k]->pid(), className).empty();
        };
        driver::WaitUntil(
            [&] {
                for (int k = 0; k < 2; ++k)
                    if (!programs[k]->Running()) return true;
                return (shows(0, "TfMain") || shows(0, "#32770")) &&
                       (shows(1, "TfMain") || shows(1, "#32770"));
            },
            20s);
        const bool main0 = shows(0, "TfMain");
        const bool main1 = shows(1, "TfMain");
        ASSERT_TRUE(main0 != main1) << (main0 ? "two instances run" : "no instance runs");
        const int winner = main0 ? 0 : 1;
        const int loser = 1 - winner;
        if (winner == first) ++firstWon;

        const auto refusal = driver::WaitMessageBox(programs[loser]->pid(), 1s);
        ASSERT_TRUE(refusal) << "the second program shows no refusal";
        EXPECT_EQ(refusal->text, kAlreadyRunning);
        EXPECT_EQ(refusal->caption, kAppName);
        EXPECT_EQ(driver::FindTopWindow(programs[loser]->pid(), "TfMain"), nullptr)
            << "the refused program made a window";
        ASSERT_TRUE(driver::AnswerMessageBox(refusal->window));
        EXPECT_EQ(programs[loser]->WaitExit(), 0u);

        ASSERT_TRUE(programs[winner]->Running());
        EXPECT_TRUE(driver::TopWindows(programs[winner]->pid(), "#32770").empty())
            << "the running program shows a message";
        const HWND main = driver::TopWindows(programs[winner]->pid(), "TfMain").front();
        const HWND list = GetDlgItem(main, ids::ListBox);
        EXPECT_EQ(driver::ListItems(list),
                  (std::vector<std::string>{"C:\\TMP\\", "E:\\MYTMPFILES\\"}));
        driver::PostKey(list, VK_ESCAPE);
        const Ending ending = WaitEnd(*programs[winner]);
        EXPECT_EQ(ending.exitCode, 0u);
        EXPECT_TRUE(ending.boxes.empty());
    }
    std::printf("[ races    ] %d races in %.0f s: the program let go first won %d, the other %d\n",
                races, std::chrono::duration<double>(Clock::now() - began).count(), firstWon,
                races - firstWon);
    EXPECT_TRUE(TotalcmdCalls().empty());
}

}  // namespace kv::e2e
