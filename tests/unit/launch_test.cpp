#include <gtest/gtest.h>

#include <algorithm>
#include <set>

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
        // A program in the drive's root works in the root, not in the drive's current folder.
        ClientCase{"M:\\MENU", "D:\\X.EXE", "X.EXE", "X.EXE", "M:\\", ""},
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
    Paths(m, {"D:\\SALES\\NEWSALES\\X.EXE"});
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
    Paths(m, {"D:\\SALES\\X.EXE"});
    m.Timer2_Timer();
    EXPECT_EQ(m.Label5, "SERVER") << folder;
    EXPECT_EQ(m.Label18, "");
    EXPECT_EQ(view.calls, (Strings{"topmost", "stop timer"}));
  }
}

TEST_F(LaunchTest, AnyOtherFolderLeavesTheModeEmptyAndStartsNothing) {
  auto& m = Make("MENU");
  Paths(m, {"D:\\SALES\\X.EXE"});
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
  EXPECT_EQ(machine.processes.log,
            Strings{"start \\\\FILESERVER\\APPS\\B\\SUB\\B.EXE|\"\\\\FILESERVER\\APPS\\B\\SUB\\B."
                    "EXE\" in \\\\FILESERVER\\APPS\\B\\SUB"});
}

const char* const kDriveMessage =
    "message Path not found: Please Marlo.exe and Your Selceted exe is not in same drive,\r\n"
    "Copy in same drive and then run again";

struct StartCase {
  std::string folder, label12;
  bool double_click;
  std::string started;  // "<program>|<command line> in <working folder>"; empty: none
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
  EXPECT_EQ(machine.processes.log, c.started.empty() ? Strings{} : Strings{"start " + c.started});
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
        StartCase{"C:\\Menu", "C:\\Apps\\Sales\\sales.exe", true,
                  "C:\\Apps\\Sales\\sales.exe|\"C:\\Apps\\Sales\\sales.exe\" in C:\\Apps\\Sales\\",
                  false, "C:\\Apps\\Sales\\"},
        StartCase{"C:\\Menu", "C:\\Apps\\Sales\\sales.exe", false,
                  "C:\\Apps\\Sales\\sales.exe|\"C:\\Apps\\Sales\\sales.exe\" in C:\\Apps\\Sales\\",
                  false, "C:\\Apps\\Sales\\"},
        StartCase{"C:\\Menu", "C:\\Tools\\sales.exe\\sales.exe", true,
                  "C:\\Tools\\sales.exe\\sales.exe|\"C:\\Tools\\sales.exe\\sales.exe\" in "
                  "C:\\Tools\\sales.exe\\",
                  false, "C:\\Tools\\sales.exe\\"},
        // A path that is not a full one lies in the menu's folder, or in its drive's root, never
        // in the process's current folder (which a start moves).
        StartCase{"C:\\Menu", "sales.exe", true,
                  "C:\\Menu\\sales.exe|\"C:\\Menu\\sales.exe\" in C:\\Menu\\", false, "C:\\Menu\\"},
        StartCase{"C:\\Menu", "\\Apps\\x.exe", true,
                  "C:\\Apps\\x.exe|\"C:\\Apps\\x.exe\" in C:\\Apps\\", false, "C:\\Apps\\"},
        StartCase{"C:\\Menu", "C:x.exe", true, "C:\\x.exe|\"C:\\x.exe\" in C:\\", false, "C:\\"},
        StartCase{"\\\\SRV\\D\\Menu", "Tools\\t.exe", false,
                  "\\\\SRV\\D\\Menu\\Tools\\t.exe|\"\\\\SRV\\D\\Menu\\Tools\\t.exe\" in "
                  "\\\\SRV\\D\\Menu\\Tools",
                  false, ""},
        StartCase{"C:\\Menu", "D:\\Apps\\x.exe", true, "", true, "D:\\Apps\\"},
        StartCase{"C:\\Menu", "D:\\Apps\\x.exe", false,
                  "D:\\Apps\\x.exe|\"D:\\Apps\\x.exe\" in D:\\Apps\\", false, "D:\\Apps\\"},
        StartCase{"d:\\Menu", "D:\\Apps\\x.exe", true,
                  "D:\\Apps\\x.exe|\"D:\\Apps\\x.exe\" in D:\\Apps\\", false, "D:\\Apps\\"},
        // The drive of a quoted program is the drive of the path inside the quotes.
        StartCase{"D:\\Menu", "\"D:\\Apps\\x.exe\" /a", true,
                  "D:\\Apps\\x.exe|\"D:\\Apps\\x.exe\" /a in D:\\Apps\\", false, "D:\\Apps\\"},
        StartCase{"C:\\Menu", "", true, "", true, ""},
        StartCase{"\\\\SRV\\D\\Menu", "D:\\Sales\\NewSales\\x.exe", true,
                  "\\\\SRV\\D\\Sales\\NewSales\\x.exe|\"\\\\SRV\\D\\Sales\\NewSales\\x.exe\" in "
                  "\\\\SRV\\D\\Sales\\NewSales",
                  false, ""},
        StartCase{"\\\\SRV\\D\\Menu", "D:\\x.exe", false,
                  "\\\\SRV\\D\\x.exe|\"\\\\SRV\\D\\x.exe\" in \\\\SRV\\D", false, ""},
        // A path in share form is started as listed on a client, from its own folder.
        StartCase{"\\\\SRV\\D\\Menu", "\\\\OTHER\\APPS\\TOOLS\\T.EXE", true,
                  "\\\\OTHER\\APPS\\TOOLS\\T.EXE|\"\\\\OTHER\\APPS\\TOOLS\\T.EXE\" in "
                  "\\\\OTHER\\APPS\\TOOLS",
                  false, ""}));

