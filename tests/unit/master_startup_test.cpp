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
  // Lets Timer3 tick as the menu sets it, for `milliseconds`, as the window does: at each tick
  // what came back is taken first (work held in a stuck lane comes back once the clock passes
  // `stuck_until`), and a tick whose taking set the timer anew is spent.
  void RunFor(std::uint64_t milliseconds, int writes = 0) {
    const std::uint64_t end = machine.clock.ticks + milliseconds;
    while (view.timer3 && machine.clock.ticks + view.timer3->count() <= end) {
      machine.clock.ticks += view.timer3->count();
      view.timer3.reset();
      if (writes-- > 0) machine.files.files[kList].bytes += "x";
      if (!view.stuck.empty() && machine.clock.ticks >= stuck_until) {
        view.stuck.clear();
        view.RunHeldWork();
      }
      if (!view.timer3) master->Timer3_Timer();
    }
  }
  std::uint64_t stuck_until = 0;
  const std::string kList = "D:\\MENU\\app.txt";

  fakes::Machine machine;
  fakes::MasterView view;
  std::unique_ptr<marlo::Master> master;
};

// The start-up in the orders the machine can give it, each step a letter: L the start log's
// work comes back, R the next of the files lane's (the list's lookup and read, then the default
// list), S the window on screen while the list is read (a slow server), where Enter and Options
// do nothing, P a list long enough to go in a slice at a time once the window is on screen, F its
// last slice, T a tick of Timer2, M the user minimises the window, X a close from outside. What is
// left comes back after the steps, and Timer2 ticks once more. Whatever the order, the start-up
// ends the same.
struct Order {
  const char* name;
  std::string steps;
};

const Order kOrders[] = {{"ListThenLog", "RLT"},
                         {"LogThenList", "LRT"},
                         {"TicksFirstAndBetween", "TRTL"},
                         {"ShownBeforeTheList", "STLR"},
                         {"ShownBeforeALongList", "SPTRTFL"},
                         {"MinimisedBeforeTheList", "SMTLR"},
                         {"ClosedFromOutside", "X"}};

const Strings kServerStep{"topmost", "stop timer"};
const Strings kClientStep{"topmost", "hide options and exit", "stop timer"};
const std::string kNotFound = "message RMX: App.txt File Not Found...";

struct StartUpCase {
  const char* name;
  std::string folder;
  std::function<void(fakes::Machine&, const std::string& list)> set_up;
  std::string log;  // user.txt after the start-up
  Strings menu;
  std::string label12, mode;
  Strings calls;  // what the window was asked, in order
  std::string default_list = "<missing>";
};

class StartUpTest : public FormLoadTest,
                    public ::testing::WithParamInterface<std::tuple<StartUpCase, Order>> {};

TEST_P(StartUpTest, EndsTheSameWhateverTheOrder) {
  const auto& [c, order] = GetParam();
  Folder(c.folder);
  const std::string list = c.folder + "\\app.txt";
  c.set_up(machine, list);
  const std::string bytes = machine.files.Text(list);
  view.hold = true;  // the list and the log are done away from the window
  Load();
  EXPECT_TRUE(view.menu.empty() && !view.shown && machine.files.reads == 0);
  for (const char step : order.steps) {
    if (step == 'L') {
      ASSERT_TRUE(view.RunNext(marlo::Lane::kBackground)) << "the log waits for the list";
    }
    if (step == 'R') view.RunNext(marlo::Lane::kFiles);
    if (step == 'S') {
      master->Form_Activate();
      master->Command1_Click();
      master->Command3_Click();
    }
    if (step == 'P') view.hold_fill = true;
    if (step == 'F' && view.filling) view.FinishFill();
    if (step == 'T') master->Timer2_Timer();
    if (step == 'M') view.minimised = true;
    if (step == 'X') view.Gone(), master.reset();
  }
  view.RunHeldWork();
  if (master) master->Timer2_Timer();
  EXPECT_EQ(machine.files.Text(c.folder + "\\user.txt"), c.log);
  EXPECT_EQ(view.last_finish_by->milliseconds, 3000u) << "the end waits 3 s for the log";
  EXPECT_EQ(machine.files.Text(list), bytes);
  EXPECT_EQ(machine.files.Text(c.folder + "\\APP.txt"), master ? c.default_list : "<missing>");
  if (!master) {
    EXPECT_TRUE(view.calls.empty() && view.menu.empty() && !view.shown);
    return;
  }
  EXPECT_EQ(view.calls, c.calls);
  EXPECT_EQ(view.menu, c.menu);
  EXPECT_EQ(Texts(master->List7()), c.menu);
  EXPECT_EQ(view.selection, c.menu.empty() ? -1 : 0);
  EXPECT_EQ(master->Label12, c.label12);
  EXPECT_EQ(view.shown, c.calls.back() != "close");
  EXPECT_EQ(view.mode, c.mode);
}

