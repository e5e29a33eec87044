// Starting programs for real under Wine, as "SERVER" from drive D: and as "CLIENT" through the
// share \\FILESERVER\APPS that shows the same folder. The started programs are probes that write
// down how and where they were started.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdio>

#include "harness.h"
#include "main_window/master_ids.h"
#include "platform/program_icons_win.h"
#include "platform/ui_win.h"
#include "screen_copy.h"

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
    // A client offers neither "Options" nor "Exit".
    EXPECT_TRUE(WaitUntil([&] {
      return (IsWindowVisible(GetDlgItem(main, ids::kCommand3)) != 0) == (mode == "SERVER");
    }));
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

  // A list saved meanwhile, put in app.txt's place in one rename as a save does: a minimised menu
  // looks at nothing; restored, it shows the new list with the same entry chosen at its new place.
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(main) != 0; }));
  const auto save = [](const std::string& list) {
    WriteBytes(kMenu + "\\saved.tmp", list);
    return MoveFileExA((kMenu + "\\saved.tmp").c_str(), (kMenu + "\\app.txt").c_str(),
                       MOVEFILE_REPLACE_EXISTING) != 0;
  };
  ASSERT_TRUE(
      save("Stock=D:\\STOCK\\Z.EXE\r\nSales=D:\\SALES\\NEWSALES\\X.EXE\r\n"
           "Old=D:\\SALES\\OLD\\Y.EXE\r\n"));
  Sleep(4000);
  EXPECT_EQ(ListBoxItems(List7(main)).size(), 2u);
  auto since = std::chrono::steady_clock::now();
  const auto seconds = [&] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
  };
  Restore(main);
  const std::vector<std::string> saved{"Stock", "Sales", "Old"};
  ASSERT_TRUE(WaitUntil([&] { return ListBoxItems(List7(main)) == saved; }));
  std::printf("A saved list shown by a restored client menu after %.2f s\n", seconds());
  EXPECT_EQ(ListBoxSelection(List7(main)), 2);
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitForStarts(3));
  EXPECT_EQ(StartedPrograms()[2].command_line, "\"\\\\FILESERVER\\APPS\\SALES\\OLD\\Y.EXE\"");

  // On screen, it shows a saved list within seconds.
  Restore(main);
  since = std::chrono::steady_clock::now();
  ASSERT_TRUE(save("Old=D:\\SALES\\OLD\\Y.EXE\r\nStock=D:\\STOCK\\Z.EXE\r\n"));
  ASSERT_TRUE(WaitUntil([&] { return ListBoxItems(List7(main)).size() == 2; }));
  std::printf("A saved list shown by an open client menu after %.2f s\n", seconds());
  EXPECT_LT(seconds(), 5.0);
  EXPECT_EQ(ListBoxSelection(List7(main)), 0);
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

// Both modes, for the tests that run in each: the menu's folder, the mode, and how a listed
// D:\ path is reached from there.
struct Mode {
  std::string folder, name, root;
};
void PrintTo(const Mode& mode, std::ostream* out) { *out << mode.name; }
const Mode kServer{kMenu, "SERVER", "D:\\"};
const Mode kClient{"\\\\FILESERVER\\APPS\\MENU", "CLIENT", "\\\\FILESERVER\\APPS\\"};
// A workstation that reaches the share through a mapped drive, M:, whose connection Wine cannot
// tell: it reaches the programs through the drive.
const Mode kMapped{"M:\\MENU", "CLIENT", "M:\\"};

class BothModesTest : public LaunchTest, public ::testing::WithParamInterface<Mode> {
 protected:
  // Waits for the "Start Failed" box, checks that it names `tried` and gives a reason, presses OK.
  void ExpectStartFailed(const std::string& tried) {
    HWND box = marlo_->WaitForWindow("#32770", "Start Failed");
    ASSERT_NE(box, nullptr);
    const std::string text = MessageBoxText(box);
    EXPECT_EQ(text.rfind(tried + "\r\n", 0), 0u) << text;
    EXPECT_GT(text.size(), tried.size() + 2) << "no reason given: " << text;
    PressOk(box);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  }
};

