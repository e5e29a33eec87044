// Start-up of Marlo.exe under Wine: the start log, the menu, and the missing list.
#include <gtest/gtest.h>

#include <cstdio>

#include "harness.h"
#include "main_window/master_ids.h"

namespace {

using namespace e2e;
namespace ids = marlo::master_ids;

const std::string kMenu = "D:\\MENU";
const std::string kShareMenu = "\\\\FILESERVER\\APPS\\MENU";

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFolder(kMenu);
    CopyProgram("Marlo.exe", kMenu + "\\Marlo.exe");
  }
  static HWND List7(HWND main) { return GetDlgItem(main, ids::kList7); }
};

// Checks one start-log line: the name, " - ", and a stamp within [before, after].
void ExpectRecord(const std::string& line, const std::string& name, long long before,
                  long long after) {
  const std::string prefix = name + " - ";
  ASSERT_EQ(line.substr(0, prefix.size()), prefix) << line;
  const auto stamp = ParseStamp(line.substr(prefix.size()));
  ASSERT_TRUE(stamp.has_value()) << line;
  EXPECT_GE(*stamp, before) << line;
  EXPECT_LE(*stamp, after) << line;
}

TEST_F(StartupTest, DriveStartShowsTheListAndLogsOneRecord) {
  WriteBytes(kMenu + "\\app.txt",
             "Sales=D:\\SALES\\S.EXE\r\nStock=D:\\STOCK\\T.EXE\r\nPay roll=D:\\PAY\\P.EXE\r\n");
  const long long before = LocalSeconds();
  Process marlo(kMenu + "\\Marlo.exe", "\\\\DC1");
  HWND main = marlo.WaitForWindow(ids::kWindowClass);
  ASSERT_NE(main, nullptr);

  EXPECT_EQ(WindowText(main), "Marlo Infosystems" + std::string(72, ' '));
  EXPECT_EQ(ListBoxItems(List7(main)), (std::vector<std::string>{"Sales", "Stock", "Pay roll"}));
  EXPECT_EQ(ListBoxSelection(List7(main)), 0);
  const auto log = WaitForLines(kMenu + "\\user.txt", 1);
  ASSERT_EQ(log.size(), 1u);
  ExpectRecord(log[0], "DC1", before, LocalSeconds());
}

// A client, through the share or through a mapped network drive (whose connection Wine cannot
// tell, so the drive names the server): the logon server, then the file server.
TEST_F(StartupTest, ClientStartLogsTheLogonServerThenTheFileServer) {
  for (const auto& [folder, server] :
       {std::pair<std::string, std::string>{kShareMenu, "FILESERVER"}, {"M:\\MENU", "M:"}}) {
    ResetFolder(kMenu);
    CopyProgram("Marlo.exe", kMenu + "\\Marlo.exe");
    WriteBytes(kMenu + "\\app.txt", "Sales=D:\\SALES\\S.EXE\r\n");
    const long long before = LocalSeconds();
    Process marlo(folder + "\\Marlo.exe", "\\\\DC1");
    ASSERT_NE(marlo.WaitForWindow(ids::kWindowClass), nullptr);

    const auto log = WaitForLines(kMenu + "\\user.txt", 2);
    const long long after = LocalSeconds();
    ASSERT_EQ(log.size(), 2u) << folder;
    ExpectRecord(log[0], "DC1", before, after);
    ExpectRecord(log[1], server, before, after);
  }
}

// Another program holds a shared file without sharing it: app.txt for a moment (a backup) is
// waited for; user.txt for long (a spreadsheet program) holds nothing up: the window is on screen
// and answers at once while the records are tried for three seconds away from it, and a menu
// ended meanwhile waits for the rest of those seconds before the records are given up.
TEST_F(StartupTest, FilesOtherProgramsHoldDoNotEmptyOrStallTheMenu) {
  const std::vector<std::string> list{"Sales", "Stock"};
  WriteBytes(kMenu + "\\app.txt", "Sales=D:\\SALES\\S.EXE\r\nStock=D:\\STOCK\\T.EXE\r\n");
  for (const auto& [held, milliseconds] :
       {std::pair<std::string, int>{"app.txt", 800}, {"user.txt", 5000}}) {
    const std::string path = kMenu + "\\" + held;
    WriteBytes(kMenu + "\\user.txt", "OLD\r\n");
    Process holder("\"" + BinFolder() + "\\holder.exe\" " + path + " " +
                   std::to_string(milliseconds) + " alone");
    ASSERT_TRUE(WaitUntil([&] { return !ReadBytes(path).has_value(); })) << held;
    const auto started = std::chrono::steady_clock::now();
    const auto since = [&] {
      return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    };
    Process marlo(kShareMenu + "\\Marlo.exe", "\\\\DC1");
    HWND main = marlo.WaitForWindow(ids::kWindowClass);
    const double on_screen = since();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return ListBoxItems(List7(main)) == list; })) << held;
    std::printf("%s held: the menu on screen after %.2f s, its list after %.2f s\n", held.c_str(),
                on_screen, since());
    EXPECT_EQ(marlo.FindWindowOf("#32770"), nullptr) << held;
    if (held == "user.txt") {
      EXPECT_LT(on_screen, 1.5);
      EXPECT_TRUE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, nullptr));
      PostMessageW(main, WM_CLOSE, 0, 0);
      ASSERT_TRUE(marlo.WaitForExit(std::chrono::seconds(10)));
      const double ended = since();
      std::printf("user.txt held: closed at once, the menu ended after %.2f s\n", ended);
      EXPECT_GT(ended, 2.5);  // the records were tried for their three seconds
      EXPECT_LT(ended, 5.0);
      ASSERT_TRUE(holder.WaitForExit(std::chrono::seconds(15)));
      EXPECT_EQ(ReadBytes(kMenu + "\\user.txt"), "OLD\r\n");
    }
  }
}

