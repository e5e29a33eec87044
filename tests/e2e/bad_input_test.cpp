// Marlo.exe on bad input under Wine: lists of any size and any bytes, paths too long to start,
// a start log that is a folder or cannot be written. (A list that is a folder, and a logon server
// name with line breaks: the start-up tests.) The menu opens with exactly the entries the reader's
// rules give (on its text, in the form the bytes seem to be in), the first selected, never crashes,
// and never writes app.txt.
#include <gtest/gtest.h>

#include <cstdio>

#include "common/lists.h"
#include "harness.h"
// After windows.h, which it needs.
#include <psapi.h>

#include "main_window/audience.h"
#include "main_window/list_file.h"
#include "main_window/list_form.h"
#include "main_window/master_ids.h"
#include "platform/identity_win.h"
#include "platform/platform_win.h"

namespace {

using namespace e2e;
namespace ids = marlo::master_ids;

const std::string kMenu = "D:\\BAD";

class BadInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFolder(kMenu);
    CopyProgram("Marlo.exe", kMenu + "\\Marlo.exe");
  }
  // The big lists go with the test: a machine's disk is not the test's to fill.
  void TearDown() override {
    ResetFolder(kMenu);
    RemoveDirectoryA(kMenu.c_str());
  }
  static HWND List7(HWND main) { return GetDlgItem(main, ids::kList7); }
};

// The text a list box holds for a caption: it ends at the first NUL byte.
std::string Shown(const std::string& caption) { return caption.substr(0, caption.find('\0')); }

struct ListCase {
  const char* name;
  std::string bytes;
};

class BadListTest : public BadInputTest, public ::testing::WithParamInterface<ListCase> {};

TEST_P(BadListTest, OpensWithExactlyTheEntriesOfTheReadersRulesAndLeavesTheListAlone) {
  const std::string& bytes = GetParam().bytes;
  WriteBytes(kMenu + "\\app.txt", bytes);
  marlo::Win32Locale locale;
  // Arbitrary bytes make third fields that begin with "@": those entries are shown only where
  // their names fit this workstation.
  marlo::Win32Identity identity;
  marlo::Audiences audiences(identity, locale);
  std::vector<marlo::ListEntry> entries;
  marlo::ReadResult read;
  read.ok = true;
  read.bytes = bytes;
  for (auto& entry : marlo::EntriesOf(marlo::DecodeList(read, locale).Text(), true)) {
    if (entry.audience.empty() || audiences.Includes(entry.audience)) entries.push_back(entry);
  }

  Process marlo(kMenu + "\\Marlo.exe", "\\\\DC1");
  HWND main = marlo.WaitForWindow(ids::kWindowClass);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(marlo.FindWindowOf("#32770"), nullptr) << "no message for a list that was read";
  // A long menu is filled in a list box of its own, which then takes the menu's place: the list
  // is asked for by its id each time, as any program that reads the window does.
  HWND list = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    list = List7(main);
    return SendMessageA(list, LB_GETCOUNT, 0, 0) == static_cast<LRESULT>(entries.size());
  })) << SendMessageA(list, LB_GETCOUNT, 0, 0)
      << " items for " << entries.size() << " entries";
  // Every item of a short list; of a long one the first, the last and a hundred between.
  const std::size_t step = entries.size() <= 1000 ? 1 : entries.size() / 100;
  for (std::size_t i = 0; i < entries.size(); i += step) {
    ASSERT_EQ(ListBoxItem(list, static_cast<int>(i)), Shown(entries[i].caption)) << "item " << i;
  }
  if (!entries.empty()) {
    EXPECT_EQ(ListBoxItem(list, static_cast<int>(entries.size() - 1)),
              Shown(entries.back().caption));
  }
  EXPECT_EQ(ListBoxSelection(list), entries.empty() ? LB_ERR : 0);
  EXPECT_TRUE(marlo.Running());
  EXPECT_EQ(ReadBytes(kMenu + "\\app.txt"), bytes) << "the menu wrote to app.txt";
}

