// Starting programs for real under Wine, as "SERVER" from drive D: and as "CLIENT" through the
// share \\FILESERVER\APPS that shows the same folder. The started programs are probes that write
// down how and where they were started.
#include <gtest/gtest.h>

#include "harness.h"
#include "main_window/master_ids.h"

namespace {

using namespace e2e;
namespace ids = marlo::master_ids;

const std::string kMenu = "D:\\MENU";
const std::string kResult = "D:\\PROBE\\result.txt";
const std::string kDriveMessage =
    "Please Marlo.exe and Your Selceted exe is not in same drive,\r\n"
    "Copy in same drive and then run again";

struct Started {
  std::string image, command_line, folder;
};

std::vector<Started> StartedPrograms() {
  std::vector<Started> started;
  for (const auto& line : ReadLines(kResult)) {
    const auto first = line.find('|');
    const auto last = line.rfind('|');
    started.push_back(
        {line.substr(0, first), line.substr(first + 1, last - first - 1), line.substr(last + 1)});
  }
  return started;
}

class LaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFolder(kMenu);
    ResetFolder("D:\\PROBE");
    ResetFolder("D:\\SALES");
    ResetFolder("E:\\TOOLS");
    CopyProgram("Marlo.exe", kMenu + "\\Marlo.exe");
    SetEnvironmentVariableA("MARLO_PROBE_RESULT", kResult.c_str());
  }

  // Starts the menu on `list` from `folder` and waits until its start mode is shown.
  HWND Open(const std::string& folder, const std::string& list, const std::string& mode) {
    WriteBytes(kMenu + "\\app.txt", list);
    marlo_ = std::make_unique<Process>(folder + "\\Marlo.exe", "\\\\DC1");
    HWND main = marlo_->WaitForWindow(ids::kWindowClass);
    if (main == nullptr) return nullptr;
    EXPECT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(main, ids::kLabel5)) == mode; }));
    return main;
  }

  static HWND List7(HWND main) { return GetDlgItem(main, ids::kList7); }
  static void Restore(HWND main) {
    ShowWindow(main, SW_RESTORE);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(main) == 0; }));
    Activate(main);
    Sleep(300);  // let the restored window settle before the hands go on
  }
  static bool WaitForStarts(std::size_t count) {
    return WaitUntil([&] { return StartedPrograms().size() >= count; });
  }

  std::unique_ptr<Process> marlo_;
};

TEST_F(LaunchTest, ServerDoubleClickStartsTheEntryFromItsFolderAndMinimises) {
  CopyProgram("probe.exe", "D:\\SALES\\NEWSALES\\X.EXE");
  HWND main = Open(kMenu, "Sales=D:\\SALES\\NEWSALES\\X.EXE\r\n", "SERVER");
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(main, ids::kCommand3)));
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(main, ids::kCommand5)));

  DoubleClickListItem(List7(main), 0);
  ASSERT_TRUE(WaitForStarts(1));
  const auto started = StartedPrograms();
  EXPECT_EQ(started[0].command_line, "\"D:\\SALES\\NEWSALES\\X.EXE\"");
  EXPECT_EQ(started[0].folder, "D:\\SALES\\NEWSALES");
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(main) != 0; }));
}

TEST_F(LaunchTest, ServerEnterStartsTheSelectedEntry) {
  CopyProgram("probe.exe", "D:\\SALES\\NEWSALES\\X.EXE");
  HWND main = Open(kMenu, "Sales=D:\\SALES\\NEWSALES\\X.EXE\r\n", "SERVER");
  ASSERT_NE(main, nullptr);
  Activate(main);
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitForStarts(1));
  EXPECT_EQ(StartedPrograms()[0].folder, "D:\\SALES\\NEWSALES");
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(main) != 0; }));
}

TEST_F(LaunchTest, ServerDoubleClickRefusesAnotherDriveButEnterStartsIt) {
  CopyProgram("probe.exe", "E:\\TOOLS\\X.EXE");
  HWND main = Open(kMenu, "Tools=E:\\TOOLS\\X.EXE\r\n", "SERVER");
  ASSERT_NE(main, nullptr);

  DoubleClickListItem(List7(main), 0);
  HWND box = marlo_->WaitForWindow("#32770", "Path not found");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), kDriveMessage);
  PressOk(box);
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(main) != 0; }));
  Sleep(300);
  EXPECT_TRUE(StartedPrograms().empty());

  Restore(main);
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitForStarts(1));
  EXPECT_EQ(StartedPrograms()[0].command_line, "\"E:\\TOOLS\\X.EXE\"");
}