struct LogonCase {
  std::optional<std::string> logonserver;
  std::string logged_name;
};

class LogonServerTest : public StartupTest, public ::testing::WithParamInterface<LogonCase> {};

TEST_P(LogonServerTest, RecordBeginsWithTheLogonServerAsItIs) {
  WriteBytes(kMenu + "\\app.txt", "Sales=D:\\SALES\\S.EXE\r\n");
  const long long before = LocalSeconds();
  Process marlo(kMenu + "\\Marlo.exe", GetParam().logonserver);
  ASSERT_NE(marlo.WaitForWindow(ids::kWindowClass), nullptr);
  const auto log = WaitForLines(kMenu + "\\user.txt", 1);
  ASSERT_EQ(log.size(), 1u);
  ExpectRecord(log[0], GetParam().logged_name, before, LocalSeconds());
}

INSTANTIATE_TEST_SUITE_P(Names, LogonServerTest,
                         ::testing::Values(LogonCase{std::nullopt, ""},
                                           LogonCase{std::string("\\\\dc1"), "dc1"},
                                           LogonCase{std::string("\\\\Main\\\\Dc"), "MainDc"},
                                           // A record is one line, whatever the name holds.
                                           LogonCase{std::string("\\\\DC\r\n1\n"), "DC1"},
                                           LogonCase{std::string("\r\\\\dc2"), "dc2"}));

TEST_F(StartupTest, ZeroByteListShowsAnEmptyMenuWithoutMessage) {
  WriteBytes(kMenu + "\\app.txt", "");
  Process marlo(kMenu + "\\Marlo.exe", "\\\\DC1");
  HWND main = marlo.WaitForWindow(ids::kWindowClass);
  ASSERT_NE(main, nullptr);
  Sleep(300);
  EXPECT_EQ(marlo.FindWindowOf("#32770"), nullptr);
  EXPECT_TRUE(ListBoxItems(List7(main)).empty());
  EXPECT_EQ(ListBoxSelection(List7(main)), LB_ERR);
  EXPECT_EQ(WaitForLines(kMenu + "\\user.txt", 1).size(), 1u);
}

// Without a list the menu writes the default one between its two messages and ends.
void ExpectMissingListFlow(Process& marlo, const std::string& list_before) {
  HWND first = marlo.WaitForWindow("#32770", "RMX");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(MessageBoxText(first), "App.txt File Not Found...");
  EXPECT_EQ(ReadBytes(kMenu + "\\app.txt").value_or(""), list_before);
  PressOk(first);

  HWND second = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    second = marlo.FindWindowOf("#32770", "RMX");
    return second != nullptr && second != first && MessageBoxText(second) != "";
  }));
  EXPECT_EQ(MessageBoxText(second), "Please Re Start Programm...");
  EXPECT_EQ(ReadBytes(kMenu + "\\app.txt").value_or("<missing>"),
            list_before + "QFACT=D:\\MENU\\qfact.exe\r\n");
  PressOk(second);

  EXPECT_TRUE(marlo.WaitForExit());
  EXPECT_FALSE(ReadBytes(kMenu + "\\user.txt").has_value());
}

TEST_F(StartupTest, MissingListWritesTheDefaultListAndEnds) {
  Process marlo(kMenu + "\\Marlo.exe", "\\\\DC1");
  ExpectMissingListFlow(marlo, "");
}