std::string HighBytes() {
  std::string line = "High ";
  for (int c = 0x80; c <= 0xFF; ++c) line += static_cast<char>(c);
  return line + "=D:\\" + line.substr(5) + "\\X.EXE\r\nAfter=D:\\A.EXE\r\n";
}

INSTANTIATE_TEST_SUITE_P(
    Lists, BadListTest,
    ::testing::Values(
        ListCase{"FiftyMegabytesOfArbitraryBytes", test_data::ArbitraryBytes(50u << 20)},
        ListCase{"OneLineOfOneMegabyte",
                 std::string(1u << 20, 'x') + "=D:\\BIG.EXE\r\nSales=D:\\S.EXE\r\n"},
        // NUL bytes in a caption, as a line, and as a last line without a line end.
        ListCase{"NulBytes",
                 std::string("Nul\0Caption=D:\\N.EXE\r\n\0\0\0\r\nAfter=D:\\A.EXE\r\n\0", 44)},
        ListCase{"LoneCrAndLf", "A=D:\\A.EXE\rB=D:\\B.EXE\nC=x\r\n\n\r\nD=D:\\D.EXE"},
        ListCase{"BytesFrom0x80To0xFF", HighBytes()},
        ListCase{"AHundredThousandEntries", test_data::Entries(100000)}),
    [](const auto& info) { return std::string(info.param.name); });

// 50 MB of CR bytes, 52 million empty lines: the menu opens within seconds on the first million
// and says that the list was cut, with memory bounded by the file and what it shows.
TEST_F(BadInputTest, FiftyTwoMillionEmptyLinesOpenCutToTheirFirstMillion) {
  const std::string bytes(50u << 20, '\r');
  WriteBytes(kMenu + "\\app.txt", bytes);
  const auto started = std::chrono::steady_clock::now();
  Process marlo(kMenu + "\\Marlo.exe", "\\\\DC1");
  HWND box = nullptr;
  WaitUntil([&] { return (box = marlo.FindWindowOf("#32770", "RMX")) != nullptr; },
            std::chrono::seconds(60));
  ASSERT_NE(box, nullptr);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  EXPECT_EQ(MessageBoxText(box), marlo::CutMessage(marlo::kMostEntries));
  PROCESS_MEMORY_COUNTERS memory{};
  K32GetProcessMemoryInfo(marlo.handle(), &memory, sizeof memory);
  std::printf("52,428,800 empty lines: cut and on screen after %.2f s, peak working set %.0f MB\n",
              seconds, memory.PeakWorkingSetSize / 1048576.0);
  PressOk(box);
  HWND main = marlo.WaitForWindow(ids::kWindowClass);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(SendMessageW(List7(main), LB_GETCOUNT, 0, 0), 1000000);
  EXPECT_EQ(ReadBytes(kMenu + "\\app.txt"), bytes);
}