TEST_F(LaunchTest, ClientStartsThroughTheShareAndHidesOptionsAndExit) {
  CopyProgram("probe.exe", "D:\\SALES\\NEWSALES\\X.EXE");
  CopyProgram("probe.exe", "D:\\SALES\\OLD\\Y.EXE");
  HWND main = Open("\\\\FILESERVER\\APPS\\MENU",
                   "Sales=D:\\SALES\\NEWSALES\\X.EXE\r\nOld=D:\\SALES\\OLD\\Y.EXE\r\n", "CLIENT");
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(GetDlgItem(main, ids::kCommand3)); }));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(main, ids::kCommand5)));

  DoubleClickListItem(List7(main), 0);
  ASSERT_TRUE(WaitForStarts(1));
  EXPECT_EQ(StartedPrograms()[0].command_line, "\"\\\\FILESERVER\\APPS\\SALES\\NEWSALES\\X.EXE\"");
  EXPECT_EQ(StartedPrograms()[0].folder, "\\\\FILESERVER\\APPS\\SALES\\NEWSALES");
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(main) != 0; }));

  // The arrow keys move the selection, and Enter starts that entry through the share.
  Restore(main);
  PressKey(VK_DOWN);
  EXPECT_TRUE(WaitUntil([&] { return ListBoxSelection(List7(main)) == 1; }));
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitForStarts(2));
  EXPECT_EQ(StartedPrograms()[1].command_line, "\"\\\\FILESERVER\\APPS\\SALES\\OLD\\Y.EXE\"");
  EXPECT_EQ(StartedPrograms()[1].folder, "\\\\FILESERVER\\APPS\\SALES\\OLD");
}

TEST_F(LaunchTest, APathWithBlanksStartsExactlyTheListedFile) {
  ResetFolder("D:\\PROGRAM FILES");
  CopyProgram("probe.exe", "D:\\PROGRAM FILES\\X.EXE");
  CopyProgram("probe.exe", "D:\\PROGRAM.EXE");
  HWND main = Open(kMenu, "X=D:\\PROGRAM FILES\\X.EXE\r\n", "SERVER");
  ASSERT_NE(main, nullptr);
  DoubleClickListItem(List7(main), 0);
  ASSERT_TRUE(WaitForStarts(1));
  const auto started = StartedPrograms();
  ASSERT_EQ(started.size(), 1u);
  EXPECT_NE(started[0].image.find("PROGRAM FILES\\X.EXE"), std::string::npos) << started[0].image;
  EXPECT_EQ(started[0].folder, "D:\\PROGRAM FILES");
  DeleteFileA("D:\\PROGRAM.EXE");
}

TEST_F(LaunchTest, AMissingProgramStartsNothingSilentlyAndTheMenuGoesOn) {
  CopyProgram("probe.exe", "D:\\SALES\\NEWSALES\\X.EXE");
  HWND main = Open(kMenu, "Gone=D:\\GONE\\X.EXE\r\nSales=D:\\SALES\\NEWSALES\\X.EXE\r\n", "SERVER");
  ASSERT_NE(main, nullptr);
  DoubleClickListItem(List7(main), 0);
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(main) != 0; }));
  Restore(main);
  PressKey(VK_RETURN);  // the Enter route, too, passes over the failure
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(main) != 0; }));
  Sleep(300);
  EXPECT_EQ(marlo_->FindWindowOf("#32770"), nullptr);
  EXPECT_TRUE(StartedPrograms().empty());
  EXPECT_TRUE(marlo_->Running());

  Restore(main);
  DoubleClickListItem(List7(main), 1);
  ASSERT_TRUE(WaitForStarts(1));
  EXPECT_EQ(StartedPrograms()[0].command_line, "\"D:\\SALES\\NEWSALES\\X.EXE\"");
}

}  // namespace
