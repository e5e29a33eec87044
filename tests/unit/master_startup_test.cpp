#include <gtest/gtest.h>

#include "fakes.h"
#include "main_window/master.h"

namespace {

using Strings = std::vector<std::string>;

Strings Texts(const std::vector<std::string_view>& views) { return {views.begin(), views.end()}; }

class FormLoadTest : public ::testing::Test {
 protected:
  void Folder(const std::string& folder) { machine.env.folder = folder; }
  marlo::Master& Load() {
    master = std::make_unique<marlo::Master>(machine.platform, view);
    master->Form_Load();
    return *master;
  }
  void List(const std::string& folder, const std::string& bytes) {
    machine.files.files[folder + "\\app.txt"].bytes = bytes;
  }

  fakes::Machine machine;
  fakes::MasterView view;
  std::unique_ptr<marlo::Master> master;
};

TEST_F(FormLoadTest, DriveFolderLogsOneRecordAndLoadsTheMenu) {
  machine.env.variables["LOGONSERVER"] = "\\\\DC1";
  List("D:\\MENU", "Sales=D:\\S.EXE\r\nStock=D:\\T.EXE\r\nPay=D:\\P.EXE");
  auto& m = Load();
  EXPECT_EQ(machine.files.Text("D:\\MENU\\user.txt"), "DC1 - 07/12/2026 09:05:03\r\n");
  EXPECT_EQ(Texts(m.List7()), (Strings{"Sales", "Stock", "Pay"}));
  EXPECT_EQ(Texts(m.List5()), (Strings{"D:\\S.EXE", "D:\\T.EXE", "D:\\P.EXE"}));
  EXPECT_EQ(view.menu, Texts(m.List7()));
  EXPECT_EQ(m.Label12, "D:\\S.EXE");
  EXPECT_EQ(view.selection, 0);
  EXPECT_EQ(m.Label5, "");
  EXPECT_TRUE(view.calls.empty());
}

// A client through a share or a network drive: the logon server, then the file server (the
// drive, where its connection is not known), each with its own time.
TEST_F(FormLoadTest, ClientLogsTheLogonServerThenTheFileServerEachWithItsOwnTime) {
  const struct {
    std::string folder, connection, server;
  } clients[] = {{"\\\\FILESERVER\\APPS\\MENU", "", "FILESERVER"},
                 {"M:\\MENU", "\\\\FILESERVER\\APPS", "FILESERVER"},
                 {"M:\\MENU", "", "M:"}};
  for (const auto& client : clients) {
    machine.clock.now.second = 3;
    Folder(client.folder);
    machine.env.network_drives["M:"] = client.connection;
    machine.env.variables["LOGONSERVER"] = "\\\\dc1";
    machine.files.files.clear();
    List(client.folder, "Sales=D:\\S.EXE\r\n");
    Load();
    EXPECT_EQ(machine.files.Text(client.folder + "\\user.txt"),
              "dc1 - 07/12/2026 09:05:03\r\n" + client.server + " - 07/12/2026 09:05:04\r\n");
  }
}

TEST_F(FormLoadTest, UnsetLogonServerAndRegionalSeparators) {
  machine.clock.separators = {".", "."};
  List("D:\\MENU", "");
  Load();
  EXPECT_EQ(machine.files.Text("D:\\MENU\\user.txt"), " - 07.12.2026 09.05.03\r\n");
}

// Other tools read the start log in the ANSI code page (the fake's is Latin-1); a name beyond it
// loses those characters.
TEST_F(FormLoadTest, TheStartLogStaysInTheAnsiCodePage) {
  machine.env.variables["LOGONSERVER"] = "\\\\D\xC3\x87\xD0\x94";  // \\DÇД
  List("D:\\MENU", "");
  Load();
  EXPECT_EQ(machine.files.Text("D:\\MENU\\user.txt"), "D\xC7? - 07/12/2026 09:05:03\r\n");
}

TEST_F(FormLoadTest, EmptyListGivesAnEmptyMenuWithNothingSelectedAndNoMessage) {
  List("D:\\MENU", "");
  auto& m = Load();
  EXPECT_TRUE(m.List7().empty());
  EXPECT_TRUE(m.List5().empty());
  EXPECT_EQ(m.Label12, "");
  EXPECT_EQ(view.selection, -1);
  EXPECT_TRUE(view.calls.empty());
}

TEST_F(FormLoadTest, AStartLogThatCannotBeWrittenStillLoadsTheMenu) {
  machine.files.appends_fail = true;
  List("D:\\MENU", "Sales=D:\\S.EXE\r\n");
  auto& m = Load();
  EXPECT_EQ(Texts(m.List7()), Strings{"Sales"});
  EXPECT_TRUE(view.calls.empty());
}

TEST_F(FormLoadTest, AReadFailureMidwayKeepsTheEntriesReadBeforeIt) {
  List("D:\\MENU", "A=D:\\A.EXE\r\nB=D:\\B.EXE\r\nC=D:\\C.EXE\r\n");
  machine.files.fail_read_after["D:\\MENU\\app.txt"] = 15;
  auto& m = Load();
  EXPECT_EQ(Texts(m.List7()), Strings{"A"});
  EXPECT_EQ(Texts(m.List5()), Strings{"D:\\A.EXE"});
  EXPECT_EQ(m.Label12, "D:\\A.EXE");
  EXPECT_EQ(view.calls, Strings{"message RMX: App.txt could not be read completely. The menu shows "
                                "the entries read before the failure."});
}

TEST_F(FormLoadTest, AListBeyondSenseShowsItsFirstMillionEntriesAndSaysSo) {
  List("D:\\MENU", std::string(marlo::kMostEntries, '\r') + "Last=D:\\L.EXE\r\n");
  auto& m = Load();
  EXPECT_EQ(m.List7().size(), marlo::kMostEntries);
  EXPECT_EQ(view.calls, Strings{"message RMX: " + marlo::CutMessage(marlo::kMostEntries)});
}

struct MissingCase {
  std::string folder;
  marlo::DirEntry attributes;  // of an app.txt that is there but does not count
  bool present;
};

class MissingListTest : public FormLoadTest, public ::testing::WithParamInterface<MissingCase> {};

TEST_P(MissingListTest, ShowsTwoMessagesAroundTheDefaultListAndCloses) {
  const MissingCase& c = GetParam();
  Folder(c.folder);
  if (c.present) machine.files.files[c.folder + "\\app.txt"] = {"X=Y\r\n", c.attributes};
  auto& m = Load();
  EXPECT_EQ(view.calls, (Strings{"message RMX: App.txt File Not Found...",
                                 "message RMX: Please Re Start Programm...", "close"}));
  EXPECT_EQ(machine.files.Text(c.folder + "\\APP.txt"), "QFACT=" + c.folder + "\\qfact.exe\r\n");
  EXPECT_EQ(machine.files.Text(c.folder + "\\user.txt"), "<missing>");
  EXPECT_TRUE(m.List7().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MissingListTest,
    ::testing::Values(MissingCase{"D:\\MENU", {}, false},
                      MissingCase{"\\\\FILESERVER\\APPS\\MENU", {}, false},
                      MissingCase{"D:\\MENU", {false, true, false}, true},    // hidden
                      MissingCase{"D:\\MENU", {false, false, true}, true},    // system
                      MissingCase{"D:\\MENU", {true, false, false}, true}));  // a folder

TEST_F(FormLoadTest, ADefaultListThatCannotBeWrittenIsReportedInsteadOfAskingForARestart) {
  machine.files.appends_fail = true;
  Load();
  EXPECT_EQ(
      view.calls,
      (Strings{"message RMX: App.txt File Not Found...",
               "message RMX: The default list could not be written: access denied", "close"}));
  EXPECT_EQ(machine.files.Text("D:\\MENU\\APP.txt"), "<missing>");
}

TEST_F(FormLoadTest, FileExistsWantsANormalFile) {
  auto& m = Load();
  machine.files.files["D:\\RO.TXT"] = {"", {}};
  machine.files.files["D:\\H.TXT"] = {"", {false, true, false}};
  EXPECT_TRUE(m.FileExists("D:\\RO.TXT"));
  EXPECT_FALSE(m.FileExists("D:\\H.TXT"));
  EXPECT_FALSE(m.FileExists("D:\\NONE.TXT"));
}

TEST_F(FormLoadTest, ListSelectionFollowsTheMode) {
  List("D:\\MENU", "A=D:\\A.EXE\r\nB=D:\\B.EXE\r\nC=D:\\C.EXE\r\n");
  auto& m = Load();
  m.List7_Click(2);  // before the start-mode step: nothing changes
  EXPECT_EQ(m.Label12, "D:\\A.EXE");
  m.Label5 = "SERVER";
  m.List7_Click(2);
  EXPECT_EQ(m.Label12, "D:\\C.EXE");
  EXPECT_EQ(m.Label18, "");
  m.List7_Click(7);  // no such entry
  EXPECT_EQ(m.Label12, "");
  m.Label5 = "server";  // compared exactly
  m.List7_Click(1);
  EXPECT_EQ(m.Label12, "");
}

TEST_F(FormLoadTest, OptionsExitAndEscape) {
  List("D:\\MENU", "");
  auto& m = Load();
  m.Command3_Click();
  m.Command5_Click();
  m.Form_KeyPress('a');
  m.Form_KeyPress(27);
  EXPECT_EQ(view.calls,
            (Strings{"open options", "close", "close options", "close", "close options", "close"}));
}

}  // namespace