// Arguments and a missing extension are told apart by what exists where the program is started
// from: the drive on the server, the share on a client.
struct CommandCase {
  std::string folder, label12;
  Strings existing;          // files that exist, as the menu reaches them
  std::string started;       // "<program>|<command line>"
  std::string label20 = "";  // on a client, once the entry's look came back
  bool look_fails = false;   // the look's search cannot be made (a share that dropped a moment)
};

class StartCommandTest : public LaunchTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(StartCommandTest, StartsTheProgramWithItsArguments) {
  const CommandCase& c = GetParam();
  for (const auto& file : c.existing) machine.files.files[file] = {};
  auto& m = Make(c.folder);
  Paths(m, {c.label12});
  m.Label12 = c.label12;
  m.Timer2_Timer();
  if (c.look_fails) machine.faults.fail_at = static_cast<int>(machine.faults.kinds.size()) + 1;
  m.Icon(0);  // its row drawn
  if (!c.label20.empty()) EXPECT_EQ(m.Label20, c.label20);
  // The start takes the entry as its look worked it out: nothing is looked for twice, unless the
  // look could not ask.
  const int looked = machine.files.searches;
  m.Command1_Click();
  EXPECT_EQ(machine.files.searches, looked + (c.look_fails ? 1 : 0));
  ASSERT_EQ(machine.processes.log.size(), 1u);
  EXPECT_EQ(machine.processes.log[0].substr(0, machine.processes.log[0].rfind(" in ")),
            "start " + c.started);
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
                    "\\\\SRV\\D\\APPS\\A.EXE|\"\\\\SRV\\D\\APPS\\A.EXE\" B",
                    "A.EXE"},
        CommandCase{"\\\\SRV\\D\\MENU",
                    "D:\\APPS\\A.EXE B",
                    {"\\\\SRV\\D\\APPS\\A.EXE B"},
                    "\\\\SRV\\D\\APPS\\A.EXE B|\"\\\\SRV\\D\\APPS\\A.EXE B\"",
                    "A.EXE B"},
        CommandCase{"\\\\SRV\\D\\MENU",
                    "D:\\APPS\\A.EXE B",
                    {"\\\\SRV\\D\\APPS\\A.EXE B"},
                    "\\\\SRV\\D\\APPS\\A.EXE B|\"\\\\SRV\\D\\APPS\\A.EXE B\"",
                    "",
                    true},
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
  }
}

