#include <gtest/gtest.h>

#include "fakes.h"
#include "main_window/list_file.h"
#include "main_window/list_form.h"

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
  EXPECT_EQ(marlo::CountLines(GetParam().bytes, true), GetParam().lines.size());
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
                      LinesCase{"1234567\r"
                                "12345678\r\n9",
                                {"1234567", "12345678", "9"}},
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
                      EntryCase{" Sales = D:\\X.EXE ", {" Sales ", " D:\\X.EXE "}},
                      // the audience: a third field that begins with "@"; a note there is none
                      EntryCase{"S=D:\\S.EXE=@SALES-*, Accounts=x",
                                {"S", "D:\\S.EXE", "SALES-*, Accounts"}},
                      EntryCase{"S=D:\\S.EXE= @anna", {"S", "D:\\S.EXE"}},
                      EntryCase{"S=D:\\S.EXE=for the stock room", {"S", "D:\\S.EXE"}},
                      EntryCase{"S==@anna", {"S", "", "anna"}}, EntryCase{"S=X=@", {"S", "X"}}));

TEST(ListFile, AFailedReadGivesTheWholeLinesReadBeforeIt) {
  EXPECT_EQ(marlo::EntriesOf({{false}, "A=1\r\nB="}), (std::vector<ListEntry>{{"A", "1"}}));
  EXPECT_EQ(marlo::EntriesOf({{true}, "A=1\rB"}), (std::vector<ListEntry>{{"A", "1"}, {"B", ""}}));
  EXPECT_TRUE(marlo::EntriesOf({{false, "CreateFileW", "app.txt", 2, "", true}}).empty());
}

TEST(ListFile, WritesEveryEntryWithOneEqualsAndCrLf) {
  EXPECT_EQ(marlo::FormatListFile({}), "");
  EXPECT_EQ(marlo::FormatListFile({{"A", "B"}, {"", ""}, {"Sales", ""}}), "A=B\r\n=\r\nSales=\r\n");
}

TEST(ListFile, WrittenEntriesReadBackTheSame) {
  const std::vector<ListEntry> entries{
      {"Sales", "D:\\S.EXE"}, {"", ""}, {" x ", "\xE9\n"}, {"S", "D:\\S.EXE", "SALES-*, anna"}};
  std::vector<ListEntry> read;
  for (const auto& line : marlo::SplitLines(marlo::FormatListFile(entries))) {
    read.push_back(marlo::ParseEntry(line));
  }
  EXPECT_EQ(read, entries);
}

// The three forms of app.txt (the fake ANSI code page is Latin-1): each is read as text, and the
// rows written back in the form read give the same bytes. Whole lines only after a failed read.
struct FormCase {
  std::string bytes;
  bool complete;
  marlo::ListForm form;
  std::vector<ListEntry> entries;
  std::string written;  // the entries written back in `form`, or with a mark where they must
};

class ListFormTest : public ::testing::TestWithParam<FormCase> {};

TEST_P(ListFormTest, ReadsTheTextOfEachFormAndWritesItBackInThatForm) {
  const FormCase& c = GetParam();
  fakes::Locale locale;
  const auto list = marlo::DecodeList({{c.complete}, c.bytes}, locale);
  EXPECT_EQ(list.form, c.form);
  const auto entries = marlo::EntriesOf(list.Text(), c.complete);
  EXPECT_EQ(entries, c.entries);
  EXPECT_EQ(marlo::EncodeList(entries, list.form, locale).bytes, c.written);
}

using marlo::ListForm;
using namespace std::string_literals;
const std::string kBuero = "B\xC3\xBCro";  // Büro in UTF-8