// An admin may hide the list in the share: it is the list all the same, and left byte for byte
// (nothing glued to its last line, which has no line end).
TEST_F(StartupTest, AHiddenSystemListIsShownAndLeftAsItIs) {
  const std::string list = "Sales=D:\\SALES\\S.EXE\r\nStock=D:\\STOCK\\T.EXE";
  WriteBytes(kMenu + "\\app.txt", list);
  SetFileAttributesW(L"D:\\MENU\\app.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  Process marlo(kMenu + "\\Marlo.exe", "\\\\DC1");
  HWND main = marlo.WaitForWindow(ids::kWindowClass);
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(WaitUntil([&] {
    return ListBoxItems(List7(main)) == std::vector<std::string>{"Sales", "Stock"};
  }));
  EXPECT_EQ(WaitForLines(kMenu + "\\user.txt", 1).size(), 1u);
  EXPECT_EQ(marlo.FindWindowOf("#32770"), nullptr);
  EXPECT_EQ(ReadBytes(kMenu + "\\app.txt"), list);
  EXPECT_NE(GetFileAttributesW(L"D:\\MENU\\app.txt") & FILE_ATTRIBUTE_HIDDEN, 0u);
}

// A list the server is slow to give: the window is on screen empty meanwhile, and Enter there
// starts nothing and leaves the window as it is; then the list comes.
TEST_F(StartupTest, EnterBeforeTheListCameDoesNothing) {
  WriteBytes(kMenu + "\\app.txt", "Sales=D:\\SALES\\S.EXE\r\n");
  Process holder("\"" + BinFolder() + "\\holder.exe\" " + kMenu + "\\app.txt 1200 alone");
  ASSERT_TRUE(WaitUntil([&] { return !ReadBytes(kMenu + "\\app.txt").has_value(); }));
  Process marlo(kMenu + "\\Marlo.exe", "\\\\DC1");
  HWND main = marlo.WaitForWindow(ids::kWindowClass);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(ListBoxItems(List7(main)).empty()) << "the list came too soon to test";
  Activate(main);
  PressKey(VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return ListBoxItems(List7(main)).size() == 1; }));
  Sleep(300);
  EXPECT_FALSE(IsIconic(main));
  EXPECT_EQ(marlo.FindWindowOf("#32770"), nullptr);
}

// A close from outside (taskkill without /F, a management tool, the session ending) while the
// menu shows a box: the window stays until the box is answered, then the program ends cleanly.
TEST_F(StartupTest, ACloseWhileABoxIsUpIsCarriedOutOnceTheBoxIsAnswered) {
  WriteBytes(kMenu + "\\app.txt", "Sales=D:\\SALES\\S.EXE\r\n");
  Process holder("\"" + BinFolder() + "\\holder.exe\" " + kMenu + "\\app.txt 4000 alone");
  ASSERT_TRUE(WaitUntil([&] { return !ReadBytes(kMenu + "\\app.txt").has_value(); }));
  Process marlo(kMenu + "\\Marlo.exe", "\\\\DC1");
  HWND box = marlo.WaitForWindow("#32770", "RMX");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box).rfind("App.txt could not be read completely.", 0), 0u);
  HWND main = marlo.FindWindowOf(ids::kWindowClass);
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_CLOSE, 0, 0);
  Sleep(500);
  EXPECT_TRUE(marlo.Running());
  EXPECT_TRUE(IsWindow(box));
  PressOk(box);
  ASSERT_TRUE(marlo.WaitForExit());
  EXPECT_EQ(marlo.ExitCode(), 0u);
}

// A program folder where no list can be written (a folder that cannot be changed, or a folder
// named app.txt in the list's place): starting again would not help, so the second message says
// why instead of asking for a restart, and nothing is created.
class UnwritableDefaultListTest : public StartupTest, public ::testing::WithParamInterface<bool> {};

TEST_P(UnwritableDefaultListTest, IsReportedAndNothingIsCreated) {
  const bool locked_folder = GetParam();
  const std::string folder = "D:\\LOCKED";
  ResetFolder(folder);
  CopyProgram("Marlo.exe", folder + "\\Marlo.exe");
  Locked lock(folder);
  if (locked_folder) {
    ASSERT_TRUE(lock.Lock());
  } else {
    ASSERT_TRUE(CreateDirectoryA((folder + "\\app.txt").c_str(), nullptr));
  }

  Process marlo(folder + "\\Marlo.exe", "\\\\DC1");
  HWND first = marlo.WaitForWindow("#32770", "RMX");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(MessageBoxText(first), "App.txt File Not Found...");
  PressOk(first);
  HWND second = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    second = marlo.FindWindowOf("#32770", "RMX");
    return second != nullptr && second != first && MessageBoxText(second) != "";
  }));
  const std::string text = MessageBoxText(second);
  const std::string lead = "The default list could not be written: ";
  EXPECT_EQ(text.rfind(lead, 0), 0u) << text;
  EXPECT_GT(text.size(), lead.size()) << "no reason given";
  EXPECT_NE(text.find("CreateFileW(" + folder + "\\APP.txt) failed, error "), std::string::npos);
  PressOk(second);
  EXPECT_TRUE(marlo.WaitForExit());
  const DWORD list = GetFileAttributesA((folder + "\\app.txt").c_str());
  if (locked_folder) {
    EXPECT_EQ(list, INVALID_FILE_ATTRIBUTES);
  } else {
    EXPECT_TRUE(list != INVALID_FILE_ATTRIBUTES && (list & FILE_ATTRIBUTE_DIRECTORY));
  }
  EXPECT_FALSE(ReadBytes(folder + "\\user.txt").has_value());
}

INSTANTIATE_TEST_SUITE_P(Folders, UnwritableDefaultListTest, ::testing::Bool(),
                         [](const auto& info) {
                           return std::string(info.param ? "LockedFolder" : "AppTxtIsAFolder");
                         });

}  // namespace