TEST_P(BothModesTest, AMissingProgramSaysSoOnBothRoutesAndTheMenuGoesOn) {
  const Mode& mode = GetParam();
  CopyProgram("probe.exe", "D:\\SALES\\NEWSALES\\X.EXE");
  HWND main =
      Open(mode.folder, "Gone=D:\\GONE\\X.EXE\r\nSales=D:\\SALES\\NEWSALES\\X.EXE\r\n", mode.name);
  ASSERT_NE(main, nullptr);
  const std::string tried = mode.root + "GONE\\X.EXE";

  DoubleClickListItem(List7(main), 0);
  ExpectStartFailed(tried);
  Activate(main);
  PressKey(VK_RETURN);
  ExpectStartFailed(tried);
  Sleep(300);
  EXPECT_FALSE(IsIconic(main));
  EXPECT_EQ(ListBoxSelection(List7(main)), 0);
  EXPECT_TRUE(StartedPrograms().empty());

  DoubleClickListItem(List7(main), 1);
  ASSERT_TRUE(WaitForStarts(1));
  EXPECT_EQ(StartedPrograms()[0].command_line, "\"" + mode.root + "SALES\\NEWSALES\\X.EXE\"");
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(main) != 0; }));
  EXPECT_EQ(marlo_->FindWindowOf("#32770"), nullptr);
}

// A list for some of the office only: an entry for this computer, one for its user, one for the
// Administrators (whom Wine's user belongs to), one for another computer and one for a group that
// does not exist. The menu shows the first three and the entry for everyone, in file order, and
// the entry clicked is the one started, never its neighbour in the file.
TEST_P(BothModesTest, ShowsTheEntriesMeantForThisWorkstationAndStartsTheOneChosen) {
  const Mode& mode = GetParam();
  CopyProgram("probe.exe", "D:\\SALES\\USER.EXE");
  char computer[MAX_COMPUTERNAME_LENGTH + 1], user[257];
  DWORD computer_length = sizeof computer, user_length = sizeof user;
  ASSERT_TRUE(GetComputerNameA(computer, &computer_length) && GetUserNameA(user, &user_length));
  std::string lower = computer;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  HWND main = Open(mode.folder,
                   "Other=D:\\SALES\\OTHER.EXE=@NOT-THIS-PC-*\r\n"
                   "Mine=D:\\SALES\\MINE.EXE=@" +
                       lower.substr(0, lower.size() - 1) +
                       "?\r\n"
                       "Nobody=D:\\SALES\\NOBODY.EXE=@No Such Group Here\r\n"
                       "User=D:\\SALES\\USER.EXE=@Stock, " +
                       std::string(computer) + "\\" + user +
                       "\r\n"
                       "Admins=D:\\SALES\\ADMINS.EXE=@ Administrators \r\n"
                       "Everyone=D:\\SALES\\EVERYONE.EXE=a note\r\n",
                   mode.name);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return ListBoxItems(List7(main)).size() == 4; }));
  EXPECT_EQ(ListBoxItems(List7(main)),
            (std::vector<std::string>{"Mine", "User", "Admins", "Everyone"}));
  DoubleClickListItem(List7(main), 1);
  ASSERT_TRUE(WaitForStarts(1));
  EXPECT_EQ(StartedPrograms()[0].command_line, "\"" + mode.root + "SALES\\USER.EXE\"");
}

