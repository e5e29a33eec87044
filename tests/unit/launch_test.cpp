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
  // A menu of entries with these paths.
  static void Paths(marlo::Master& m, const Strings& paths) {
    marlo::ListText text;
    for (const auto& path : paths) text.bytes += "=" + path + "\r\n";
    m.ShowList(marlo::MenuListOf(std::move(text), true));
  }
  fakes::Machine machine;
  fakes::MasterView view;
  std::unique_ptr<marlo::Master> master;
};

struct ClientCase {
  std::string folder, label12;
  std::string label14, label20, label18;
  std::optional<std::string> connection = std::nullopt;  // of the folder's network drive
};

class ClientPathsTest : public LaunchTest, public ::testing::WithParamInterface<ClientCase> {};

TEST_P(ClientPathsTest, PutTheShareInPlaceOfTheDrivePrefix) {
  const ClientCase& c = GetParam();
  if (c.connection) machine.env.network_drives[c.folder.substr(0, 2)] = *c.connection;
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
        ClientCase{"\\\\SRV\\D\\Menu", "D:\\TOOLS\\", "TOOLS\\", "", "\\\\SRV\\D\\TOOLS\\"},
        // Only the program counts, not its arguments; a path in share form is reached as listed.
        ClientCase{"\\\\SRV\\D\\Menu", "D:\\A B\\X.EXE -p D:\\Y", "A B\\X.EXE", "X.EXE",
                   "\\\\SRV\\D\\A B"},
        ClientCase{"\\\\SRV\\D\\Menu", "\\\\OTHER\\APPS\\X.EXE", "\\\\OTHER\\APPS\\X.EXE", "X.EXE",
                   "\\\\OTHER\\APPS"},
        // A mapped network drive: through its connection, or through the drive itself.
        ClientCase{"M:\\MENU", "D:\\SALES\\X.EXE", "SALES\\X.EXE", "X.EXE",
                   "\\\\FILESERVER\\APPS\\SALES", "\\\\FILESERVER\\APPS"},
        ClientCase{"M:\\MENU", "D:\\SALES\\X.EXE", "SALES\\X.EXE", "X.EXE", "M:\\SALES", ""},
        // A drive mapped to the share with a final "\", or to a folder below it: the share.
        ClientCase{"M:\\MENU", "D:\\SALES\\X.EXE", "SALES\\X.EXE", "X.EXE",
                   "\\\\FILESERVER\\APPS\\SALES", "\\\\FILESERVER\\APPS\\"},
        ClientCase{"M:\\", "D:\\SALES\\X.EXE", "SALES\\X.EXE", "X.EXE",
                   "\\\\FILESERVER\\APPS\\SALES", "\\\\FILESERVER\\APPS\\MENU"},
        ClientCase{"M:\\", "D:\\X.EXE", "X.EXE", "X.EXE", "\\\\FILESERVER\\APPS",
                   "\\\\FILESERVER\\APPS\\MENU\\"}));

