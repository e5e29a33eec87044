// The Options window driven for real under Wine: opening it from the menu, editing with the
// mouse and keyboard, saving, the file dialog, going back and closing, and saves that fail.
#include <gtest/gtest.h>

#include <thread>

#include "harness.h"
// After windows.h, which it needs.
#include <commctrl.h>

#include "main_window/master_ids.h"
#include "options/optiona_ids.h"

namespace {

using namespace e2e;
namespace master = marlo::master_ids;
namespace ids = marlo::optiona_ids;
using Rows = std::vector<std::pair<std::string, std::string>>;
using Names = std::vector<std::string>;

const std::string kMenu = "D:\\MENU";
const std::string kList = kMenu + "\\app.txt";
const std::string kThreeRows = "A=D:\\A.EXE\r\nB=D:\\B.EXE\r\nC=D:\\C.EXE\r\n";

std::vector<std::string> TemporaryFiles() {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((kMenu + "\\*.tmp").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do names.emplace_back(data.cFileName);
  while (FindNextFileA(find, &data));
  FindClose(find);
  return names;
}

class OptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFolder(kMenu);
    CopyProgram("Marlo.exe", kMenu + "\\Marlo.exe");
  }

  // Starts the menu in `folder` on `list` and opens the Options window with its "Options" button.
  HWND OpenOptions(const std::string& list, const std::string& folder = kMenu) {
    WriteBytes(folder + "\\app.txt", list);
    marlo_ = std::make_unique<Process>(folder + "\\Marlo.exe", "\\\\DC1");
    HWND main = marlo_->WaitForWindow(master::kWindowClass);
    if (main == nullptr) return nullptr;
    WaitUntil([&] { return WindowText(GetDlgItem(main, master::kLabel5)) == "SERVER"; });
    ClickControl(GetDlgItem(main, master::kCommand3));
    HWND options = marlo_->WaitForWindow(ids::kWindowClass, "Main Menu Options");
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(main); })) << "the main window stayed open";
    return options;
  }

  // Waits for a message box, checks it and presses OK.
  void Answer(const std::string& title, const std::string& text) {
    HWND box = marlo_->WaitForWindow("#32770", title);
    ASSERT_NE(box, nullptr) << "no box titled " << title;
    EXPECT_EQ(MessageBoxText(box), text);
    PressOk(box);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  }

  static HWND Item(HWND options, int id) { return GetDlgItem(options, id); }

  // Waits for a question box, checks its text and clicks the answer.
  void Answer(const std::string& title, const std::string& text, int button) {
    HWND box = marlo_->WaitForWindow("#32770", title);
    ASSERT_NE(box, nullptr) << "no box titled " << title;
    EXPECT_EQ(MessageBoxText(box), text);
    ClickBoxButton(box, button);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  }
  // Arms Delete with a double-click on the first row, and deletes it.
  void DeleteFirstRow(HWND options) {
    ClickListViewRow(Item(options, ids::kLV), 0, true);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(Item(options, ids::kCmdDelete)) != 0; }));
    ClickControl(Item(options, ids::kCmdDelete));
    Answer("Info", "Please Save Before You Close");
  }
  void ExpectNoBox() {
    Sleep(400);
    EXPECT_EQ(marlo_->FindWindowOf("#32770"), nullptr);
  }

  // Save cannot replace app.txt: the failure box, the old list as it was, no file left behind.
  void ExpectSaveRefused(HWND options) {
    ClickControl(Item(options, ids::kCmdSave));
    HWND box = marlo_->WaitForWindow("#32770", "Save Failed");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box).rfind("The list was NOT saved: app.txt could not be replaced", 0),
              0u)
        << MessageBoxText(box);
    PressOk(box);
    EXPECT_EQ(ReadBytes(kList).value_or("<missing>"), kThreeRows);
    EXPECT_TRUE(TemporaryFiles().empty());
  }

  std::unique_ptr<Process> marlo_;
};