// A start waits on the server away from the window: meanwhile the window says a start is under
// way, and Enter or a double-click starts nothing more. Before the list came there is nothing to
// start, and the window stays.
TEST_F(LaunchTest, AStartUnderWayTakesNoSecondAndNothingStartsBeforeTheListCame) {
  auto& m = Make("\\\\SRV\\D\\MENU");
  view.hold_fill = true;
  Paths(m, {"D:\\APPS\\X.EXE", "D:\\APPS\\Y.EXE"});
  m.Timer2_Timer();
  m.Command1_Click();
  m.List7_DblClick();
  EXPECT_TRUE(view.pieces.empty() && view.calls.empty()) << "started before the list came";
  view.FinishFill();
  m.Timer2_Timer();
  view.calls.clear();

  view.stuck = {marlo::Lane::kFiles};
  m.Command1_Click();
  EXPECT_TRUE(view.starting);
  m.List7_Click(1);
  m.Command1_Click();
  m.List7_DblClick();
  EXPECT_EQ(view.Waiting(marlo::Lane::kFiles), 1u);
  EXPECT_TRUE(machine.processes.log.empty() && view.calls.empty());
  view.stuck.clear();
  view.RunHeldWork();
  EXPECT_FALSE(view.starting);
  EXPECT_EQ(
      machine.processes.log,
      Strings{"start \\\\SRV\\D\\APPS\\X.EXE|\"\\\\SRV\\D\\APPS\\X.EXE\" in \\\\SRV\\D\\APPS"});
  EXPECT_EQ(view.calls, Strings{"minimise"});
  EXPECT_EQ(view.last_finish_by->milliseconds, 3000u) << "the end waits 3 s for a start under way";
}

TEST_F(LaunchTest, AnEmptyMenuStartsNothingSaysNothingAndMinimises) {
  for (const std::string folder : {"D:\\MENU", "\\\\SRV\\D\\MENU"}) {
    auto& m = Make(folder);
    Paths(m, {});
    m.Timer2_Timer();
    view.calls.clear();
    m.List7_DblClick();
    m.Command1_Click();
    EXPECT_TRUE(machine.processes.log.empty());
    EXPECT_EQ(view.calls, (Strings{"minimise", "minimise"})) << folder;
  }
}

// Each entry is drawn with the icon of the file a start of it would run: through the share on a
// client, the arguments aside; a program that is not there gets the missing mark.
struct IconCase {
  std::string folder, listed;
  Strings existing;    // files that exist, as the menu reaches them (with an icon of their own)
  std::string looked;  // the file whose icon is asked for; empty: none
  marlo::ProgramMark mark;
  std::optional<std::string> connection = std::nullopt;  // of the folder's network drive
  bool own_icon = true;  // the file has an icon of its own (else: the system's program icon)
};

class IconTest : public LaunchTest, public ::testing::WithParamInterface<IconCase> {};

TEST_P(IconTest, EachEntryGetsTheIconOfTheFileItsStartWouldRun) {
  const IconCase& c = GetParam();
  if (c.connection) machine.env.network_drives["M:"] = *c.connection;
  for (const auto& file : c.existing) machine.files.files[file] = {};
  if (c.own_icon) machine.icons.with_icons = {c.existing.begin(), c.existing.end()};
  auto& m = Make(c.folder);
  Paths(m, {c.listed});
  m.Timer2_Timer();
  view.hold = true;
  EXPECT_EQ(m.Icon(0).mark, marlo::ProgramMark::kUnknown);
  view.RunHeldWork();
  const marlo::ProgramLook look = m.Icon(0);
  EXPECT_EQ(look.mark, c.mark);
  EXPECT_EQ(look.icon != 0, c.mark == marlo::ProgramMark::kFound && c.own_icon);
  std::map<std::string, int> looked;
  if (!c.looked.empty()) looked[c.looked] = 1;
  EXPECT_EQ(machine.icons.looks, looked);
  EXPECT_EQ(view.redraws, 1);
}