// An open menu shown a list of a million entries, saved meanwhile: the window answers all the
// while it fills (the menu shown stays and can be used), and then shows the new list with the
// chosen entry still chosen.
TEST_F(BadInputTest, AMillionEntriesReadAnewKeepTheWindowAnswering) {
  WriteBytes(kMenu + "\\app.txt", "Program 5=D:\\APPS\\P5\\PROGRAM.EXE\r\n");
  Process marlo(kMenu + "\\Marlo.exe", "\\\\DC1");
  HWND main = marlo.WaitForWindow(ids::kWindowClass);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return ListBoxItems(List7(main)).size() == 1; }));
  WriteBytes(kMenu + "\\saved.tmp", test_data::Entries(1000000));
  ASSERT_TRUE(MoveFileExW(L"D:\\BAD\\saved.tmp", L"D:\\BAD\\app.txt", MOVEFILE_REPLACE_EXISTING));
  const auto started = std::chrono::steady_clock::now();
  double longest = 0;
  int answers = 0;
  while (SendMessageW(List7(main), LB_GETCOUNT, 0, 0) != 1000000) {
    ASSERT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(60));
    const auto asked = std::chrono::steady_clock::now();
    DWORD_PTR ignored = 0;
    ASSERT_TRUE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &ignored))
        << "no answer for 2 s";
    longest = std::max(
        longest, std::chrono::duration<double>(std::chrono::steady_clock::now() - asked).count());
    ++answers;
    HWND list = List7(main);
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    if (!IsWindow(list)) continue;  // asked just as the full list took its place
    ASSERT_TRUE(count == 1 || count == 1000000) << count << " entries: a menu half filled";
    Sleep(50);
  }
  std::printf(
      "1,000,000 entries read anew: shown after %.1f s; the window answered %d times "
      "meanwhile, the slowest after %.0f ms\n",
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(), answers,
      longest * 1000);
  EXPECT_LT(longest, 0.5);
  EXPECT_GT(answers, 3) << "the list came too soon to tell";
  EXPECT_EQ(ListBoxSelection(List7(main)), 5);
  EXPECT_EQ(ListBoxItem(List7(main), 5), "Program 5");
}

// A path longer than Windows takes: the start fails, the user is told, the menu stays.
TEST_F(BadInputTest, APathLongerThan260CharactersIsReportedWhenStarted) {
  const std::string path = "D:\\" + std::string(300, 'L') + "\\X.EXE";
  WriteBytes(kMenu + "\\app.txt", "Long=" + path + "\r\n");
  Process marlo(kMenu + "\\Marlo.exe", "\\\\DC1");
  HWND main = marlo.WaitForWindow(ids::kWindowClass);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(main, ids::kLabel5)) == "SERVER"; }));
  DoubleClickListItem(List7(main), 0);
  HWND box = marlo.WaitForWindow("#32770", "Start Failed");
  ASSERT_NE(box, nullptr);
  const std::string text = MessageBoxText(box);
  EXPECT_EQ(text.rfind(path + "\r\n", 0), 0u) << text;
  EXPECT_GT(text.size(), path.size() + 2) << "no reason given";
  PressOk(box);
  EXPECT_TRUE(WaitUntil([&] { return marlo.FindWindowOf("#32770") == nullptr; }));
  EXPECT_FALSE(IsIconic(main));
  EXPECT_TRUE(marlo.Running());
}

// The start log is the admins' record; when it cannot be written the menu still works, silently.
TEST_F(BadInputTest, AStartLogThatIsAFolderOrCannotBeWrittenStillOpensTheMenu) {
  const std::string list = "Sales=D:\\S.EXE\r\nStock=D:\\T.EXE\r\n";
  WriteBytes(kMenu + "\\app.txt", list);
  for (const bool folder : {true, false}) {
    SCOPED_TRACE(folder ? "user.txt is a folder" : "user.txt is read-only");
    const std::string log = kMenu + "\\user.txt";
    Locked lock(log);
    if (folder) {
      ASSERT_TRUE(CreateDirectoryA(log.c_str(), nullptr));
    } else {
      RemoveDirectoryA(log.c_str());
      WriteBytes(log, "OLD - 01/12/2026 08:00:00\r\n");
      ASSERT_TRUE(lock.Lock());
    }
    Process marlo(kMenu + "\\Marlo.exe", "\\\\DC1");
    HWND main = marlo.WaitForWindow(ids::kWindowClass);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(ListBoxItems(List7(main)), (std::vector<std::string>{"Sales", "Stock"}));
    EXPECT_EQ(ListBoxSelection(List7(main)), 0);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(main, ids::kLabel5)) == "SERVER"; }));
    EXPECT_EQ(marlo.FindWindowOf("#32770"), nullptr);
    if (!folder) {
      EXPECT_EQ(ReadBytes(log), "OLD - 01/12/2026 08:00:00\r\n");
    }
    EXPECT_EQ(ReadBytes(kMenu + "\\app.txt"), list);
  }
}

}  // namespace