TEST_F(OptionsTest, OpensFromTheMenuWithTheRowsOfTheList) {
  HWND options = OpenOptions("A=D:\\A.EXE\r\nNo equals\r\n\r\nX=Y=Z\r\n");
  ASSERT_NE(options, nullptr);
  EXPECT_EQ(ListViewRows(Item(options, ids::kLV)),
            (Rows{{"A", "D:\\A.EXE"}, {"No equals", ""}, {"", ""}, {"X", "Y"}}));
  EXPECT_FALSE(IsWindowEnabled(Item(options, ids::kCmdDelete)));
  EXPECT_EQ(WindowText(Item(options, ids::kLblTitle)), "Main Menu Settings");
  RECT client;
  GetClientRect(options, &client);
  EXPECT_EQ(client.right, 593);
  EXPECT_EQ(client.bottom, 497);

  // Names as a screen reader takes them: a button's own text; the visible label right before a
  // field or the list in the window order.
  const std::pair<int, std::string> names[] = {{ids::kCmdBrowse, "Browse"},
                                               {ids::kCmdNew, "New"},
                                               {ids::kCmdEdit, "Edit"},
                                               {ids::kCmdSave, "Save"},
                                               {ids::kCmdDelete, "Delete"},
                                               {ids::kCmdClose, "Close"},
                                               {ids::kTxtName, "Application Name"},
                                               {ids::kTxtAudience, "Shown To"},
                                               {ids::kTxtPath, "Application Path"},
                                               {ids::kLV, "Main Menu Settings"}};
  for (const auto& [id, name] : names) {
    HWND named = Item(options, id);
    char kind[32] = {};
    GetClassNameA(named, kind, sizeof kind);
    if (lstrcmpiA(kind, "Button") != 0) named = GetWindow(named, GW_HWNDPREV);
    GetClassNameA(named, kind, sizeof kind);
    EXPECT_TRUE(lstrcmpiA(kind, "Button") == 0 || lstrcmpiA(kind, "Static") == 0) << kind;
    EXPECT_TRUE(IsWindowVisible(named)) << name;
    EXPECT_EQ(WindowText(named), name);
  }
  // The "Shown To" caption in the colours of the others (its place and column: the window test).
  EXPECT_EQ(ClientPixel(options, 306, 34), RGB(128, 128, 255));
  // The focus order is the program's own (Delete, disabled, is passed over), and goes round.
  ClickControl(Item(options, ids::kTxtName));
  for (const int id : {ids::kTxtAudience, ids::kTxtPath, ids::kCmdBrowse, ids::kCmdSave,
                       ids::kCmdClose, ids::kLV, ids::kCmdNew, ids::kCmdEdit, ids::kTxtName}) {
    PressKey(VK_TAB);
    EXPECT_TRUE(WaitUntil([&] {
      GUITHREADINFO thread{};
      thread.cbSize = sizeof thread;
      GetGUIThreadInfo(GetWindowThreadProcessId(options, nullptr), &thread);
      return thread.hwndFocus == Item(options, id);
    })) << id;
  }
}