// Entries that start by the rules people know from Windows: arguments after the program, a
// program listed without ".exe", and on a client a path already in share form. A planted
// D:\PROGRAM.EXE is never taken for D:\PROGRAM FILES\..., with arguments or without.
TEST_P(BothModesTest, ArgumentsMissingExtensionsAndShareFormsStartTheRightFile) {
  const Mode& mode = GetParam();
  CopyProgram("probe.exe", "D:\\SALES\\NEWSALES\\X.EXE");
  CopyProgram("probe.exe", "D:\\SALES\\TOOL.exe");
  CopyProgram("probe.exe", "D:\\PROGRAM FILES\\P.EXE");
  CopyProgram("probe.exe", "D:\\PROGRAM.EXE");
  CopyProgram("probe.exe", "D:\\SALES\\SHARED\\S.EXE");
  struct Entry {
    std::string line, image, command_line, folder;
  };
  std::vector<Entry> entries{
      {"Args=D:\\SALES\\NEWSALES\\X.EXE -p D:\\DATA\\R.TXT", "\\X.EXE",
       "\"" + mode.root + "SALES\\NEWSALES\\X.EXE\" -p D:\\DATA\\R.TXT",
       mode.root + "SALES\\NEWSALES"},
      {"NoExt=D:\\SALES\\TOOL", "\\TOOL.exe", "\"" + mode.root + "SALES\\TOOL.exe\"",
       mode.root + "SALES"},
      {"Planted=D:\\PROGRAM FILES\\P.EXE /x", "\\PROGRAM FILES\\P.EXE",
       "\"" + mode.root + "PROGRAM FILES\\P.EXE\" /x", mode.root + "PROGRAM FILES"}};
  if (mode.name == "CLIENT") {
    entries.push_back({"Share=\\\\FILESERVER\\APPS\\SALES\\SHARED\\S.EXE", "\\S.EXE",
                       "\"\\\\FILESERVER\\APPS\\SALES\\SHARED\\S.EXE\"",
                       "\\\\FILESERVER\\APPS\\SALES\\SHARED"});
  }
  std::string list;
  for (const auto& entry : entries) list += entry.line + "\r\n";
  HWND main = Open(mode.folder, list, mode.name);
  ASSERT_NE(main, nullptr);

  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i > 0) Restore(main);
    DoubleClickListItem(List7(main), static_cast<int>(i));
    ASSERT_TRUE(WaitForStarts(i + 1)) << entries[i].line;
    const Started started = StartedPrograms()[i];
    const std::string& image = entries[i].image;
    EXPECT_EQ(
        started.image.substr(started.image.size() - std::min(started.image.size(), image.size())),
        image)
        << started.image;
    EXPECT_EQ(started.command_line, entries[i].command_line);
    EXPECT_EQ(started.folder, entries[i].folder);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(main) != 0; }));
  }
  EXPECT_EQ(StartedPrograms().size(), entries.size());
  for (const auto& started : StartedPrograms()) {
    EXPECT_EQ(started.image.find("PROGRAM.EXE"), std::string::npos) << started.image;
  }
}

TEST_P(BothModesTest, TheMenusOwnFolderIsTheSameAfterAStart) {
  const Mode& mode = GetParam();
  CopyProgram("probe.exe", "D:\\SALES\\NEWSALES\\X.EXE");
  HWND main = Open(mode.folder, "Sales=D:\\SALES\\NEWSALES\\X.EXE\r\n", mode.name);
  ASSERT_NE(main, nullptr);
  const std::string before = marlo_->CurrentFolder();
  ASSERT_FALSE(before.empty());
  DoubleClickListItem(List7(main), 0);
  ASSERT_TRUE(WaitForStarts(1));
  EXPECT_EQ(StartedPrograms()[0].folder, mode.root + "SALES\\NEWSALES");
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(main) != 0; }));
  EXPECT_EQ(marlo_->CurrentFolder(), before);
}