void Listed(const std::string& bytes, fakes::Machine& machine, const std::string& list) {
  machine.files.files[list].bytes = bytes;
}
auto Client(const std::string& connection) {
  return [connection](fakes::Machine& machine, const std::string& list) {
    machine.env.variables["LOGONSERVER"] = "\\\\dc1";
    machine.env.network_drives["M:"] = connection;
    Listed("Sales=D:\\S.EXE\r\n", machine, list);
  };
}
auto Attributes(marlo::DirEntry attributes) {
  // No line end: nothing may be glued to it.
  return [attributes](fakes::Machine& machine, const std::string& list) {
    machine.files.files[list] = {"Sales=D:\\S.EXE", attributes};
  };
}
const std::string kTime = " - 07/12/2026 09:05:03\r\n";
const std::string kClientLog = "dc1 - 07/12/2026 09:05:03\r\nFILESERVER - 07/12/2026 09:05:04\r\n";
const std::string kShare = "\\\\FILESERVER\\APPS\\MENU";
const Strings kSales{"Sales"};

const StartUpCase kStartUps[] = {
    {"DriveFolder",
     "D:\\MENU",
     [](fakes::Machine& machine, const std::string& list) {
       machine.env.variables["LOGONSERVER"] = "\\\\DC1";
       Listed("Sales=D:\\S.EXE\r\nStock=D:\\T.EXE\r\nPay=D:\\P.EXE", machine, list);
     },
     "DC1" + kTime,
     {"Sales", "Stock", "Pay"},
     "D:\\S.EXE",
     "SERVER",
     kServerStep},
    // A client through a share or a network drive: the logon server, then the file server (the
    // drive, where its connection is not known), each with its own time.
    {"Share", kShare, Client(""), kClientLog, kSales, "D:\\S.EXE", "CLIENT", kClientStep},
    {"NetworkDrive", "M:\\MENU", Client("\\\\FILESERVER\\APPS"), kClientLog, kSales, "D:\\S.EXE",
     "CLIENT", kClientStep},
    {"NetworkDriveNotKnown", "M:\\MENU", Client(""),
     "dc1 - 07/12/2026 09:05:03\r\nM: - 07/12/2026 09:05:04\r\n", kSales, "D:\\S.EXE", "CLIENT",
     kClientStep},
    // An empty list: an empty menu with nothing selected, and no message.
    {"UnsetLogonServerAndRegionalSeparators",
     "D:\\MENU",
     [](fakes::Machine& machine, const std::string& list) {
       machine.clock.separators = {".", "."};
       Listed("", machine, list);
     },
     " - 07.12.2026 09.05.03\r\n",
     {},
     "",
     "SERVER",
     kServerStep},
    // Other tools read the start log in the ANSI code page (the fake's is Latin-1); a name beyond
    // it loses those characters.
    {"StartLogInTheAnsiCodePage",
     "D:\\MENU",
     [](fakes::Machine& machine, const std::string& list) {
       machine.env.variables["LOGONSERVER"] = "\\\\D\xC3\x87\xD0\x94";  // \\DÇД
       Listed("", machine, list);
     },
     "D\xC7?" + kTime,
     {},
     "",
     "SERVER",
     kServerStep},
    {"StartLogThatCannotBeWritten", "D:\\MENU",
     [](fakes::Machine& machine, const std::string& list) {
       machine.files.appends_fail = true;
       Listed("Sales=D:\\S.EXE\r\n", machine, list);
     },
     "<missing>", kSales, "D:\\S.EXE", "SERVER", kServerStep},
    // A read that fails midway keeps the entries read before it, and says so once on screen.
    {"ReadFailureMidway",
     "D:\\MENU",
     [](fakes::Machine& machine, const std::string& list) {
       Listed("A=D:\\A.EXE\r\nB=D:\\B.EXE\r\nC=D:\\C.EXE\r\n", machine, list);
       machine.files.fail_read_after[list] = 15;
     },
     kTime,
     {"A"},
     "D:\\A.EXE",
     "SERVER",
     {"message RMX: App.txt could not be read completely. The menu shows the entries read before "
      "the failure.",
      "topmost", "stop timer"}},
    // An admin may hide app.txt in the share, or mark it a system file: it is the list all the
    // same, shown, logged, and never written by the start-up.
    {"HiddenList", "D:\\MENU", Attributes({false, true, false}), kTime, kSales, "D:\\S.EXE",
     "SERVER", kServerStep},
    {"SystemList", "D:\\MENU", Attributes({false, false, true}), kTime, kSales, "D:\\S.EXE",
     "SERVER", kServerStep},
    {"HiddenSystemList", "D:\\MENU", Attributes({false, true, true}), kTime, kSales, "D:\\S.EXE",
     "SERVER", kServerStep},
    // No list: two messages around the default list, no start record, and the window closes
    // without showing. Where it cannot be written, the second message says why instead of asking
    // for a restart; a folder that takes a create but refuses the write and the delete has the
    // file it left named, never taken for a list that was there before.
    {"NoList",
     "D:\\MENU",
     [](fakes::Machine&, const std::string&) {},
     "<missing>",
     {},
     "",
     "",
     {kNotFound, "message RMX: Please Re Start Programm...", "close"},
     "QFACT=D:\\MENU\\qfact.exe\r\n"},
    {"NoListOnAShare",
     kShare,
     [](fakes::Machine&, const std::string&) {},
     "<missing>",
     {},
     "",
     "",
     {kNotFound, "message RMX: Please Re Start Programm...", "close"},
     "QFACT=" + kShare + "\\qfact.exe\r\n"},
    {"AFolderInTheListsPlace",
     "D:\\MENU",
     [](fakes::Machine& machine, const std::string& list) {
       machine.files.files[list] = {"", {true}};
     },
     "<missing>",
     {},
     "",
     "",
     {kNotFound,
      "message RMX: The default list could not be written: CreateFileW(D:\\MENU\\APP.txt) "
      "failed, error 80: The file exists",
      "close"}},
    {"DefaultListRefused",
     "D:\\MENU",
     [](fakes::Machine& machine, const std::string&) { machine.files.appends_fail = true; },
     "<missing>",
     {},
     "",
     "",
     {kNotFound,
      "message RMX: The default list could not be written: CreateFileW(D:\\MENU\\APP.txt) "
      "failed, error 5: access denied",
      "close"}},
    {"DefaultListLeftEmpty",
     "D:\\MENU",
     [](fakes::Machine& machine, const std::string&) { machine.files.create_writes = false; },
     "<missing>",
     {},
     "",
     "",
     {kNotFound,
      "message RMX: The default list could not be written: WriteFile(D:\\MENU\\APP.txt) failed, "
      "error 112: There is not enough space on the disk; the file it left could not be removed",
      "close"},
     ""},
};