// By keys alone: the fields follow the selection, so Edit writes the row the selection is on;
// letters typed in quick succession go to the row they begin; Alt+Up and Alt+Down move the
// selected row one place, not past either end, and open no menu; Enter on a row arms Delete.
TEST_F(OptionsTest, TheListByKeyboard) {
  HWND options =
      OpenOptions("Alpha=D:\\A.EXE\r\nBeta=D:\\B.EXE\r\nTape=D:\\T.EXE\r\nTools=D:\\X.EXE\r\n");
  ASSERT_NE(options, nullptr);
  HWND lv = Item(options, ids::kLV);
  HWND name = Item(options, ids::kTxtName);
  ClickListViewRow(lv, 0);
  ASSERT_TRUE(WaitUntil([&] { return WindowText(name) == "Alpha"; }));
  PressKey(VK_DOWN);
  EXPECT_TRUE(WaitUntil([&] { return WindowText(name) == "Beta"; }));
  EXPECT_EQ(WindowText(Item(options, ids::kLblPosition)), "2");
  TypeInto(name, "Gamma");
  ClickControl(Item(options, ids::kCmdEdit));
  Answer("Info", "Please Save Before You Close");
  EXPECT_EQ(ListViewRows(lv)[0].first, "Alpha");
  EXPECT_EQ(ListViewRows(lv)[1].first, "GAMMA");

  ClickListViewRow(lv, 0);
  TypeText("to");  // past "Tape" to "Tools"
  EXPECT_TRUE(WaitUntil([&] { return WindowText(name) == "Tools"; }));
  // After a pause a search starts anew from the next row, and goes on past the end.
  for (const auto& [typed, row] : {std::pair{"t", "Tape"}, std::pair{"a", "Alpha"}}) {
    Sleep(1500);
    TypeText(typed);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(name) == row; })) << typed;
  }
  PressKey(VK_UP, VK_MENU);
  PressKey(VK_DOWN, VK_MENU);
  EXPECT_TRUE(WaitUntil([&] { return ListViewColumn(lv, 0)[1] == "Alpha"; }));
  EXPECT_EQ(WindowText(Item(options, ids::kLblPosition)), "2");
  PressKey(VK_END);
  PressKey(VK_DOWN, VK_MENU);
  PressKey(VK_UP, VK_MENU);
  const Names moved{"GAMMA", "Alpha", "Tools", "Tape"};
  EXPECT_TRUE(WaitUntil([&] { return ListViewColumn(lv, 0) == moved; }));

  EXPECT_FALSE(IsWindowEnabled(Item(options, ids::kCmdDelete)));
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(Item(options, ids::kCmdDelete)) != 0; }));
  ClickControl(Item(options, ids::kCmdDelete));
  Answer("Info", "Please Save Before You Close");
  ClickControl(Item(options, ids::kCmdSave));
  Answer("Info", "Save Succesfully");
  EXPECT_EQ(ReadBytes(kList).value_or("<missing>"),
            "GAMMA=D:\\B.EXE\r\nAlpha=D:\\A.EXE\r\nTape=D:\\T.EXE\r\n");
}

// The names a row is shown to come back as they were, and as typed (not in upper case); a field
// emptied makes the row one for everyone.
TEST_F(OptionsTest, NewEditDeleteAndSaveGiveTheExactBytes) {
  HWND options =
      OpenOptions("A=D:\\A.EXE=@Old\r\nB=D:\\B.EXE=@SALES-*, Accounts\r\nC=D:\\C.EXE\r\n");
  ASSERT_NE(options, nullptr);
  HWND lv = Item(options, ids::kLV);
  HWND name = Item(options, ids::kTxtName);
  HWND path = Item(options, ids::kTxtPath);
  HWND shown_to = Item(options, ids::kTxtAudience);
  EXPECT_EQ(ListViewColumn(lv, 2), (Names{"Old", "SALES-*, Accounts", ""}));

  ClickListViewRow(lv, 1);
  ASSERT_TRUE(WaitUntil([&] { return WindowText(name) == "B"; }));
  EXPECT_EQ(WindowText(path), "D:\\B.EXE");
  EXPECT_EQ(WindowText(shown_to), "SALES-*, Accounts");
  EXPECT_EQ(WindowText(Item(options, ids::kLblPosition)), "2");

  // New: below the selected row, the name as typed, the path in upper case.
  TypeInto(name, "Pay Roll");
  TypeInto(path, "d:\\pay\\pay.exe");
  TypeInto(shown_to, "Wages, North-PC");
  ClickControl(Item(options, ids::kCmdNew));
  ASSERT_TRUE(WaitUntil([&] { return ListViewRows(lv).size() == 4; }));
  EXPECT_EQ(ListViewRows(lv)[2],
            (std::pair<std::string, std::string>{"Pay Roll", "D:\\PAY\\PAY.EXE"}));

  // A path on another drive is refused.
  TypeInto(path, "e:\\x.exe");
  ClickControl(Item(options, ids::kCmdNew));
  Answer("Marlo Exe Not Found", "Please install Marlo.exe in same drive, Do not Drive Change");
  EXPECT_EQ(ListViewRows(lv).size(), 4u);

  // Edit: the name and the path in upper case, and no names left to show the row to.
  ClickListViewRow(lv, 0);
  ASSERT_TRUE(WaitUntil([&] { return WindowText(name) == "A"; }));
  TypeInto(name, "Sales");
  TypeInto(path, "d:\\sales\\s.exe");
  TypeInto(shown_to, "");
  ClickControl(Item(options, ids::kCmdEdit));
  Answer("Info", "Please Save Before You Close");

  // Delete: armed by a double-click on the list.
  ClickListViewRow(lv, 3, true);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(Item(options, ids::kCmdDelete)) != 0; }));
  ClickControl(Item(options, ids::kCmdDelete));
  Answer("Info", "Please Save Before You Close");

  // The list keeps its own attributes (and, on Windows, its access control list) through a save.
  SetFileAttributesA(kList.c_str(), FILE_ATTRIBUTE_SYSTEM);
  ClickControl(Item(options, ids::kCmdSave));
  Answer("Info", "Save Succesfully");
  EXPECT_EQ(ReadBytes(kList).value_or("<missing>"),
            "SALES=D:\\SALES\\S.EXE\r\nB=D:\\B.EXE=@SALES-*, Accounts\r\n"
            "Pay Roll=D:\\PAY\\PAY.EXE=@Wages, North-PC\r\n");
  EXPECT_EQ(GetFileAttributesA(kList.c_str()) & FILE_ATTRIBUTE_SYSTEM, FILE_ATTRIBUTE_SYSTEM);
  EXPECT_TRUE(TemporaryFiles().empty());
}