INSTANTIATE_TEST_SUITE_P(
    Forms, ListFormTest,
    ::testing::Values(
        FormCase{"Sales=D:\\S.EXE\r\n",
                 true,
                 ListForm::kAnsi,
                 {{"Sales", "D:\\S.EXE"}},
                 "Sales=D:\\S.EXE\r\n"},
        FormCase{"B\xFCro=D:\\B\xFC.EXE",
                 true,
                 ListForm::kAnsi,
                 {{kBuero, "D:\\B\xC3\xBC.EXE"}},
                 "B\xFCro=D:\\B\xFC.EXE\r\n"},
        FormCase{kBuero + "=D:\\B.EXE\r\n",
                 true,
                 ListForm::kUtf8,
                 {{kBuero, "D:\\B.EXE"}},
                 kBuero + "=D:\\B.EXE\r\n"},
        FormCase{"\xEF\xBB\xBF" + kBuero + "=D:\\B.EXE\r\n",
                 true,
                 ListForm::kUtf8WithMark,
                 {{kBuero, "D:\\B.EXE"}},
                 "\xEF\xBB\xBF" + kBuero + "=D:\\B.EXE\r\n"},
        FormCase{"\xEF\xBB\xBF", true, ListForm::kUtf8WithMark, {}, "\xEF\xBB\xBF"},
        FormCase{"\xEF\xBB\xBF"
                 "A=\xFC\r\n",
                 true,
                 ListForm::kUtf8WithMark,
                 {{"A", "\xFC"}},
                 "\xEF\xBB\xBF"
                 "A=\xFC\r\n"},  // not UTF-8 after the mark: kept as it is
        // Not UTF-8: an overlong "/", a surrogate, a cut sequence.
        FormCase{
            "\xC0\xAF=\r\n", true, ListForm::kAnsi, {{"\xC3\x80\xC2\xAF", ""}}, "\xC0\xAF=\r\n"},
        FormCase{"\xED\xA0\x80\r\n",
                 true,
                 ListForm::kAnsi,
                 {{"\xC3\xAD\xC2\xA0\xC2\x80", ""}},
                 "\xED\xA0\x80=\r\n"},
        FormCase{"A=\xD0\r\n", true, ListForm::kAnsi, {{"A", "\xC3\x90"}}, "A=\xD0\r\n"},
        // Without the field that made it ANSI, the bytes would read as UTF-8: the mark keeps it.
        FormCase{"A=B=\xB3\r\n\xC3\xA9=1",
                 true,
                 ListForm::kAnsi,
                 {{"A", "B"}, {"\xC3\x83\xC2\xA9", "1"}},
                 "\xEF\xBB\xBF"
                 "A=B\r\n\xC3\x83\xC2\xA9=1\r\n"},
        // A read that failed inside a character: the whole lines before it are UTF-8.
        FormCase{"\xD0\xA1=D:\\C.EXE\r\n\xD0",
                 false,
                 ListForm::kUtf8,
                 {{"\xD0\xA1", "D:\\C.EXE"}},
                 "\xD0\xA1=D:\\C.EXE\r\n"},
        // UTF-16 little-endian (Windows PowerShell's ">"): Büro, С.
        FormCase{"\xFF\xFE"
                 "B\0\xFC\0r\0o\0=\0D\0:\0\\\0B\0.\0E\0X\0E\0\r\0\n\0"
                 "\x21\x04=\0"
                 "1\0"s,
                 true,
                 ListForm::kUtf16Le,
                 {{kBuero, "D:\\B.EXE"}, {"\xD0\xA1", "1"}},
                 "\xFF\xFE"
                 "B\0\xFC\0r\0o\0=\0D\0:\0\\\0B\0.\0E\0X\0E\0\r\0\n\0"
                 "\x21\x04=\0"
                 "1\0\r\0\n\0"s},
        FormCase{"\xFF\xFE", true, ListForm::kUtf16Le, {}, "\xFF\xFE"},
        // Big-endian: a pair (U+1F600), a lone surrogate kept as it was, half a unit at the end.
        FormCase{"\xFE\xFF\xD8\x3D\xDE\x00\0=\xD8\x00\0\r\0\n\0A\x42"s,
                 true,
                 ListForm::kUtf16Be,
                 {{"\xF0\x9F\x98\x80", "\xED\xA0\x80"}, {"A\xEF\xBF\xBD", ""}},
                 "\xFE\xFF\xD8\x3D\xDE\x00\0=\xD8\x00\0\r\0\n\0A\xFF\xFD\0=\0\r\0\n"s},
        // A UTF-16 read that failed inside a unit: the whole lines before it.
        FormCase{"\xFF\xFE"
                 "A\0=\0"
                 "1\0\r\0\n\0"
                 "B\0\x3D"s,
                 false,
                 ListForm::kUtf16Le,
                 {{"A", "1"}},
                 "\xFF\xFE"
                 "A\0=\0"
                 "1\0\r\0\n\0"s}));

TEST(ListForm, AnAnsiListWithARowBeyondTheCodePageIsWrittenAsUtf8WithAMark) {
  fakes::Locale locale;
  const std::string sklad = "\xD0\xA1\xD0\xBA\xD0\xBB\xD0\xB0\xD0\xB4";  // Склад
  const auto written =
      marlo::EncodeList({{kBuero, "D:\\B.EXE"}, {sklad, "D:\\S.EXE"}}, ListForm::kAnsi, locale);
  EXPECT_EQ(written.form, ListForm::kUtf8WithMark);
  EXPECT_EQ(written.bytes, "\xEF\xBB\xBF" + kBuero + "=D:\\B.EXE\r\n" + sklad + "=D:\\S.EXE\r\n");
}

// Lists beyond sense show their first million entries; a list of exactly that many is whole.
TEST(ListForm, ListsBeyondSenseAreCutToTheirFirstMillionEntries) {
  fakes::Locale locale;
  std::string lines;
  for (std::size_t i = 0; i < marlo::kMostEntries; ++i) lines += "\r\n";
  for (const auto& [bytes, cut] : {std::pair{lines, false}, std::pair{lines + "X", true}}) {
    const auto list = marlo::DecodeList({{true}, bytes}, locale);
    EXPECT_EQ(list.cut, cut);
    EXPECT_EQ(marlo::CountLines(list.Text(), true), marlo::kMostEntries);
  }
  const auto at_limit = marlo::DecodeList({{true}, "A=1\r\nB", true}, locale);
  EXPECT_TRUE(at_limit.cut);
  EXPECT_EQ(at_limit.Text(), "A=1\r");  // whole lines only
}

// The new list is app.txt's from its first moment: made with its security, written, given its
// attributes and marked for backup, then put in its place in one step. A list not there yet is
// made with the folder's defaults and given the name.
TEST(SaveListFile, MakesTheNewListWithTheOldOnesSecurityAndPutsItInItsPlace) {
  for (const bool there : {true, false}) {
    fakes::Machine machine;
    const std::string security = there ? "O:BAD:P(A;;FA;;;BA)(A;;FR;;;BU)" : "";
    if (there) machine.files.files["D:\\MENU\\app.txt"] = {"OLD\r\n", {false, true}, security};
    EXPECT_TRUE(marlo::SaveListFile(machine.files, "D:\\MENU", "NEW\r\n").ok);
    EXPECT_EQ(machine.faults.kinds,
              (std::vector<std::string>{"look", "create", "write", "keep", "place"}));
    ASSERT_EQ(machine.files.files.size(), 1u);
    const auto& list = machine.files.files.at("D:\\MENU\\app.txt");
    EXPECT_EQ(list.bytes, "NEW\r\n");
    EXPECT_EQ(list.security, security);
    EXPECT_EQ(list.attributes.hidden, there);
    EXPECT_TRUE(list.archive);
    EXPECT_TRUE(machine.files.held.empty());
  }
}

}  // namespace