INSTANTIATE_TEST_SUITE_P(Table, StartUpTest,
                         ::testing::Combine(::testing::ValuesIn(kStartUps),
                                            ::testing::ValuesIn(kOrders)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" +
                                  std::get<1>(info.param).name;
                         });

TEST_F(FormLoadTest, AListBeyondSenseShowsItsFirstMillionEntriesAndSaysSo) {
  List("D:\\MENU", std::string(marlo::kMostEntries, '\r') + "Last=D:\\L.EXE\r\n");
  auto& m = Load();
  EXPECT_EQ(m.List7().size(), marlo::kMostEntries);
  EXPECT_EQ(view.calls, Strings{"message RMX: " + marlo::CutMessage(marlo::kMostEntries)});
}

// Two workstations start together in a folder without a list: the one that writes the default
// list second finds it there, writes nothing into it, and asks for a restart all the same.
TEST_F(FormLoadTest, ADefaultListAnotherWorkstationWroteAMomentAgoIsLeftAlone) {
  view.hold = true;
  Load();
  view.RunNext();  // the start log's lookup: no list, no record
  view.RunNext();  // the start-up's lookup: no list
  const std::string theirs = "QFACT=D:\\MENU\\qfact.exe\r\n";
  List("D:\\MENU", theirs);
  view.RunHeldWork();
  EXPECT_EQ(view.calls, (Strings{"message RMX: App.txt File Not Found...",
                                 "message RMX: Please Re Start Programm...", "close"}));
  EXPECT_EQ(machine.files.Text("D:\\MENU\\app.txt"), theirs);
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
  m.Timer2_Timer();
  view.calls.clear();
  m.Command3_Click();
  m.Command5_Click();
  m.Form_KeyPress('a');
  m.Form_KeyPress(27);
  EXPECT_EQ(view.calls,
            (Strings{"open options", "close", "close options", "close", "close options", "close"}));
}

}  // namespace