// A row dragged with the mouse goes where it is dropped, a line showing where meanwhile: onto a
// row, or below the last one to the end; outside the list, or after Esc, it stays.
TEST_F(OptionsTest, ADraggedRowGoesWhereItIsDropped) {
  HWND options = OpenOptions(kThreeRows);
  ASSERT_NE(options, nullptr);
  HWND lv = Item(options, ids::kLV);
  // Each drag starts at a place of its own: a second press at one place would be a double-click.
  const auto at = [&](int row, int across, int below = 0) {
    const RECT rect = ListViewRowRect(lv, row);
    POINT point{rect.left + across, (rect.top + rect.bottom) / 2 + below};
    ClientToScreen(lv, &point);
    return point;
  };
  Activate(options);
  const auto line = [&] {
    return CountPixels(lv, ListViewRowRect(lv, 1), GetSysColor(COLOR_HIGHLIGHT));
  };
  EXPECT_TRUE(DragPointer(at(0, 20), at(1, 20),
                          [&] { EXPECT_TRUE(WaitUntil([&] { return line() > 100; })); }));
  EXPECT_TRUE(WaitUntil([&] { return ListViewColumn(lv, 0) == Names{"B", "A", "C"}; }));
  EXPECT_TRUE(DragPointer(at(0, 40), at(2, 40, 100)));
  EXPECT_TRUE(WaitUntil([&] { return ListViewColumn(lv, 0) == Names{"A", "C", "B"}; }));
  EXPECT_TRUE(DragPointer(at(0, 60), at(2, -30)));  // beside the list, level with the last row
  EXPECT_TRUE(DragPointer(at(0, 80), at(2, 80), [] { PressKey(VK_ESCAPE); }));
  PressKey(VK_DOWN, VK_MENU);  // A, still first and chosen, moves by one
  EXPECT_TRUE(WaitUntil([&] { return ListViewColumn(lv, 0) == Names{"C", "A", "B"}; }));
  ClickControl(Item(options, ids::kCmdSave));
  Answer("Info", "Save Succesfully");
  EXPECT_EQ(ReadBytes(kList).value_or("<missing>"),
            "C=D:\\C.EXE\r\nA=D:\\A.EXE\r\nB=D:\\B.EXE\r\n");
}

TEST_F(OptionsTest, BrowseFillsThePathFromTheFileDialog) {
  WriteBytes("D:\\APPS\\TOOLS\\TOOL.EXE", "MZ");
  HWND options = OpenOptions(kThreeRows);
  ASSERT_NE(options, nullptr);
  ClickControl(Item(options, ids::kCmdBrowse));
  HWND dialog = marlo_->WaitForWindow("#32770", "Open");
  ASSERT_NE(dialog, nullptr);
  HWND file_name = GetDlgItem(dialog, 0x47C);
  if (file_name == nullptr) file_name = GetDlgItem(dialog, 0x480);
  ASSERT_NE(file_name, nullptr);
  SendMessageA(file_name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("D:\\APPS\\TOOLS\\TOOL.EXE"));
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitUntil(
      [&] { return WindowText(Item(options, ids::kTxtPath)) == "D:\\APPS\\TOOLS\\TOOL.EXE"; }));
}