namespace {

// An icon as the screen would show it drawn on `ground`, `size` pixels square, as 0x00RRGGBB.
std::vector<DWORD> IconOn(HICON icon, int size, COLORREF ground) {
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  HBRUSH brush = CreateSolidBrush(ground);
  const RECT all{0, 0, size, size};
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  GdiFlush();
  std::vector<DWORD> pixels(static_cast<const DWORD*>(bits),
                            static_cast<const DWORD*>(bits) + size * size);
  for (DWORD& pixel : pixels) pixel &= 0xFFFFFF;
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return pixels;
}

// What the screen shows where the menu draws the icon of entry `row`.
std::vector<DWORD> ShownIcon(HWND list, int row, int size) {
  const int height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
  const int dpi = marlo::WindowDpi(list);
  POINT at{marlo::Scale(2, dpi), row * height + (height - size) / 2};
  ClientToScreen(list, &at);
  const ScreenCopy copy(at.x, at.y, size, size);
  std::vector<DWORD> pixels;
  for (int y = 0; y < copy.height(); ++y) {
    for (int x = 0; x < copy.width(); ++x) pixels.push_back(copy.At(x, y));
  }
  return pixels;
}

std::size_t Differing(const std::vector<DWORD>& a, const std::vector<DWORD>& b) {
  if (a.size() != b.size()) return a.size() + b.size();
  std::size_t differing = 0;
  for (std::size_t i = 0; i < a.size(); ++i) differing += a[i] != b[i] ? 1 : 0;
  return differing;
}

}  // namespace

// Each entry shows the icon of the program its start would run, reached as the start reaches it:
// a program's own (the menu's own exe has one), the system's program icon for one without, the
// mark of a missing program.
TEST_P(BothModesTest, EachEntryShowsItsProgramsIconOrTheMarkOfAMissingOne) {
  const Mode& mode = GetParam();
  CopyProgram("Marlo.exe", "D:\\SALES\\OWN\\O.EXE");
  CopyProgram("probe.exe", "D:\\SALES\\PLAIN\\P.EXE");
  HWND main = Open(mode.folder,
                   "Own=D:\\SALES\\OWN\\O.EXE /x\r\nPlain=D:\\SALES\\PLAIN\\P.EXE\r\n"
                   "Gone=D:\\GONE\\G.EXE\r\n",
                   mode.name);
  ASSERT_NE(main, nullptr);
  HWND list = List7(main);
  const int size = marlo::SmallIconSize(marlo::WindowDpi(main));
  HICON own = nullptr;
  ASSERT_EQ(PrivateExtractIconsW(L"D:\\SALES\\OWN\\O.EXE", 0, size, size, &own, nullptr, 1, 0), 1u);
  HICON system =
      static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(32512), IMAGE_ICON, size, size, 0));
  const auto own_shown = IconOn(own, size, GetSysColor(COLOR_HIGHLIGHT));  // the chosen entry
  const auto system_shown = IconOn(system, size, RGB(255, 192, 192));
  DestroyIcon(own);
  DestroyIcon(system);
  const std::size_t tolerance = static_cast<std::size_t>(size * size / 20);  // 5% of the pixels
  Activate(main);
  EXPECT_TRUE(WaitUntil([&] {
    return Differing(ShownIcon(list, 0, size), own_shown) <= tolerance;
  })) << Differing(ShownIcon(list, 0, size), own_shown)
      << " pixels differ from its own icon";
  EXPECT_TRUE(WaitUntil([&] {
    return Differing(ShownIcon(list, 1, size), system_shown) <= tolerance;
  })) << Differing(ShownIcon(list, 1, size), system_shown)
      << " pixels differ from the system's program icon";
  const auto marked = [&] {
    const auto pixels = ShownIcon(list, 2, size);
    return std::count(pixels.begin(), pixels.end(), DWORD{0xC00000});  // RGB(192, 0, 0)
  };
  EXPECT_TRUE(WaitUntil([&] { return marked() > size; })) << marked() << " marked pixels";
  EXPECT_GT(Differing(ShownIcon(list, 2, size), system_shown), tolerance);
}

INSTANTIATE_TEST_SUITE_P(Modes, BothModesTest, ::testing::Values(kServer, kClient, kMapped),
                         [](const auto& info) {
                           return info.param.root == "M:\\" ? "MAPPED" : info.param.name;
                         });

}  // namespace