TEST_F(LaunchTest, ShareFolderAndNetworkDriveStartAsClient) {
  machine.env.network_drives["M:"] = "";
  for (const std::string folder : {"\\\\FILESERVER\\APPS\\MENU", "M:\\MENU"}) {
    view.calls.clear();
    auto& m = Make(folder);
    m.Label12 = "D:\\SALES\\NEWSALES\\X.EXE";
    m.Timer2_Timer();
    EXPECT_EQ(m.Label5, "CLIENT");
    EXPECT_EQ(view.mode, "CLIENT");
    EXPECT_EQ(view.calls, (Strings{"topmost", "hide options and exit", "stop timer"}));
  }
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
  Paths(m, {"D:\\A\\A.EXE", "D:\\B\\SUB\\B.EXE"});
  m.Label12 = m.List5()[0];
  m.Timer2_Timer();
  m.List7_Click(1);
  EXPECT_EQ(m.Label12, "D:\\B\\SUB\\B.EXE");
  EXPECT_EQ(m.Label18, "\\\\FILESERVER\\APPS\\B\\SUB");
  EXPECT_EQ(m.Label20, "B.EXE");
  // Start-up and selection look for no file through the share; only a start does.
  EXPECT_EQ(machine.files.searches, 0);
  m.Command1_Click();
  EXPECT_EQ(
      machine.processes.log,
      (Strings{"cd \\\\FILESERVER\\APPS\\B\\SUB",
               "start \\\\FILESERVER\\APPS\\B\\SUB\\B.EXE|\"\\\\FILESERVER\\APPS\\B\\SUB\\B.EXE\"",
               "cd C:\\OWN"}));
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
  Paths(m, {c.label12});
  m.Label12 = c.label12;
  m.Timer2_Timer();
  view.calls.clear();
  c.double_click ? m.List7_DblClick() : m.Command1_Click();
  EXPECT_EQ(machine.processes.log, c.processes);
  Strings calls;
  if (c.drive_message) calls.push_back(kDriveMessage);
  calls.push_back("minimise");
  EXPECT_EQ(view.calls, calls);
  EXPECT_EQ(machine.processes.current, "C:\\OWN") << "the menu's own folder was not put back";
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
                  {"cd C:\\Apps\\Sales\\",
                   "start C:\\Apps\\Sales\\sales.exe|\"C:\\Apps\\Sales\\sales.exe\"", "cd C:\\OWN"},
                  false,
                  "C:\\Apps\\Sales\\"},
        StartCase{"C:\\Menu",
                  "C:\\Apps\\Sales\\sales.exe",
                  false,
                  {"cd C:\\Apps\\Sales\\",
                   "start C:\\Apps\\Sales\\sales.exe|\"C:\\Apps\\Sales\\sales.exe\"", "cd C:\\OWN"},
                  false,
                  "C:\\Apps\\Sales\\"},
        StartCase{"C:\\Menu",
                  "C:\\Tools\\sales.exe\\sales.exe",
                  true,
                  {"cd C:\\Tools\\sales.exe\\",
                   "start C:\\Tools\\sales.exe\\sales.exe|\"C:\\Tools\\sales.exe\\sales.exe\"",
                   "cd C:\\OWN"},
                  false,
                  "C:\\Tools\\sales.exe\\"},
        // No folder to set: the program starts without it, and there is nothing to put back.
        StartCase{
            "C:\\Menu", "sales.exe", false, {"cd ", "start sales.exe|\"sales.exe\""}, false, ""},
        StartCase{"C:\\Menu", "D:\\Apps\\x.exe", true, {}, true, "D:\\Apps\\"},
        StartCase{"C:\\Menu",
                  "D:\\Apps\\x.exe",
                  false,
                  {"cd D:\\Apps\\", "start D:\\Apps\\x.exe|\"D:\\Apps\\x.exe\"", "cd C:\\OWN"},
                  false,
                  "D:\\Apps\\"},
        StartCase{"d:\\Menu",
                  "D:\\Apps\\x.exe",
                  true,
                  {"cd D:\\Apps\\", "start D:\\Apps\\x.exe|\"D:\\Apps\\x.exe\"", "cd C:\\OWN"},
                  false,
                  "D:\\Apps\\"},
        // The drive of a quoted program is the drive of the path inside the quotes.
        StartCase{"D:\\Menu",
                  "\"D:\\Apps\\x.exe\" /a",
                  true,
                  {"cd D:\\Apps\\", "start D:\\Apps\\x.exe|\"D:\\Apps\\x.exe\" /a", "cd C:\\OWN"},
                  false,
                  "D:\\Apps\\"},
        StartCase{"C:\\Menu", "", true, {}, true, ""},
        StartCase{
            "\\\\SRV\\D\\Menu",
            "D:\\Sales\\NewSales\\x.exe",
            true,
            {"cd \\\\SRV\\D\\Sales\\NewSales",
             "start \\\\SRV\\D\\Sales\\NewSales\\x.exe|\"\\\\SRV\\D\\Sales\\NewSales\\x.exe\"",
             "cd C:\\OWN"},
            false,
            ""},
        StartCase{"\\\\SRV\\D\\Menu",
                  "D:\\x.exe",
                  false,
                  {"cd \\\\SRV\\D", "start \\\\SRV\\D\\x.exe|\"\\\\SRV\\D\\x.exe\"", "cd C:\\OWN"},
                  false,
                  ""},
        // A path in share form is started as listed on a client, from its own folder.
        StartCase{
            "\\\\SRV\\D\\Menu",
            "\\\\OTHER\\APPS\\TOOLS\\T.EXE",
            true,
            {"cd \\\\OTHER\\APPS\\TOOLS",
             "start \\\\OTHER\\APPS\\TOOLS\\T.EXE|\"\\\\OTHER\\APPS\\TOOLS\\T.EXE\"", "cd C:\\OWN"},
            false,
            ""}));

// Arguments and a missing extension are told apart by what exists where the program is started
// from: the drive on the server, the share on a client.
struct CommandCase {
  std::string folder, label12;
  Strings existing;     // files that exist, as the menu reaches them
  std::string started;  // "<program>|<command line>"
};