// An open menu follows app.txt: it looks every few seconds while on screen, reads a change once
// it stood still, keeps the chosen entry, and leaves the menu as it is when the list cannot be
// read. Each row runs 12 seconds of Timer3 after a change to the list of A, B, C.
struct FollowCase {
  const char* name;
  int chosen;            // the entry clicked before the change
  std::string new_list;  // "<gone>", "<folder>", or the new bytes
  int writes = 0;        // looks that find the new list still being written
  bool minimised = false;
  Strings shown;  // after the 12 seconds (and a restore, when minimised)
  int selected;
  int looks, reads;  // files opened for their stamp, and read, in the 12 seconds
  bool read_fails = false;
  bool start_up_read_fails = false;
  int answers_after = 0;  // the first look's answer comes back this long after it was asked (ms)
};

class FollowTest : public FormLoadTest, public ::testing::WithParamInterface<FollowCase> {};

TEST_P(FollowTest, ShowsTheListAsLastSaved) {
  const FollowCase& c = GetParam();
  List("D:\\MENU", "A=D:\\A.EXE\r\nB=D:\\B.EXE\r\nC=D:\\C.EXE\r\n");
  if (c.start_up_read_fails) machine.files.fail_read_after[kList] = 2;
  auto& m = Load();
  machine.files.fail_read_after.clear();
  m.Label5 = "SERVER";
  if (view.SelectMenuItem(c.chosen)) m.List7_Click(c.chosen);
  machine.files.stamps = machine.files.reads = 0;
  if (c.new_list == "<gone>") {
    machine.files.files.erase(kList);
  } else if (c.new_list == "<folder>") {
    machine.files.files[kList] = {"", {true, false, false}};
  } else {
    List("D:\\MENU", c.new_list);
  }
  if (c.read_fails) machine.files.fail_read_after[kList] = 2;
  view.minimised = c.minimised;
  if (c.answers_after > 0) {
    view.stuck = {marlo::Lane::kFiles};
    stuck_until = machine.clock.ticks + 3000 + c.answers_after;
  }
  RunFor(12000, c.writes);
  EXPECT_EQ(machine.files.stamps, c.looks);
  EXPECT_EQ(machine.files.reads, c.reads);
  if (c.minimised) {  // restored: looked at at once, shown within a second
    view.minimised = false;
    m.Form_Activate();
    RunFor(1000);
  }
  EXPECT_EQ(Texts(m.List7()), c.shown);
  EXPECT_EQ(view.menu, c.shown);
  EXPECT_EQ(view.selection, c.selected);
  EXPECT_EQ(m.Label12, c.selected < 0 ? "" : std::string(m.List5()[c.selected]));
  EXPECT_EQ(view.calls.size(), c.start_up_read_fails ? 1u : 0u);
  EXPECT_EQ(machine.files.Text("D:\\MENU\\user.txt").size(), 24u) << "logged once";
  EXPECT_EQ(machine.files.Text("D:\\MENU\\APP.txt"), "<missing>");
}

const Strings kAbc{"A", "B", "C"};

INSTANTIATE_TEST_SUITE_P(
    Table, FollowTest,
    ::testing::Values(
        // Looked at every 3 s; read only when changed, after it stood still for 0.7 s, and looked
        // at again after the read (a list that changed meanwhile was not read whole).
        FollowCase{"Unchanged", 1, "A=D:\\A.EXE\r\nB=D:\\B.EXE\r\nC=D:\\C.EXE\r\n", 0, false, kAbc,
                   1, 4, 0},
        FollowCase{"ChosenEntryMoved",
                   0,
                   "B=D:\\B.EXE\r\nN=D:\\N.EXE\r\nA=D:\\A.EXE\r\n",
                   0,
                   false,
                   {"B", "N", "A"},
                   2,
                   5,
                   1},
        FollowCase{"ChosenEntryGoneKeepsItsPlace",
                   2,
                   "A=D:\\A.EXE\r\nB=D:\\B.EXE\r\n",
                   0,
                   false,
                   {"A", "B"},
                   1,
                   5,
                   1},
        FollowCase{"SameCaptionOtherPath",
                   1,
                   "A=D:\\A.EXE\r\nB=D:\\B2.EXE\r\n",
                   0,
                   false,
                   {"A", "B"},
                   1,
                   5,
                   1},
        FollowCase{"EmptiedList", 1, "", 0, false, {}, -1, 5, 1},
        // Written in place (truncated, then written): read once it stood still.
        FollowCase{"StillBeingWritten", 0, "N=D:\\N.EXE\r\n", 3, false, {"N", "xxx"}, 0, 7, 1},
        // Held, gone, a folder, read in part: what is shown stays, and nothing is written.
        FollowCase{"Gone", 1, "<gone>", 0, false, kAbc, 1, 4, 0},
        FollowCase{"AFolder", 1, "<folder>", 0, false, kAbc, 1, 4, 0},
        FollowCase{"ReadInPartAtStartUp", 1, "A=D:\\A.EXE\r\nB=D:\\B.EXE\r\nC=D:\\C.EXE\r\n", 0,
                   false, kAbc, 0, 5, 1, false, true},
        FollowCase{"ReadInPart", 1, "N=D:\\N.EXE\r\nM=D:\\M.EXE\r\n", 0, false, kAbc, 1, 7, 3,
                   true},
        // A look whose answer is long in coming (a busy server; or its notice lost): the timer
        // keeps turning meanwhile, and the change is shown once it comes.
        FollowCase{"AnswerLongInComing",
                   1,
                   "N=D:\\N.EXE\r\n",
                   0,
                   false,
                   {"N"},
                   0,
                   3,
                   1,
                   false,
                   false,
                   5000},
        // Minimised: nothing is looked at; restored: shown within a second.
        FollowCase{"MinimisedThenRestored",
                   0,
                   "N=D:\\N.EXE\r\nA=D:\\A.EXE\r\n",
                   0,
                   true,
                   {"N", "A"},
                   1,
                   0,
                   0}),
    [](const auto& info) { return std::string(info.param.name); });