using marlo::ProgramMark;
INSTANTIATE_TEST_SUITE_P(
    Table, IconTest,
    ::testing::Values(
        IconCase{"D:\\MENU",
                 "D:\\APPS\\X.EXE",
                 {"D:\\APPS\\X.EXE"},
                 "D:\\APPS\\X.EXE",
                 ProgramMark::kFound},
        IconCase{"D:\\MENU",
                 "D:\\APPS\\X.EXE -p D:\\DATA",
                 {"D:\\APPS\\X.EXE"},
                 "D:\\APPS\\X.EXE",
                 ProgramMark::kFound},
        IconCase{"D:\\MENU",
                 "D:\\APPS\\TOOL",
                 {"D:\\APPS\\TOOL.exe"},
                 "D:\\APPS\\TOOL.exe",
                 ProgramMark::kFound},
        IconCase{"D:\\MENU", "D:\\GONE\\X.EXE", {}, "D:\\GONE\\X.EXE", ProgramMark::kMissing},
        IconCase{"D:\\MENU",
                 "D:\\APPS\\PLAIN.EXE",
                 {"D:\\APPS\\PLAIN.EXE"},
                 "D:\\APPS\\PLAIN.EXE",
                 ProgramMark::kFound,
                 std::nullopt,
                 false},
        IconCase{"\\\\SRV\\D\\MENU",
                 "D:\\APPS\\X.EXE",
                 {"\\\\SRV\\D\\APPS\\X.EXE"},
                 "\\\\SRV\\D\\APPS\\X.EXE",
                 ProgramMark::kFound},
        // On a client, a file on the client's own D: is no program of the server's.
        IconCase{"\\\\SRV\\D\\MENU",
                 "D:\\APPS\\X.EXE",
                 {"D:\\APPS\\X.EXE"},
                 "\\\\SRV\\D\\APPS\\X.EXE",
                 ProgramMark::kMissing},
        IconCase{"\\\\SRV\\D\\MENU",
                 "\\\\OTHER\\APPS\\T.EXE /x",
                 {"\\\\OTHER\\APPS\\T.EXE"},
                 "\\\\OTHER\\APPS\\T.EXE",
                 ProgramMark::kFound},
        IconCase{"M:\\MENU",
                 "D:\\APPS\\X.EXE",
                 {"M:\\APPS\\X.EXE"},
                 "M:\\APPS\\X.EXE",
                 ProgramMark::kFound,
                 ""},
        IconCase{"M:\\MENU",
                 "D:\\APPS\\X.EXE",
                 {"\\\\FILESERVER\\APPS\\APPS\\X.EXE"},
                 "\\\\FILESERVER\\APPS\\APPS\\X.EXE",
                 ProgramMark::kFound,
                 "\\\\FILESERVER\\APPS"}));

// A client's menu of programs D:\P0.EXE, D:\P1.EXE, ..., each with an icon of its own, reached
// through the share (the server's own menu looks at one at a time).
class ManyIconsTest : public LaunchTest {
 protected:
  marlo::Master& MakeMenu(int rows) {
    Strings programs;
    for (int row = 0; row < rows; ++row) {
      programs.push_back(Program(row));
      machine.files.files[Reached(row)] = {};
      machine.icons.with_icons.insert(Reached(row));
    }
    auto& m = Make("\\\\FILESERVER\\APPS\\MENU");
    Paths(m, programs);
    m.Timer2_Timer();
    return m;
  }
  static std::string Program(int row) { return "D:\\P" + std::to_string(row) + ".EXE"; }
  static std::string Reached(int row) {
    return "\\\\FILESERVER\\APPS\\P" + std::to_string(row) + ".EXE";
  }
  static int RowOf(const std::string& program) {
    return std::stoi(program.substr(program.rfind('P') + 1));
  }
  // The window shows `count` rows from `first`, and draws those it is told to.
  void Show(marlo::Master& m, int first, int count, int drawn_from) {
    view.rows_on_screen = {first, count};
    for (int row = drawn_from; row < first + count; ++row) m.Icon(row);
  }
  std::set<int> RowsHoldingIcons() const {
    std::set<int> rows;
    for (const auto& [icon, program] : machine.icons.out) rows.insert(RowOf(program));
    return rows;
  }
};

