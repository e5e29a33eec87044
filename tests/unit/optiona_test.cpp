#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "fakes.h"
#include "options/optiona.h"

namespace {

using marlo::ListEntry;
using Rows = std::vector<ListEntry>;
using Strings = std::vector<std::string>;

using OptionaView = fakes::OptionaView;

const std::string kList = "D:\\MENU\\app.txt";
const char* const kDriveMessage =
    "message Marlo Exe Not Found: Please install Marlo.exe in same drive, Do not Drive Change";
const char* const kSaveFirst = "message Info: Please Save Before You Close";
const char* const kNoEquals =
    "message Info: A caption, a path or a name it is shown to cannot hold \"=\".";

class OptionaTest : public ::testing::Test {
 protected:
  marlo::Optiona& Open(const std::string& list) {
    machine.files.files[kList].bytes = list;
    options = std::make_unique<marlo::Optiona>(machine.platform, view);
    options->Form_Load();
    return *options;
  }
  void Click(int row) {
    view.selected = row;
    options->LV_Click();
  }
  // Types a name and a path into the two fields.
  void Type(const std::string& name, const std::string& path) {
    view.name = name;
    view.path = path;
  }

  fakes::Machine machine;
  OptionaView view;
  std::unique_ptr<marlo::Optiona> options;
};

TEST_F(OptionaTest, SavingAtOnceWritesTheRowsBackInTheLineForm) {
  auto& o = Open("A=B=C\r\nNo equals\r\n\r\n Sales = D:\\S.EXE \r\nS=X=@SALES-*, anna=x\r\nlast=x");
  EXPECT_EQ(view.rows, (Rows{{"A", "B"},
                             {"No equals", ""},
                             {"", ""},
                             {" Sales ", " D:\\S.EXE "},
                             {"S", "X", "SALES-*, anna"},
                             {"last", "x"}}));
  EXPECT_EQ(view.selected, std::nullopt);
  o.cmdSave_Click();
  EXPECT_EQ(machine.files.Text(kList),
            "A=B\r\nNo equals=\r\n=\r\n Sales = D:\\S.EXE \r\nS=X=@SALES-*, anna\r\nlast=x\r\n");
  EXPECT_EQ(view.calls, Strings{"message Info: Save Succesfully"});
}

TEST_F(OptionaTest, AMissingListOpensEmptyAndAFirstEntryCanBeAdded) {
  machine.files.files.clear();
  options = std::make_unique<marlo::Optiona>(machine.platform, view);
  options->Form_Load();
  EXPECT_TRUE(view.rows.empty());
  Type("Sales", "d:\\s.exe");
  options->cmdNew_Click();
  options->cmdSave_Click();
  EXPECT_EQ(machine.files.Text(kList), "Sales=D:\\S.EXE\r\n");
}

TEST_F(OptionaTest, SelectCopiesTheRowIntoTheFieldsAndShowsItsPosition) {
  auto& o = Open("A=D:\\A.EXE\r\nB=D:\\B.EXE\r\n");
  Click(1);
  EXPECT_EQ(view.name, "B");
  EXPECT_EQ(view.path, "D:\\B.EXE");
  EXPECT_EQ(view.position, "2");
  EXPECT_FALSE(o.DeleteEnabled());
  view.selected.reset();  // a click beside the rows selects nothing and changes nothing
  o.LV_Click();
  EXPECT_EQ(view.name, "B");
}

struct DriveCase {
  std::string folder, path;
  bool accepted;
};

class NewDriveTest : public OptionaTest, public ::testing::WithParamInterface<DriveCase> {};

TEST_P(NewDriveTest, NewAndEditAcceptOnlyPathsOnTheMenusOwnDrive) {
  machine.env.folder = GetParam().folder;
  machine.files.files[GetParam().folder + "\\app.txt"].bytes = "A=D:\\A.EXE\r\n";
  options = std::make_unique<marlo::Optiona>(machine.platform, view);
  options->Form_Load();
  Type("New", GetParam().path);
  options->cmdNew_Click();
  Click(0);
  Type("Edited", GetParam().path);
  options->cmdEdit_Click();
  if (GetParam().accepted) {
    EXPECT_EQ(view.rows.size(), 2u);
    EXPECT_EQ(view.rows[0].caption, "EDITED");
    EXPECT_EQ(view.calls, Strings{kSaveFirst});
  } else {
    EXPECT_EQ(view.rows, (Rows{{"A", "D:\\A.EXE"}}));
    EXPECT_EQ(view.calls, (Strings{kDriveMessage, kDriveMessage}));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, NewDriveTest,
    ::testing::Values(DriveCase{"D:\\MENU", "D:\\X.EXE", true},
                      DriveCase{"D:\\MENU", "d:\\x.exe", true},
                      DriveCase{"d:\\menu", "D:\\X.EXE", true},
                      DriveCase{"D:\\MENU", "E:\\X.EXE", false}, DriveCase{"D:\\MENU", "", false},
                      DriveCase{"D:\\MENU", "\\\\SRV\\X.EXE", false},
                      DriveCase{"D:\\MENU", "\"d:\\my apps\\q.exe\" -Name x", true},
                      DriveCase{"D:\\MENU", "\"E:\\X.EXE\"", false}));

TEST_F(OptionaTest, NewKeepsTheTypedNameAndUpperCasesThePathBelowTheSelectedRow) {
  auto& o = Open("A=D:\\A.EXE\r\nB=D:\\B.EXE\r\nC=D:\\C.EXE\r\n");
  Click(1);
  Type("Pay Roll", "d:\\pay\\first.exe");
  o.cmdNew_Click();
  view.path = "d:\\pay\\second.exe";
  o.cmdNew_Click();
  EXPECT_EQ(view.rows, (Rows{{"A", "D:\\A.EXE"},
                             {"B", "D:\\B.EXE"},
                             {"Pay Roll", "D:\\PAY\\SECOND.EXE"},
                             {"Pay Roll", "D:\\PAY\\FIRST.EXE"},
                             {"C", "D:\\C.EXE"}}));
  EXPECT_EQ(view.selected, 1);
  EXPECT_EQ(view.name, "Pay Roll");  // nothing clears the fields
  EXPECT_TRUE(view.calls.empty());
}

// The program in upper case, its arguments and the names it is shown to as typed.
TEST_F(OptionaTest, NewAndEditUpperCaseTheProgramAndKeepItsArgumentsAndAudience) {
  const std::pair<std::string, std::string> paths[] = {
      {"d:\\apps\\rep.exe /Daily \"Q1 Report.xlsx\"",
       "D:\\APPS\\REP.EXE /Daily \"Q1 Report.xlsx\""},
      {"\"d:\\my apps\\q.exe\" -Name x", "\"D:\\MY APPS\\Q.EXE\" -Name x"},
      {"d:\\program files\\x.exe", "D:\\PROGRAM FILES\\X.EXE"},
      {"d:\\apps\\x", "D:\\APPS\\X"}};
  for (const auto& [typed, stored] : paths) {
    auto& o = Open("A=D:\\A.EXE\r\n");
    Click(0);
    Type("Pay", typed);
    view.audience = "@Sales-*, anna";
    o.cmdNew_Click();
    view.audience = "Stock";
    o.cmdEdit_Click();
    EXPECT_EQ(view.rows, (Rows{{"PAY", stored, "Stock"}, {"Pay", stored, "Sales-*, anna"}}));
  }
  view.audience = "x=y";
  view.calls.clear();
  options->cmdNew_Click();
  EXPECT_EQ(view.calls, Strings{kNoEquals});
}

TEST_F(OptionaTest, EditUpperCasesBothFieldsAndAsksForASave) {
  auto& o = Open("A=D:\\A.EXE\r\nB=D:\\B.EXE\r\n");
  Click(0);
  Type("Pay Roll", "d:\\pay.exe");
  o.cmdEdit_Click();
  EXPECT_EQ(view.rows, (Rows{{"PAY ROLL", "D:\\PAY.EXE"}, {"B", "D:\\B.EXE"}}));
  EXPECT_EQ(view.calls, Strings{kSaveFirst});
}

TEST_F(OptionaTest, DeleteNeedsADoubleClickFirstAndStaysEnabled) {
  auto& o = Open("A=1\r\nB=2\r\nC=3\r\n");
  Click(0);
  o.cmdDelete_Click();  // the button is still disabled
  EXPECT_EQ(view.rows.size(), 3u);
  o.LV_DblClick();
  EXPECT_TRUE(view.delete_enabled);
  o.cmdDelete_Click();
  EXPECT_EQ(view.rows, (Rows{{"B", "2"}, {"C", "3"}}));
  EXPECT_EQ(view.calls, Strings{kSaveFirst});
  Click(1);
  o.cmdDelete_Click();
  EXPECT_EQ(view.rows, (Rows{{"B", "2"}}));
  EXPECT_TRUE(o.DeleteEnabled());
}

TEST_F(OptionaTest, EditAndDeleteWithoutASelectedRowDoNothing) {
  auto& o = Open("A=1\r\n");
  o.LV_DblClick();
  view.selected.reset();
  o.cmdEdit_Click();
  o.cmdDelete_Click();
  EXPECT_EQ(view.rows, (Rows{{"A", "1"}}));
  EXPECT_TRUE(view.calls.empty());
}

TEST_F(OptionaTest, BrowsePutsTheDialogsFileNameIntoThePathField) {
  auto& o = Open("");
  view.path = "typed";
  view.browse_result = std::nullopt;  // cancelled: the typed path stays
  o.cmdBrowse_Click();
  EXPECT_EQ(view.path, "typed");
  view.browse_result = "D:\\APPS\\X.EXE";
  o.cmdBrowse_Click();
  EXPECT_EQ(view.path, "D:\\APPS\\X.EXE");
  EXPECT_EQ(view.calls, (Strings{"browse Any Files |*.exe", "browse Any Files |*.exe"}));
}

TEST_F(OptionaTest, EscapeGoesBackToTheMainWindowAndCloseEndsTheProgram) {
  auto& o = Open("");
  o.txtName_KeyPress('x');
  o.txtName_KeyPress(27);
  o.Form_KeyPress(27);
  o.cmdClose_Click();
  EXPECT_EQ(view.calls,
            (Strings{"open main", "close", "open main", "close", "close main", "close"}));
}

TEST_F(OptionaTest, AnEmptyListSavesAsAZeroByteFile) {
  auto& o = Open("A=1\r\n");
  o.LV_DblClick();
  Click(0);
  o.cmdDelete_Click();
  o.cmdSave_Click();
  EXPECT_EQ(machine.files.Text(kList), "");
}

// A save keeps the form the list was read in (the fake ANSI code page is Latin-1); a row the
// code page cannot hold turns the whole list into UTF-8 with a mark.
struct FormCase {
  std::string list, typed, saved;
};

class SaveFormTest : public OptionaTest, public ::testing::WithParamInterface<FormCase> {};

TEST_P(SaveFormTest, SavesInTheFormTheListWasReadIn) {
  auto& o = Open(GetParam().list);
  Type(GetParam().typed, "D:\\N.EXE");
  o.cmdNew_Click();
  o.cmdSave_Click();
  EXPECT_EQ(machine.files.Text(kList), GetParam().saved);
}

using namespace std::string_literals;
const std::string kMark = "\xEF\xBB\xBF";
const std::string kCafe = "Caf\xC3\xA9";                                // Café in UTF-8
const std::string kSklad = "\xD0\xA1\xD0\xBA\xD0\xBB\xD0\xB0\xD0\xB4";  // Склад

INSTANTIATE_TEST_SUITE_P(
    Forms, SaveFormTest,
    ::testing::Values(
        FormCase{"", kCafe, "Caf\xE9=D:\\N.EXE\r\n"},
        FormCase{"B\xFC=1\r\n", kCafe, "B\xFC=1\r\nCaf\xE9=D:\\N.EXE\r\n"},
        FormCase{"B\xFC=1\r\n", kSklad, kMark + "B\xC3\xBC=1\r\n" + kSklad + "=D:\\N.EXE\r\n"},
        FormCase{kSklad + "=1\r\n", kCafe, kSklad + "=1\r\n" + kCafe + "=D:\\N.EXE\r\n"},
        FormCase{kMark + "A=1\r\n", kCafe, kMark + "A=1\r\n" + kCafe + "=D:\\N.EXE\r\n"},
        // A first caption that would read as a UTF-16 mark in the ANSI code page.
        FormCase{"", "\xC3\xBF\xC3\xBE", kMark + "\xC3\xBF\xC3\xBE=D:\\N.EXE\r\n"},
        // UTF-16 big-endian: Склад in its units.
        FormCase{"\xFE\xFF\0A\0=\0001\0\r\0\n"s, kSklad,
                 "\xFE\xFF\0A\0=\0001\0\r\0\n\x04\x21\x04\x3A\x04\x3B\x04\x30\x04\x34"
                 "\0=\0D\0:\0\\\0N\0.\0E\0X\0E\0\r\0\n"s}));

// Letters typed in the list go to the next row they begin, in either case, on from the top past
// the end; a program asking the list may want a whole name.
struct FindCase {
  std::string typed;
  int start;
  bool whole;
  std::optional<int> row;
};

class FindRowTest : public OptionaTest, public ::testing::WithParamInterface<FindCase> {};

TEST_P(FindRowTest, FindsTheNextRowTheTypedLettersBegin) {
  auto& o =
      Open("Alpha=1\r\nTape=2\r\ntools=3\r\nTop=4\r\n" + kSklad + "=5\r\n" + kCafe + "=6\r\n");
  EXPECT_EQ(o.FindRow(GetParam().typed, GetParam().start, GetParam().whole), GetParam().row)
      << GetParam().typed << " from " << GetParam().start;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FindRowTest,
    ::testing::Values(FindCase{"t", 0, false, 1}, FindCase{"t", 2, false, 2},
                      FindCase{"TO", 1, false, 2}, FindCase{"to", 3, false, 3},
                      FindCase{"to", 4, false, 2}, FindCase{"al", -1, false, 0},
                      FindCase{"al", 99, false, 0}, FindCase{"tx", 0, false, std::nullopt},
                      FindCase{"", 0, false, std::nullopt},
                      FindCase{"\xD0\xA1\xD0\xBA", 0, false, 4},
                      FindCase{"CAF\xC3\xA9", 0, false, 5}, FindCase{"top", 0, true, 3},
                      FindCase{"To", 0, true, std::nullopt}));

class FailingSaveTest : public OptionaTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(FailingSaveTest, LeavesTheOldListAndNoTemporaryFileAndSaysSo) {
  const std::string old_list = "A=D:\\A.EXE\r\nB=D:\\B.EXE\r\n";
  auto& o = Open(old_list);
  const bool too_big = GetParam() == "more than the menu reads";
  Type(too_big ? std::string(marlo::kMostListBytes, 'C') : "C", "D:\\C.EXE");
  o.cmdNew_Click();
  machine.files.fail_step = GetParam();
  o.cmdSave_Click();

  EXPECT_EQ(machine.files.Text(kList), old_list);
  EXPECT_EQ(machine.files.files.size(), 1u) << "a temporary file was left behind";
  ASSERT_EQ(view.calls.size(), 1u);
  EXPECT_EQ(view.calls[0].rfind("message Save Failed: The list was NOT saved: ", 0), 0u)
      << view.calls[0];
  EXPECT_EQ(view.rows.size(), 3u);
  if (too_big) return;

  machine.files.fail_step.clear();  // the rows are still there to be saved again
  o.cmdSave_Click();
  EXPECT_EQ(machine.files.Text(kList), old_list + "C=D:\\C.EXE\r\n");
}

INSTANTIATE_TEST_SUITE_P(EachStep, FailingSaveTest,
                         ::testing::Values("look", "read-only", "create", "write", "keep",
                                           "replace", "more than the menu reads"));

TEST_F(OptionaTest, NewAndEditRefuseAnEqualsSignInEitherField) {
  const std::string list = "A=D:\\A.EXE\r\n";
  auto& o = Open(list);
  const std::pair<std::string, std::string> fields[] = {
      {"Pay=Roll", "D:\\PAY.EXE"}, {"Pay", "D:\\PAY=2.EXE"}, {"=", "="}};
  for (const auto& [name, path] : fields) {
    Click(0);
    Type(name, path);
    view.calls.clear();
    o.cmdNew_Click();
    o.cmdEdit_Click();
    EXPECT_EQ(view.calls, (Strings{kNoEquals, kNoEquals})) << name << " " << path;
    EXPECT_EQ(view.rows, (Rows{{"A", "D:\\A.EXE"}}));
  }
  o.cmdSave_Click();
  EXPECT_EQ(machine.files.Text(kList), list);
}

const char* const kChanged =
    "ask2 Save: app.txt was changed since this window read it.\r\nReplace it with this list?";
const char* const kUnread =
    "ask2 Save: app.txt could not be read completely when this window opened.\r\n"
    "Replace it with this list?";
const char* const kSaved = "message Info: Save Succesfully";

TEST_F(OptionaTest, ASaveOverAListChangedSinceItWasReadAsksFirst) {
  auto& o = Open("A=D:\\A.EXE\r\n");
  const std::string theirs = "A=D:\\A.EXE\r\nTheirs=D:\\T.EXE\r\n";
  machine.files.files[kList].bytes = theirs;
  view.answers = {marlo::Answer::kNo, marlo::Answer::kYes};
  o.cmdSave_Click();
  EXPECT_EQ(view.calls, Strings{kChanged});
  EXPECT_EQ(machine.files.Text(kList), theirs);
  EXPECT_EQ(machine.files.temporaries, 0);
  o.cmdSave_Click();
  EXPECT_EQ(view.calls, (Strings{kChanged, kChanged, kSaved}));
  EXPECT_EQ(machine.files.Text(kList), "A=D:\\A.EXE\r\n");
  // What this window wrote is what it knows now: the next save does not ask.
  view.calls.clear();
  o.cmdSave_Click();
  EXPECT_EQ(view.calls, Strings{kSaved});
}

TEST_F(OptionaTest, AListRemovedOrCreatedSinceItWasReadCountsAsChanged) {
  auto& o = Open("A=1\r\n");
  machine.files.files.erase(kList);
  o.cmdSave_Click();
  EXPECT_EQ(view.calls, Strings{kChanged});
  EXPECT_EQ(machine.files.Text(kList), "<missing>");

  machine.files.files.clear();
  view.calls.clear();
  options = std::make_unique<marlo::Optiona>(machine.platform, view);
  options->Form_Load();  // no list at all: nothing to lose
  options->cmdSave_Click();
  EXPECT_EQ(view.calls, Strings{kSaved});
}

TEST_F(OptionaTest, AListNotReadToItsEndAsksBeforeASaveDropsWhatWasNotRead) {
  machine.files.files[kList].bytes = "A=1\r\nB=2\r\nC=3\r\n";
  machine.files.fail_read_after[kList] = 7;
  options = std::make_unique<marlo::Optiona>(machine.platform, view);
  options->Form_Load();
  EXPECT_EQ(view.rows, (Rows{{"A", "1"}}));
  view.answers = {marlo::Answer::kNo};
  options->cmdSave_Click();
  EXPECT_EQ(view.calls, Strings{kUnread});
  EXPECT_EQ(machine.files.Text(kList), "A=1\r\nB=2\r\nC=3\r\n");
}

// A list beyond sense opens with its first million rows, says so, and a save asks first.
TEST_F(OptionaTest, AListCutWhenReadSaysSoAndASaveAsksFirst) {
  const std::string list = std::string(marlo::kMostEntries + 1, '\r');
  Open(list);
  EXPECT_EQ(view.rows.size(), marlo::kMostEntries);
  view.answers = {marlo::Answer::kNo};
  options->cmdSave_Click();
  EXPECT_EQ(view.calls, (Strings{"message RMX: " + marlo::CutMessage(marlo::kMostEntries),
                                 "ask2 Save: app.txt holds more than this window shows.\r\n"
                                 "Replace it with this list?"}));
  EXPECT_EQ(machine.files.Text(kList), list);
}

const char* const kSaveChanges = "ask3 Save: Save the changes to the list?";

// Close, Esc and the frame each leave the window; with changes not saved they ask first.
struct LeaveCase {
  std::string how;
  std::vector<marlo::Answer> answers;
  bool save_fails;
  Strings calls;
  bool written;
};

class LeaveTest : public OptionaTest, public ::testing::WithParamInterface<LeaveCase> {
 protected:
  // Leaves the window; true when it went.
  bool Leave(marlo::Optiona& o, const std::string& how) {
    const std::size_t before = view.calls.size();
    bool went = true;
    if (how == "close") o.cmdClose_Click();
    if (how == "escape") o.txtName_KeyPress(27);
    if (how == "frame") went = o.Form_QueryUnload();
    if (how != "frame") {
      went = std::find(view.calls.begin() + before, view.calls.end(), "close") != view.calls.end();
    }
    return went;
  }
};

TEST_P(LeaveTest, AsksBeforeDroppingChanges) {
  const LeaveCase& c = GetParam();
  for (const std::string how : {"close", "escape", "frame"}) {
    view.calls.clear();
    machine.files.files.clear();
    auto& o = Open("A=D:\\A.EXE\r\n");
    o.LV_DblClick();
    Click(0);
    o.cmdDelete_Click();
    view.calls.clear();
    view.answers = c.answers;
    machine.files.fail_step = c.save_fails ? "replace" : "";
    const bool went = Leave(o, how);
    Strings calls = c.calls;
    if (went && how == "close") calls.insert(calls.end(), {"close main", "close"});
    if (went && how == "escape") calls.insert(calls.end(), {"open main", "close"});
    EXPECT_EQ(view.calls, calls) << how;
    const bool should_go = c.calls.empty() || c.answers.front() == marlo::Answer::kNo ||
                           (c.answers.front() == marlo::Answer::kYes && !c.save_fails);
    EXPECT_EQ(went, should_go) << how;
    EXPECT_EQ(machine.files.Text(kList), c.written ? "" : "A=D:\\A.EXE\r\n") << how;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, LeaveTest,
    ::testing::Values(LeaveCase{"cancel", {marlo::Answer::kCancel}, false, {kSaveChanges}, false},
                      LeaveCase{"no", {marlo::Answer::kNo}, false, {kSaveChanges}, false},
                      LeaveCase{"yes", {marlo::Answer::kYes}, false, {kSaveChanges, kSaved}, true},
                      LeaveCase{"yes, save fails",
                                {marlo::Answer::kYes},
                                true,
                                {kSaveChanges,
                                 "message Save Failed: The list was NOT saved: app.txt could not "
                                 "be replaced (SetFileInformationByHandle(D:\\MENU\\app.txt) "
                                 "failed, error 32: sharing violation).\r\napp.txt still holds "
                                 "the list as it was before this save."},
                                false}),
    [](const auto& info) {
      std::string name = info.param.how;
      for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      return name;
    });

// Alt+Up, Alt+Down and a drop: the selected row goes to the place given, and stays selected; a
// place beyond either end moves nothing. A move is a change not saved.
TEST_F(OptionaTest, AMovedRowGoesToItsPlaceStaysSelectedAndIsSavedThere) {
  const struct {
    int selected, to;
    std::string order;
  } moves[] = {{1, 0, "BAC"},  {1, 2, "ACB"}, {0, 2, "BCA"}, {2, 0, "CAB"},
               {0, -1, "ABC"}, {2, 3, "ABC"}, {1, 1, "ABC"}};
  for (const auto& move : moves) {
    auto& o = Open("A=D:\\A.EXE\r\nB=D:\\B.EXE\r\nC=D:\\C.EXE=@anna\r\n");
    Click(move.selected);
    o.LV_MoveRow(move.to);
    std::string order;
    for (const auto& row : view.rows) order += row.caption;
    EXPECT_EQ(order, move.order) << move.selected << " to " << move.to;
    EXPECT_EQ(view.selected, order == "ABC" ? move.selected : move.to);
    EXPECT_EQ(o.Form_QueryUnload(), order == "ABC");  // asked, and cancelled
  }
  Click(2);
  options->LV_MoveRow(0);
  options->cmdSave_Click();
  EXPECT_EQ(machine.files.Text(kList), "C=D:\\C.EXE=@anna\r\nA=D:\\A.EXE\r\nB=D:\\B.EXE\r\n");
}

TEST_F(OptionaTest, WithoutChangesNothingIsAskedOnTheWayOut) {
  auto& o = Open("A=D:\\A.EXE\r\n");
  Click(0);
  Type("B", "D:\\B.EXE");
  o.cmdNew_Click();
  o.cmdSave_Click();  // saved: no longer a change
  view.calls.clear();
  EXPECT_TRUE(o.Form_QueryUnload());
  o.cmdClose_Click();
  EXPECT_EQ(view.calls, (Strings{"close main", "close"}));
}

// The rows' programs are looked at as the rows are drawn, away from the window, each path once, and
// a row gets its program's own icon (or none, for the system's) or the mark of a missing one.
TEST_F(OptionaTest, RowsAreMarkedByWhetherTheirProgramExistsAskedOnceAsTheyAreDrawn) {
  machine.files.files["D:\\A.EXE"] = {};
  machine.icons.with_icons = {"D:\\A.EXE"};
  view.hold = true;
  auto& o = Open("A=D:\\A.EXE\r\nB=D:\\GONE.EXE\r\nA2=D:\\A.EXE\r\n");
  for (const int row : {0, 1, 2, 1}) EXPECT_EQ(o.RowMark(row), marlo::ProgramMark::kUnknown);
  EXPECT_EQ(view.pieces.size(), 2u) << "one look a path, the two at once";
  view.RunHeldWork();
  EXPECT_EQ(view.redraws, 2);
  EXPECT_EQ(machine.files.searches, 0) << "a plain path is told there by reading its icon";
  EXPECT_EQ(machine.icons.looks,
            (std::map<std::string, int>{{"D:\\A.EXE", 1}, {"D:\\GONE.EXE", 1}}));
  EXPECT_EQ(o.RowMark(2), marlo::ProgramMark::kFound);
  EXPECT_NE(o.RowLook(0).icon, 0u);
  EXPECT_EQ(o.RowMark(1), marlo::ProgramMark::kMissing);
  EXPECT_EQ(o.RowTip(1), "program not found");
  EXPECT_EQ(o.RowTip(0), "Double Click to Select for Delete");
  EXPECT_EQ(o.RowTip(7), "Double Click to Select for Delete");

  // Edit points the row at a program: its path is looked at afresh, even one known before.
  Click(1);
  Type("B", "D:\\A.EXE");
  o.cmdEdit_Click();
  EXPECT_EQ(o.RowMark(1), marlo::ProgramMark::kUnknown);
  view.RunHeldWork();
  EXPECT_EQ(o.RowMark(1), marlo::ProgramMark::kFound);
  EXPECT_EQ(machine.icons.looks.at("D:\\A.EXE"), 2);
  EXPECT_EQ(machine.icons.out.size(), 1u) << "the icon looked at before was let go";
  options.reset();
  EXPECT_TRUE(machine.icons.out.empty() && machine.icons.bad_frees == 0) << "icons not let go";
}

}  // namespace