// Plain text as Windows PowerShell writes it with ">": UTF-16 little-endian, with its mark.
std::string AsPowerShellWrites(const std::string& ascii) {
  std::string units = "\xFF\xFE";
  for (const char c : ascii) units += {c, '\0'};
  return units;
}

// The list is one that PowerShell wrote: both windows read it, and the save keeps its form.
TEST_F(OptionsTest, EscapeInTheNameFieldBringsBackTheMenuWithTheSavedList) {
  HWND options = OpenOptions(AsPowerShellWrites(kThreeRows));
  ASSERT_NE(options, nullptr);
  HWND lv = Item(options, ids::kLV);
  TypeInto(Item(options, ids::kTxtName), "Dee");
  TypeInto(Item(options, ids::kTxtPath), "D:\\D.EXE");
  ClickControl(Item(options, ids::kCmdNew));  // no row selected: at the end
  ASSERT_TRUE(WaitUntil([&] { return ListViewRows(lv).size() == 4; }));
  ClickControl(Item(options, ids::kCmdSave));
  Answer("Info", "Save Succesfully");
  EXPECT_EQ(ReadBytes(kList), AsPowerShellWrites(kThreeRows + "Dee=D:\\D.EXE\r\n"));

  // Esc in the path field does nothing.
  ClickControl(Item(options, ids::kTxtPath));
  PressKey(VK_ESCAPE);
  Sleep(300);
  EXPECT_TRUE(IsWindow(options));

  ClickControl(Item(options, ids::kTxtName));
  PressKey(VK_ESCAPE);
  HWND main = marlo_->WaitForWindow(master::kWindowClass);
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(options); }));
  EXPECT_EQ(ListBoxItems(GetDlgItem(main, master::kList7)),
            (std::vector<std::string>{"A", "B", "C", "Dee"}));
  EXPECT_EQ(WaitForLines(kMenu + "\\user.txt", 2).size(), 2u);
  EXPECT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(main, master::kLabel5)) == "SERVER"; }));
}

TEST_F(OptionsTest, CloseEndsTheProgram) {
  HWND options = OpenOptions(kThreeRows);
  ASSERT_NE(options, nullptr);
  ClickControl(Item(options, ids::kCmdClose));
  EXPECT_TRUE(marlo_->WaitForExit());
}