// Scrolled through row by row, faster than its programs are looked at: a look is made only for a
// row on screen when its turn comes, four at once at the most, and the icons held are those of the
// rows on screen and the 256 drawn last besides. Each icon is let go once.
TEST_F(ManyIconsTest, AMenuScrolledThroughLooksOnlyAtRowsOnScreenAndHoldsABoundedSetOfIcons) {
  constexpr int kRows = 20000, kShown = 12;
  auto& m = MakeMenu(kRows);
  view.hold = true;
  view.begun_when_handed = true;  // a look is made at its turn, and comes back when work is taken
  int top = 0, looked_off_screen = 0, came_back = 0;
  machine.icons.looking = [&](const std::string& program) {
    looked_off_screen += RowOf(program) < top || RowOf(program) >= top + kShown;
  };
  std::size_t most_held = 0;
  for (; top + kShown <= kRows; ++top) {
    Show(m, top, kShown, top == 0 ? 0 : top + kShown - 1);  // the row scrolled into view is drawn
    if (top % 5 == 4) {  // a look comes back while five rows go by, and the rows are drawn again
      came_back += view.RunNext();
      Show(m, top, kShown, top);
    }
    ASSERT_LE(view.Waiting(marlo::Lane::kBackground), 4u) << "at row " << top;
    most_held = std::max(most_held, machine.icons.out.size());
  }
  top = kRows - kShown;
  for (; view.RunNext(); ++came_back) Show(m, top, kShown, top);
  EXPECT_EQ(looked_off_screen, 0);
  EXPECT_EQ(static_cast<int>(machine.icons.looks.size()), came_back);
  EXPECT_LT(came_back, kRows / 4) << "rows scrolled past before their turn were looked at";
  EXPECT_GE(most_held, 256u);
  EXPECT_LE(most_held, 256u + kShown);
  for (int row = top; row < kRows; ++row) EXPECT_NE(m.Icon(row).icon, 0u) << "row " << row;
  master.reset();
  EXPECT_TRUE(machine.icons.out.empty());
  EXPECT_EQ(machine.icons.bad_frees, 0);
}

// The icons let go are those of the rows drawn least recently; such a row is looked at again when
// it is drawn again. A row that left the screen before its look's turn is looked at when it is
// back.
TEST_F(ManyIconsTest, TheIconsOfTheRowsDrawnLeastRecentlyAreLetGoFirst) {
  constexpr int kPage = 10;
  auto& m = MakeMenu(300);
  view.hold = true;
  const auto page = [&](int number) {
    Show(m, number * kPage, kPage, number * kPage);
    view.RunHeldWork();
  };
  Show(m, 0, kPage, 0);
  EXPECT_EQ(view.Waiting(marlo::Lane::kBackground), 4u) << "four looks at once, and no more";
  page(1);
  page(2);
  page(0);  // drawn again: its rows go after those of pages 1 and 2
  for (int number = 3; number < 28; ++number) page(number);  // down to row 279
  std::set<int> held;
  for (int row = 0; row < 280; ++row) {
    if (row < 10 || row >= 24) held.insert(row);  // 256 and the 10 on screen
  }
  EXPECT_EQ(RowsHoldingIcons(), held);
  Show(m, 272, kPage, 280);  // two rows on
  view.RunHeldWork();
  for (const int row : {24, 25}) held.erase(row);  // drawn before 26-29, whose looks came first
  for (const int row : {280, 281}) held.insert(row);
  EXPECT_EQ(RowsHoldingIcons(), held);
  page(1);
  EXPECT_EQ(machine.icons.looks.at(Reached(10)), 2);
  EXPECT_EQ(machine.icons.looks.at(Reached(9)), 1);
}

}  // namespace