namespace {

// Activated a moment after a look that saw a change: the change is read as soon as it has stood
// still, not put off to the next look.
TEST_F(FormLoadTest, AnActivationRightAfterALookDoesNotPutOffAChangeSeen) {
  List("D:\\MENU", "A=D:\\A.EXE\r\n");
  Load();
  List("D:\\MENU", "N=D:\\N.EXE\r\n");
  RunFor(3000);  // the look that sees the change
  machine.clock.ticks += 200;
  master->Form_Activate();
  ASSERT_TRUE(view.timer3);
  EXPECT_EQ(view.timer3->count(), 500);
  RunFor(500);
  EXPECT_EQ(view.menu, Strings{"N"});
}

// Each program file is looked at once for a list, however often its entry is drawn; a list read
// anew keeps the icons of the paths it still has and lets the others go; a minimised menu looks
// for none, and the icons go with the menu.
TEST_F(FormLoadTest, IconsAreLookedForOnceKeptAcrossARereadAndNotWhileMinimised) {
  const Strings programs{"D:\\A.EXE", "D:\\B.EXE", "D:\\C.EXE", "D:\\N.EXE"};
  for (const auto& program : programs) machine.files.files[program] = {};
  machine.icons.with_icons = {programs.begin(), programs.end()};
  List("D:\\MENU", "A=D:\\A.EXE\r\nB=D:\\B.EXE\r\nC=D:\\C.EXE\r\n");
  auto& m = Load();
  for (const int row : {0, 1, 2}) m.Icon(row);
  EXPECT_TRUE(machine.icons.looks.empty()) << "looked for before the start-up was done";
  m.Timer2_Timer();
  for (int drawn = 0; drawn < 3; ++drawn) {
    for (const int row : {0, 1, 2}) m.Icon(row);
  }
  const std::map<std::string, int> once{{"D:\\A.EXE", 1}, {"D:\\B.EXE", 1}, {"D:\\C.EXE", 1}};
  EXPECT_EQ(machine.icons.looks, once);
  for (const auto& program : {"D:\\A.EXE", "D:\\B.EXE", "D:\\C.EXE"}) {
    EXPECT_EQ(machine.files.searched.count(program), 0u) << program << " searched for too";
  }

  List("D:\\MENU", "B=D:\\B.EXE\r\nN=D:\\N.EXE\r\nC=D:\\C.EXE\r\n");
  RunFor(3700);
  ASSERT_EQ(view.menu, (Strings{"B", "N", "C"}));
  EXPECT_EQ(machine.icons.out.size(), 2u) << "A's icon stays after A left the list";
  view.minimised = true;
  view.hold = true;
  m.Icon(1);
  EXPECT_EQ(view.Waiting(marlo::Lane::kBackground), 0u) << "a look handed over while minimised";
  view.hold = false;
  EXPECT_EQ(machine.icons.looks.count("D:\\N.EXE"), 0u) << "looked for while minimised";
  view.minimised = false;
  m.Form_Activate();
  EXPECT_EQ(m.Icon(1).mark, marlo::ProgramMark::kFound);
  EXPECT_EQ(machine.icons.looks.size(), 4u);
  EXPECT_EQ(machine.icons.looks.at("D:\\B.EXE"), 1);
  master.reset();
  EXPECT_TRUE(machine.icons.out.empty());
  EXPECT_EQ(machine.icons.bad_frees, 0);
}

}  // namespace