TEST_F(OptionsTest, ASaveThatCannotReplaceTheListSaysSoAndKeepsTheOldList) {
  HWND options = OpenOptions(kThreeRows);
  ASSERT_NE(options, nullptr);
  HWND lv = Item(options, ids::kLV);
  DeleteFirstRow(options);

  // Another program holds app.txt open, without sharing deletion, for longer than the retries.
  Process holder("\"" + BinFolder() + "\\holder.exe\" " + kList + " 6000");
  ASSERT_TRUE(WaitUntil([&] {
    HANDLE probe = CreateFileA(kList.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return true;
    CloseHandle(probe);
    return false;
  }));
  ExpectSaveRefused(options);
  EXPECT_EQ(ListViewRows(lv).size(), 2u);  // the rows stay, to be saved again

  ASSERT_TRUE(holder.WaitForExit(std::chrono::seconds(10)));
  ClickControl(Item(options, ids::kCmdSave));
  Answer("Info", "Save Succesfully");
  EXPECT_EQ(ReadBytes(kList).value_or("<missing>"), "B=D:\\B.EXE\r\nC=D:\\C.EXE\r\n");
}

TEST_F(OptionsTest, AReadOnlyListIsNotReplacedAndTheSaveSaysSo) {
  HWND options = OpenOptions(kThreeRows);
  ASSERT_NE(options, nullptr);
  SetFileAttributesA(kList.c_str(), FILE_ATTRIBUTE_READONLY);
  ExpectSaveRefused(options);
  SetFileAttributesA(kList.c_str(), FILE_ATTRIBUTE_NORMAL);
}

const char* const kChanged =
    "app.txt was changed since this window read it.\r\nReplace it with this list?";
const char* const kNoEquals = "A caption, a path or a name it is shown to cannot hold \"=\".";
const char* const kDrive = "Please install Marlo.exe in same drive, Do not Drive Change";

TEST_F(OptionsTest, ASaveOverAListChangedByAnotherProgramAsksFirst) {
  HWND options = OpenOptions(kThreeRows);
  ASSERT_NE(options, nullptr);
  DeleteFirstRow(options);

  const std::string theirs = kThreeRows + "Theirs=D:\\T.EXE\r\n";
  WriteBytes(kList, theirs);  // an editor, or another Options window, saves meanwhile
  ClickControl(Item(options, ids::kCmdSave));
  Answer("Save", kChanged, IDNO);
  ExpectNoBox();
  EXPECT_EQ(ReadBytes(kList).value_or("<missing>"), theirs);
  EXPECT_TRUE(TemporaryFiles().empty());

  ClickControl(Item(options, ids::kCmdSave));
  Answer("Save", kChanged, IDYES);
  Answer("Info", "Save Succesfully");
  EXPECT_EQ(ReadBytes(kList).value_or("<missing>"), "B=D:\\B.EXE\r\nC=D:\\C.EXE\r\n");
}

TEST_F(OptionsTest, NewAndEditRefuseEqualsAndEditRefusesAnotherDrive) {
  HWND options = OpenOptions(kThreeRows);
  ASSERT_NE(options, nullptr);
  HWND lv = Item(options, ids::kLV);
  const Rows rows{{"A", "D:\\A.EXE"}, {"B", "D:\\B.EXE"}, {"C", "D:\\C.EXE"}};
  const struct {
    const char* name;
    const char* path;
    const char* message;
    const char* title;
  } refused[] = {{"Pay=Roll", "D:\\PAY.EXE", kNoEquals, "Info"},
                 {"Pay", "D:\\PAY=2.EXE", kNoEquals, "Info"},
                 {"Pay", "E:\\PAY.EXE", kDrive, "Marlo Exe Not Found"}};
  for (const auto& fields : refused) {
    ClickListViewRow(lv, 1);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(Item(options, ids::kTxtName)) == "B"; }));
    TypeInto(Item(options, ids::kTxtName), fields.name);
    TypeInto(Item(options, ids::kTxtPath), fields.path);
    ClickControl(Item(options, ids::kCmdEdit));
    Answer(fields.title, fields.message);
    if (std::string(fields.message) == kNoEquals) {
      ClickControl(Item(options, ids::kCmdNew));
      Answer(fields.title, fields.message);
    }
    EXPECT_EQ(ListViewRows(lv), rows) << fields.name << " " << fields.path;
  }
  ClickControl(Item(options, ids::kCmdClose));  // nothing changed: nothing asked
  EXPECT_TRUE(marlo_->WaitForExit());
  EXPECT_EQ(ReadBytes(kList).value_or("<missing>"), kThreeRows);
}

// Close with a change not saved: Cancel stays, No leaves without writing, Yes saves first.
TEST_F(OptionsTest, ClosingWithChangesAsksFirst) {
  for (const int answer : {IDCANCEL, IDNO, IDYES}) {
    HWND options = OpenOptions(kThreeRows);
    ASSERT_NE(options, nullptr);
    TypeInto(Item(options, ids::kTxtName), "Dee");
    TypeInto(Item(options, ids::kTxtPath), "D:\\D.EXE");
    ClickControl(Item(options, ids::kCmdNew));
    ASSERT_TRUE(WaitUntil([&] { return ListViewRows(Item(options, ids::kLV)).size() == 4; }));
    ClickControl(Item(options, ids::kCmdClose));
    Answer("Save", "Save the changes to the list?", answer);
    if (answer == IDCANCEL) {
      Sleep(400);
      EXPECT_TRUE(IsWindow(options));
      ASSERT_TRUE(ClickFrameButton(options, HTCLOSE));  // the frame asks the same
      Answer("Save", "Save the changes to the list?", IDNO);
    }
    if (answer == IDYES) Answer("Info", "Save Succesfully");
    EXPECT_TRUE(marlo_->WaitForExit()) << answer;
    EXPECT_EQ(ReadBytes(kList).value_or("<missing>"),
              answer == IDYES ? kThreeRows + "Dee=D:\\D.EXE\r\n" : kThreeRows);
  }
}