class StartCommandTest : public LaunchTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(StartCommandTest, StartsTheProgramWithItsArguments) {
  const CommandCase& c = GetParam();
  for (const auto& file : c.existing) machine.files.files[file] = {};
  auto& m = Make(c.folder);
  Paths(m, {c.label12});
  m.Label12 = c.label12;
  m.Timer2_Timer();
  m.Command1_Click();
  ASSERT_EQ(machine.processes.log.size(), 3u);
  EXPECT_EQ(machine.processes.log[1], "start " + c.started);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StartCommandTest,
    ::testing::Values(
        CommandCase{"D:\\MENU",
                    "D:\\APPS\\TOOL.EXE -p D:\\DATA",
                    {"D:\\APPS\\TOOL.EXE"},
                    "D:\\APPS\\TOOL.EXE|\"D:\\APPS\\TOOL.EXE\" -p D:\\DATA"},
        CommandCase{"D:\\MENU",
                    "D:\\APPS\\TOOL",
                    {"D:\\APPS\\TOOL.exe"},
                    "D:\\APPS\\TOOL.exe|\"D:\\APPS\\TOOL.exe\""},
        CommandCase{"D:\\MENU",
                    "D:\\PROGRAM FILES\\X.EXE -a",
                    {"D:\\PROGRAM.EXE"},
                    "D:\\PROGRAM FILES\\X.EXE|\"D:\\PROGRAM FILES\\X.EXE\" -a"},
        // On a client the same text is looked for through the share, not on the client's D:.
        CommandCase{"\\\\SRV\\D\\MENU",
                    "D:\\APPS\\A B.EXE",
                    {"\\\\SRV\\D\\APPS\\A B.EXE"},
                    "\\\\SRV\\D\\APPS\\A B.EXE|\"\\\\SRV\\D\\APPS\\A B.EXE\""},
        CommandCase{"\\\\SRV\\D\\MENU",
                    "D:\\APPS\\A.EXE B",
                    {"D:\\APPS\\A.EXE B"},
                    "\\\\SRV\\D\\APPS\\A.EXE|\"\\\\SRV\\D\\APPS\\A.EXE\" B"},
        CommandCase{"\\\\SRV\\D\\MENU",
                    "\"D:\\APPS\\TOOL\" x y",
                    {},
                    "\\\\SRV\\D\\APPS\\TOOL.exe|\"\\\\SRV\\D\\APPS\\TOOL.exe\" x y"}));

TEST_F(LaunchTest, AFailedStartSaysWhyAndKeepsTheWindowOpenOnBothRoutesAndInBothModes) {
  machine.processes.starts_fail = true;
  for (const std::string folder : {"D:\\MENU", "\\\\SRV\\D\\MENU"}) {
    auto& m = Make(folder);
    Paths(m, {"D:\\GONE\\X.EXE"});
    m.Label12 = "D:\\GONE\\X.EXE";
    m.Timer2_Timer();
    const std::string tried = m.Label5 == "SERVER" ? "D:\\GONE\\X.EXE" : "\\\\SRV\\D\\GONE\\X.EXE";
    const std::string box =
        "message Start Failed: " + tried + "\r\nThe system cannot find the file specified";
    view.calls.clear();
    m.Command1_Click();
    m.List7_DblClick();
    EXPECT_EQ(view.calls, (Strings{box, box})) << folder;
    EXPECT_EQ(m.Label12, "D:\\GONE\\X.EXE");
    EXPECT_EQ(machine.processes.current, "C:\\OWN");
  }
}

TEST_F(LaunchTest, AFolderThatCannotBeSetIsPassedOverAndTheProgramStillStarts) {
  machine.processes.folders_fail = true;
  auto& m = Make("D:\\MENU");
  Paths(m, {"D:\\APPS\\X.EXE"});
  m.Label12 = "D:\\APPS\\X.EXE";
  m.Timer2_Timer();
  view.calls.clear();
  m.List7_DblClick();
  EXPECT_EQ(machine.processes.log,
            (Strings{"cd D:\\APPS\\", "start D:\\APPS\\X.EXE|\"D:\\APPS\\X.EXE\""}));
  EXPECT_EQ(view.calls, Strings{"minimise"});
}

TEST_F(LaunchTest, AnEmptyMenuStartsNothingSaysNothingAndMinimises) {
  for (const std::string folder : {"D:\\MENU", "\\\\SRV\\D\\MENU"}) {
    auto& m = Make(folder);
    m.Timer2_Timer();
    view.calls.clear();
    m.List7_DblClick();
    m.Command1_Click();
    EXPECT_TRUE(machine.processes.log.empty());
    EXPECT_EQ(view.calls, (Strings{"minimise", "minimise"})) << folder;
  }
}

}  // namespace
