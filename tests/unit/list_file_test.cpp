#include <gtest/gtest.h>

#include "fakes.h"
#include "main_window/list_file.h"

namespace {

using marlo::ListEntry;
using Lines = std::vector<std::string>;

struct LinesCase {
  std::string bytes;
  Lines lines;
};

class SplitLinesTest : public ::testing::TestWithParam<LinesCase> {};

TEST_P(SplitLinesTest, EndsLinesAtCrLfAndAtALoneCr) {
  EXPECT_EQ(marlo::SplitLines(GetParam().bytes), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SplitLinesTest,
    ::testing::Values(LinesCase{"", {}},
                      LinesCase{"A\r\nB\r\nC", {"A", "B", "C"}},  // last line without line end
                      LinesCase{"A\r\nB\r\n", {"A", "B"}},        // no empty entry after it
                      LinesCase{"A\rB\r", {"A", "B"}},            // a lone CR ends a line
                      LinesCase{"A\nB\r\n", {"A\nB"}},            // a lone LF is text
                      LinesCase{"\r\n\r\n", {"", ""}}, LinesCase{"A\r\r\nB", {"A", "", "B"}},
                      LinesCase{"\n", {"\n"}},
                      LinesCase{std::string("N\0L\x80\xFF\r\n", 7),
                                {std::string("N\0L\x80\xFF", 5)}}));

TEST(SplitLines, AFailedReadKeepsOnlyWholeLines) {
  EXPECT_EQ(marlo::SplitLines("A\r\nB\r\nCC", false), (Lines{"A", "B"}));
  EXPECT_EQ(marlo::SplitLines("A\r\n", false), (Lines{"A"}));
  EXPECT_EQ(marlo::SplitLines("", false), Lines{});
}

struct EntryCase {
  std::string line;
  ListEntry entry;
};

class ParseEntryTest : public ::testing::TestWithParam<EntryCase> {};

TEST_P(ParseEntryTest, TakesPiecesZeroAndOneOfTheLineCutAtEquals) {
  EXPECT_EQ(marlo::ParseEntry(GetParam().line), GetParam().entry);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseEntryTest,
    ::testing::Values(EntryCase{"Sales=D:\\APPS\\SALES.EXE", {"Sales", "D:\\APPS\\SALES.EXE"}},
                      EntryCase{"Sales", {"Sales", ""}}, EntryCase{"", {"", ""}},
                      EntryCase{"=D:\\APPS\\X.EXE", {"", "D:\\APPS\\X.EXE"}},
                      EntryCase{"Sales=", {"Sales", ""}}, EntryCase{"A=B=C", {"A", "B"}},
                      EntryCase{" Sales = D:\\X.EXE ", {" Sales ", " D:\\X.EXE "}}));

TEST(ListFile, AFailedReadGivesTheWholeLinesReadBeforeIt) {
  EXPECT_EQ(marlo::EntriesOf({"A=1\r\nB=", false}), (std::vector<ListEntry>{{"A", "1"}}));
  EXPECT_EQ(marlo::EntriesOf({"A=1\rB", true}), (std::vector<ListEntry>{{"A", "1"}, {"B", ""}}));
  EXPECT_TRUE(marlo::EntriesOf({"", false, true}).empty());
}

TEST(ListFile, WritesEveryEntryWithOneEqualsAndCrLf) {
  EXPECT_EQ(marlo::FormatListFile({}), "");
  EXPECT_EQ(marlo::FormatListFile({{"A", "B"}, {"", ""}, {"Sales", ""}}), "A=B\r\n=\r\nSales=\r\n");
}

TEST(ListFile, WrittenEntriesReadBackTheSame) {
  const std::vector<ListEntry> entries{{"Sales", "D:\\S.EXE"}, {"", ""}, {" x ", "\xE9\n"}};
  std::vector<ListEntry> read;
  for (const auto& line : marlo::SplitLines(marlo::FormatListFile(entries))) {
    read.push_back(marlo::ParseEntry(line));
  }
  EXPECT_EQ(read, entries);
}

}  // namespace