// Logoff or shutdown with a change not saved asks as closing does: Cancel keeps the session (the
// system is answered FALSE), No drops the change, Yes saves it. Without a change nothing is asked.
TEST_F(OptionsTest, LogoffWithChangesAsksFirst) {
  for (const int answer : {IDCANCEL, IDNO, IDYES, 0}) {
    HWND options = OpenOptions(kThreeRows);
    ASSERT_NE(options, nullptr);
    if (answer != 0) {
      TypeInto(Item(options, ids::kTxtName), "Dee");
      TypeInto(Item(options, ids::kTxtPath), "D:\\D.EXE");
      ClickControl(Item(options, ids::kCmdNew));
      ASSERT_TRUE(WaitUntil([&] { return ListViewRows(Item(options, ids::kLV)).size() == 4; }));
    }
    DWORD_PTR session_may_end = 2;
    std::thread logoff([&] {
      SendMessageTimeoutW(options, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 60000,
                          &session_may_end);
    });
    if (answer != 0) Answer("Save", "Save the changes to the list?", answer);
    if (answer == IDYES) Answer("Info", "Save Succesfully");
    logoff.join();
    EXPECT_EQ(session_may_end, answer == IDCANCEL ? 0u : 1u) << answer;
    EXPECT_EQ(ReadBytes(kList).value_or("<missing>"),
              answer == IDYES ? kThreeRows + "Dee=D:\\D.EXE\r\n" : kThreeRows);
  }
}

// Esc with app.txt gone: by the time the main window's start-up shows its boxes, the Options
// window can no longer be used, so nothing can close a window whose handler still runs. The
// default list is written once, and the program ends cleanly.
TEST_F(OptionsTest, GoingBackWhileTheStartUpShowsItsBoxesLeavesNothingToClose) {
  HWND options = OpenOptions(kThreeRows);
  ASSERT_NE(options, nullptr);
  ASSERT_TRUE(DeleteFileA(kList.c_str()));
  ClickControl(Item(options, ids::kTxtName));
  PressKey(VK_ESCAPE);
  HWND box = marlo_->WaitForWindow("#32770", "RMX");
  ASSERT_NE(box, nullptr);
  EXPECT_FALSE(IsWindowVisible(options) || IsWindowEnabled(options));
  PressOk(box);
  ASSERT_TRUE(WaitUntil([&] {
    box = marlo_->FindWindowOf("#32770", "RMX");
    return box != nullptr && MessageBoxText(box) == "Please Re Start Programm...";
  }));
  PressOk(box);
  ASSERT_TRUE(marlo_->WaitForExit());
  EXPECT_EQ(marlo_->ExitCode(), 0u);
  EXPECT_EQ(ReadBytes(kMenu + "\\APP.txt").value_or("<missing>"), "QFACT=D:\\MENU\\qfact.exe\r\n");
}

TEST_F(OptionsTest, BrowseCancelledLeavesTheTypedPath) {
  HWND options = OpenOptions(kThreeRows);
  ASSERT_NE(options, nullptr);
  TypeInto(Item(options, ids::kTxtPath), "D:\\TYPED\\X.EXE");
  ClickControl(Item(options, ids::kCmdBrowse));
  HWND dialog = marlo_->WaitForWindow("#32770", "Open");
  ASSERT_NE(dialog, nullptr);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  Sleep(300);
  EXPECT_EQ(WindowText(Item(options, ids::kTxtPath)), "D:\\TYPED\\X.EXE");
}

// A row whose program is not there is drawn in dark red; pointed at a program that is, it is not.
TEST_F(OptionsTest, RowsOfMissingProgramsAreMarkedUntilTheyPointAtAProgram) {
  CopyProgram("probe.exe", "D:\\APPS\\THERE.EXE");
  HWND options = OpenOptions("There=D:\\APPS\\THERE.EXE\r\nGone=D:\\APPS\\GONE.EXE\r\n");
  ASSERT_NE(options, nullptr);
  HWND lv = Item(options, ids::kLV);
  const COLORREF kMarked = RGB(192, 0, 0);
  const auto marked = [&](int row) { return CountPixels(lv, ListViewRowRect(lv, row), kMarked); };
  ASSERT_TRUE(WaitUntil([&] { return marked(1) > 20; })) << marked(1) << " marked pixels";
  EXPECT_EQ(marked(0), 0);
  // The checker's sign carries nothing: the same message from any program does no harm.
  PostMessageW(options, WM_APP + 1, 1, 0x1234);

  ClickListViewRow(lv, 1);
  ASSERT_TRUE(WaitUntil([&] { return WindowText(Item(options, ids::kTxtName)) == "Gone"; }));
  TypeInto(Item(options, ids::kTxtPath), "D:\\APPS\\THERE.EXE");
  ClickControl(Item(options, ids::kCmdEdit));
  Answer("Info", "Please Save Before You Close");
  ClickControl(lv);  // below the rows: nothing selected, so the row shows its own colours
  ASSERT_TRUE(WaitUntil([&] { return SendMessageA(lv, LVM_GETSELECTEDCOUNT, 0, 0) == 0; }));
  EXPECT_TRUE(WaitUntil([&] { return marked(1) == 0; })) << marked(1) << " marked pixels";
  EXPECT_EQ(ListViewRows(lv)[1],
            (std::pair<std::string, std::string>{"GONE", "D:\\APPS\\THERE.EXE"}));
}

