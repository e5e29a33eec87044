#include <gtest/gtest.h>

#include "fakes.h"
#include "main_window/master.h"

namespace {

using Strings = std::vector<std::string>;

class LaunchTest : public ::testing::Test {
 protected:
  marlo::Master& Make(const std::string& folder) {
    machine.env.folder = folder;
    master = std::make_unique<marlo::Master>(machine.platform, view);
    return *master;
  }
  fakes::Machine machine;
  fakes::MasterView view;
  std::unique_ptr<marlo::Master> master;
};

struct ClientCase {
  std::string folder, label12;
  std::string label14, label20, label18;
};

class ClientPathsTest : public LaunchTest, public ::testing::WithParamInterface<ClientCase> {};

TEST_P(ClientPathsTest, PutTheShareInPlaceOfTheDrivePrefix) {
  const ClientCase& c = GetParam();
  auto& m = Make(c.folder);
  m.Label12 = c.label12;
  m.ComputeClientPaths();
  EXPECT_EQ(m.Label14, c.label14);
  EXPECT_EQ(m.Label20, c.label20);
  EXPECT_EQ(m.Label18, c.label18);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClientPathsTest,
    ::testing::Values(
        ClientCase{"\\\\FILESERVER\\APPS\\MENU", "D:\\SALES\\NEWSALES\\X.EXE",
                   "SALES\\NEWSALES\\X.EXE", "X.EXE", "\\\\FILESERVER\\APPS\\SALES\\NEWSALES"},
        ClientCase{"\\\\FILESERVER\\APPS\\MENU", "D:\\X.EXE", "X.EXE", "X.EXE",
                   "\\\\FILESERVER\\APPS"},
        ClientCase{"\\\\FILESERVER\\APPS\\MENU", "D:\\TOOLS\\X.EXE\\X.EXE", "TOOLS\\X.EXE\\X.EXE",
                   "X.EXE", "\\\\FILESERVER\\APPS\\TOOLS\\X.EXE"},
        ClientCase{"\\\\SRV\\D\\Menu", "D:\\Sales\\NewSales\\x.exe", "Sales\\NewSales\\x.exe",
                   "x.exe", "\\\\SRV\\D\\Sales\\NewSales"},
        // Too short for a drive prefix, and a path ending in "\": no file name to cut off.
        ClientCase{"\\\\SRV\\D\\Menu", "D:", "", "", "\\\\SRV\\D\\"},
        ClientCase{"\\\\SRV\\D\\Menu", "", "", "", "\\\\SRV\\D\\"},
        ClientCase{"\\\\SRV\\D\\Menu", "D:\\TOOLS\\", "TOOLS\\", "", "\\\\SRV\\D\\TOOLS\\"}));

TEST_F(LaunchTest, ShareFolderStartsAsClient) {
  auto& m = Make("\\\\FILESERVER\\APPS\\MENU");
  m.Label12 = "D:\\SALES\\NEWSALES\\X.EXE";
  m.Timer2_Timer();
  EXPECT_EQ(m.Label5, "CLIENT");
  EXPECT_EQ(view.mode, "CLIENT");
  EXPECT_EQ(m.Label18, "\\\\FILESERVER\\APPS\\SALES\\NEWSALES");
  EXPECT_EQ(view.calls, (Strings{"topmost", "hide options and exit", "stop timer"}));
}

TEST_F(LaunchTest, DriveFolderStartsAsServerAndLeavesClientPathsAlone) {
  for (const std::string folder : {"C:\\MENU", "d:\\menu", "D:"}) {
    view.calls.clear();
    auto& m = Make(folder);
    m.Label12 = "D:\\SALES\\X.EXE";
    m.Timer2_Timer();
    EXPECT_EQ(m.Label5, "SERVER") << folder;
    EXPECT_EQ(m.Label18, "");
    EXPECT_EQ(view.calls, (Strings{"topmost", "stop timer"}));
  }
}

TEST_F(LaunchTest, AnyOtherFolderLeavesTheModeEmptyAndStartsNothing) {
  auto& m = Make("MENU");
  m.Label12 = "D:\\SALES\\X.EXE";
  m.Timer2_Timer();
  EXPECT_EQ(m.Label5, "");
  m.List7_DblClick();
  m.Command1_Click();
  EXPECT_TRUE(machine.processes.log.empty());
  EXPECT_EQ(view.calls, (Strings{"topmost", "stop timer", "minimise", "minimise"}));
}

TEST_F(LaunchTest, ClientSelectionRecomputesThePaths) {
  auto& m = Make("\\\\FILESERVER\\APPS\\MENU");
  m.List5 = {"D:\\A\\A.EXE", "D:\\B\\SUB\\B.EXE"};
  m.Label12 = m.List5[0];
  m.Timer2_Timer();
  m.List7_Click(1);
  EXPECT_EQ(m.Label12, "D:\\B\\SUB\\B.EXE");
  EXPECT_EQ(m.Label18, "\\\\FILESERVER\\APPS\\B\\SUB");
  EXPECT_EQ(m.Label20, "B.EXE");
  m.Command1_Click();
  EXPECT_EQ(machine.processes.log, (Strings{"cd \\\\FILESERVER\\APPS\\B\\SUB",
                                            "start \\\\FILESERVER\\APPS\\B\\SUB\\B.EXE"}));
}

const char* const kDriveMessage =
    "message Path not found: Please Marlo.exe and Your Selceted exe is not in same drive,\r\n"
    "Copy in same drive and then run again";

struct StartCase {
  std::string folder, label12;
  bool double_click;
  Strings processes;  // what was asked of the platform, in order
  bool drive_message;
  std::string label14;
};

class StartTest : public LaunchTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartTest, StartsFromTheProgramsFolderAndMinimises) {
  const StartCase& c = GetParam();
  auto& m = Make(c.folder);
  m.Label12 = c.label12;
  m.Timer2_Timer();
  view.calls.clear();
  c.double_click ? m.List7_DblClick() : m.Command1_Click();
  EXPECT_EQ(machine.processes.log, c.processes);
  Strings calls;
  if (c.drive_message) calls.push_back(kDriveMessage);
  calls.push_back("minimise");
  EXPECT_EQ(view.calls, calls);
  if (m.Label5 == "SERVER") {
    EXPECT_EQ(m.Label14, c.label14);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, StartTest,
    ::testing::Values(
        StartCase{"C:\\Menu",
                  "C:\\Apps\\Sales\\sales.exe",
                  true,
                  {"cd C:\\Apps\\Sales\\", "start C:\\Apps\\Sales\\sales.exe"},
                  false,
                  "C:\\Apps\\Sales\\"},
        StartCase{"C:\\Menu",
                  "C:\\Apps\\Sales\\sales.exe",
                  false,
                  {"cd C:\\Apps\\Sales\\", "start C:\\Apps\\Sales\\sales.exe"},
                  false,
                  "C:\\Apps\\Sales\\"},
        StartCase{"C:\\Menu",
                  "C:\\Tools\\sales.exe\\sales.exe",
                  true,
                  {"cd C:\\Tools\\sales.exe\\", "start C:\\Tools\\sales.exe\\sales.exe"},
                  false,
                  "C:\\Tools\\sales.exe\\"},
        StartCase{"C:\\Menu", "sales.exe", false, {"cd ", "start sales.exe"}, false, ""},
        StartCase{"C:\\Menu", "D:\\Apps\\x.exe", true, {"cd D:\\Apps\\"}, true, "D:\\Apps\\"},
        StartCase{"C:\\Menu",
                  "D:\\Apps\\x.exe",
                  false,
                  {"cd D:\\Apps\\", "start D:\\Apps\\x.exe"},
                  false,
                  "D:\\Apps\\"},
        StartCase{"d:\\Menu",
                  "D:\\Apps\\x.exe",
                  true,
                  {"cd D:\\Apps\\", "start D:\\Apps\\x.exe"},
                  false,
                  "D:\\Apps\\"},
        StartCase{"C:\\Menu", "", true, {"cd "}, true, ""},
        StartCase{"\\\\SRV\\D\\Menu",
                  "D:\\Sales\\NewSales\\x.exe",
                  true,
                  {"cd \\\\SRV\\D\\Sales\\NewSales", "start \\\\SRV\\D\\Sales\\NewSales\\x.exe"},
                  false,
                  ""},
        StartCase{"\\\\SRV\\D\\Menu",
                  "D:\\x.exe",
                  false,
                  {"cd \\\\SRV\\D", "start \\\\SRV\\D\\x.exe"},
                  false,
                  ""}));

TEST_F(LaunchTest, FailingStepsAreSkippedAndTheWindowStillMinimises) {
  machine.processes.folders_fail = true;
  machine.processes.starts_fail = true;
  auto& m = Make("D:\\MENU");
  m.Label12 = "D:\\GONE\\X.EXE";
  m.Timer2_Timer();
  view.calls.clear();
  m.Command1_Click();
  m.List7_DblClick();
  EXPECT_EQ(machine.processes.log, (Strings{"cd D:\\GONE\\", "start D:\\GONE\\X.EXE",
                                            "cd D:\\GONE\\", "start D:\\GONE\\X.EXE"}));
  EXPECT_EQ(view.calls, (Strings{"minimise", "minimise"}));
}

}  // namespace
