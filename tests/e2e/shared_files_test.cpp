// The two files every workstation shares, under load from several processes at once, through the
// same code the menu uses: a save never shows a reader a missing or partial list, and start-log
// records never tear or get lost.
//
// A reader reading in a tight loop almost always has app.txt open, and a file that is open cannot
// be replaced; a save waits for a gap for about a second and a half and otherwise reports that it
// failed, with the old list untouched. So some saves may fail here; none may damage the list.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "harness.h"

namespace {

using namespace e2e;

const std::string kFolder = "D:\\STRESS";

std::string Stress() { return "\"" + BinFolder() + "\\list_stress.exe\" "; }

TEST(SharedFilesTest, ReadersSeeTheOldListOrTheNewOneDuringTwoHundredSaves) {
  ResetFolder(kFolder);
  WriteBytes(kFolder + "\\app.txt",
             "Sales=D:\\SALES\\NEWSALES\\X.EXE\r\nStock=D:\\STOCK\\STOCK.EXE\r\n");
  const std::string stop = kFolder + "\\stop";
  std::vector<std::unique_ptr<Process>> readers;
  for (int i = 0; i < 1; ++i) {
    readers.push_back(std::make_unique<Process>(Stress() + "reader " + kFolder + " " + stop));
  }
  Sleep(300);
  const auto started = std::chrono::steady_clock::now();
  Process writer(Stress() + "writer " + kFolder + " 200");
  ASSERT_TRUE(writer.WaitForExit(std::chrono::seconds(300)));
  const auto seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  WriteBytes(stop, "");
  for (auto& reader : readers) ASSERT_TRUE(reader->WaitForExit(std::chrono::seconds(30)));

  const auto writer_result = ReadLines(kFolder + "\\writer.txt");
  ASSERT_EQ(writer_result.size(), 1u);
  int saved = 0, failed = 0;
  ASSERT_EQ(std::sscanf(writer_result[0].c_str(), "%d %d", &saved, &failed), 2);
  long long total_a = 0, total_b = 0, total_missing = 0, total_other = 0;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((kFolder + "\\reader-*.txt").c_str(), &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  int results = 0;
  do {
    long long a = 0, b = 0, missing = 0, other = 0;
    const auto line = ReadLines(kFolder + "\\" + data.cFileName);
    ASSERT_EQ(line.size(), 1u);
    ASSERT_EQ(std::sscanf(line[0].c_str(), "%lld %lld %lld %lld", &a, &b, &missing, &other), 4);
    total_a += a;
    total_b += b;
    total_missing += missing;
    total_other += other;
    ++results;
  } while (FindNextFileA(find, &data));
  FindClose(find);

  std::printf(
      "200 saves in %.1f s (%d saved, %d refused while the file was open); %d reader "
      "read list A %lld times, list B %lld times, no list %lld times, a partial or other "
      "list %lld times\n",
      seconds, saved, failed, results, total_a, total_b, total_missing, total_other);
  EXPECT_EQ(saved + failed, 200);
  EXPECT_GT(saved, 100);
  EXPECT_EQ(results, 1);
  EXPECT_GT(total_a, 0);
  EXPECT_GT(total_b, 0);
  EXPECT_EQ(total_missing, 0);
  EXPECT_EQ(total_other, 0);
  WIN32_FIND_DATAA temporary;
  EXPECT_EQ(FindFirstFileA((kFolder + "\\*.tmp").c_str(), &temporary), INVALID_HANDLE_VALUE);
}

TEST(SharedFilesTest, StartLogRecordsFromEightProcessesStayWhole) {
  constexpr int kProcesses = 8;
  constexpr int kRecords = 500;
  ResetFolder(kFolder);
  const std::string log = kFolder + "\\user.txt";
  const auto started = std::chrono::steady_clock::now();
  std::vector<std::unique_ptr<Process>> appenders;
  for (int i = 0; i < kProcesses; ++i) {
    appenders.push_back(std::make_unique<Process>(
        Stress() + "appender " + log + " " + std::to_string(kRecords) + " WS" + std::to_string(i)));
  }
  for (auto& appender : appenders) ASSERT_TRUE(appender->WaitForExit(std::chrono::seconds(300)));
  const auto seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

  const auto lines = ReadLines(log);
  std::set<std::string> whole;
  for (const auto& line : lines) {
    int workstation = -1, record = -1;
    char tail[64] = {};
    if (std::sscanf(line.c_str(), "WS%d - record %d of a start log %63[a-z ]", &workstation,
                    &record, tail) == 3 &&
        std::string(tail) == "line" && workstation >= 0 && workstation < kProcesses &&
        record >= 0 && record < kRecords) {
      whole.insert(line);
    }
  }
  std::printf("%d processes x %d records in %.1f s: %zu lines, %zu whole and distinct\n",
              kProcesses, kRecords, seconds, lines.size(), whole.size());
  EXPECT_EQ(lines.size(), static_cast<std::size_t>(kProcesses * kRecords));
  EXPECT_EQ(whole.size(), static_cast<std::size_t>(kProcesses * kRecords));
}

}  // namespace