// A list an editor saved as UTF-8 with a mark, names in two scripts, the menu in a folder the ANSI
// code page cannot name: both windows show the names, a new row is saved in the list's own form
// and read back, and a program in a Cyrillic folder starts from the share.
TEST_F(OptionsTest, NamesInAnyScriptInAUtf8ListAndInFolderNames) {
  const std::string menu = "D:\\МЕНЮ";
  const std::string list =
      "\xEF\xBB\xBF"
      "Büro=D:\\СКЛАД\\X.EXE\r\nСклад=D:\\СКЛАД\\X.EXE\r\n";
  const std::string result = "D:\\PROBE\\result.txt";
  ResetFolder(menu);
  ResetFolder("D:\\PROBE");
  CopyProgram("Marlo.exe", menu + "\\Marlo.exe");
  CopyProgram("probe.exe", "D:\\СКЛАД\\X.EXE");
  SetEnvironmentVariableW(L"MARLO_PROBE_RESULT", L"D:\\PROBE\\result.txt");

  HWND options = OpenOptions(list, menu);
  ASSERT_NE(options, nullptr);
  HWND lv = Item(options, ids::kLV);
  EXPECT_EQ(ListViewRows(lv), (Rows{{"Büro", "D:\\СКЛАД\\X.EXE"}, {"Склад", "D:\\СКЛАД\\X.EXE"}}));
  TypeInto(Item(options, ids::kTxtName), "Ёлка");
  TypeInto(Item(options, ids::kTxtPath), "d:\\ёлка\\e.exe");
  ClickControl(Item(options, ids::kCmdNew));
  ASSERT_TRUE(WaitUntil([&] { return ListViewRows(lv).size() == 3; }));
  ClickControl(Item(options, ids::kCmdSave));
  Answer("Info", "Save Succesfully");
  EXPECT_EQ(ReadBytes(menu + "\\app.txt").value_or("<missing>"), list + "Ёлка=D:\\ЁЛКА\\E.EXE\r\n");
  ClickControl(Item(options, ids::kTxtName));
  PressKey(VK_ESCAPE);
  HWND main = marlo_->WaitForWindow(master::kWindowClass);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(ListBoxItems(GetDlgItem(main, master::kList7)),
            (std::vector<std::string>{"Büro", "Склад", "Ёлка"}));
  marlo_.reset();

  Process client("\\\\FILESERVER\\APPS\\МЕНЮ\\Marlo.exe", "\\\\DC1");
  HWND client_main = client.WaitForWindow(master::kWindowClass);
  ASSERT_NE(client_main, nullptr);
  ASSERT_TRUE(
      WaitUntil([&] { return WindowText(GetDlgItem(client_main, master::kLabel5)) == "CLIENT"; }));
  DoubleClickListItem(GetDlgItem(client_main, master::kList7), 1);
  ASSERT_TRUE(WaitUntil([&] { return ReadLines(result).size() == 1; }));
  const std::string started = ReadLines(result)[0];
  const std::string expected =
      "|\"\\\\FILESERVER\\APPS\\СКЛАД\\X.EXE\"|\\\\FILESERVER\\APPS\\СКЛАД";
  EXPECT_EQ(started.substr(started.size() - std::min(started.size(), expected.size())), expected)
      << started;
  EXPECT_EQ(WaitForLines(menu + "\\user.txt", 4).size(),
            4u);  // two starts on the server, one client
}

}  // namespace
