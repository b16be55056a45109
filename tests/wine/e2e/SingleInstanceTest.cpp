#include "ExpectedTexts.h"
#include "KovelarTest.h"

namespace kv::e2e {

class SingleInstance : public KovelarTest {};

TEST_F(SingleInstance, SecondStartIsRefusedAndLeavesTheFirstAlone) {
    WriteIndex({"C:\\TMP\\", "E:\\MYTMPFILES\\"});
    WriteSettings(1);
    const driver::Process first = Start(" tmp");
    const MainWindow main = WaitMain(first);
    ASSERT_TRUE(main);
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::StatusText(main.status, 0) == "1/2"; }));
    const std::string caption = driver::WindowText(main.window);
    const auto items = driver::ListItems(main.list);
    const std::string panel1 = driver::StatusText(main.status, 1);

    const driver::Process second = Start(" other");
    const auto box = driver::WaitMessageBox(second.pid());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, kAlreadyRunning);
    // Shown before the title is set: the default title made from the file name kovelar.exe.
    EXPECT_EQ(box->caption, kAppName);
    EXPECT_FALSE(box->hasIcon);
    EXPECT_TRUE(driver::TopWindows(second.pid(), "TfMain").empty());
    ASSERT_TRUE(driver::AnswerMessageBox(box->window));
    EXPECT_EQ(second.WaitExit(), 0u);

    ASSERT_TRUE(first.Running());
    EXPECT_EQ(driver::WindowText(main.window), caption);
    EXPECT_EQ(driver::ListItems(main.list), items);
    EXPECT_EQ(driver::ListSelection(main.list), 0);
    EXPECT_EQ(driver::StatusText(main.status, 0), "1/2");
    EXPECT_EQ(driver::StatusText(main.status, 1), panel1);
    EXPECT_TRUE(driver::TopWindows(first.pid(), "#32770").empty());

    driver::PostKey(main.list, VK_ESCAPE);
    const Ending ending = WaitEnd(first);
    EXPECT_EQ(ending.exitCode, 0u);
    EXPECT_TRUE(ending.boxes.empty());
    EXPECT_TRUE(TotalcmdCalls().empty());
}

}  // namespace kv::e2e
