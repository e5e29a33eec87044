#include <gtest/gtest.h>

#include <set>

#include "platform/paths.h"

namespace {

struct FolderCase {
  std::string exe_path;
  std::string folder;
};

class ProgramFolderTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(ProgramFolderTest, GivesTheDriveOrShareFormWithoutTrailingBackslash) {
  EXPECT_EQ(marlo::ProgramFolderFromExePath(GetParam().exe_path), GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ProgramFolderTest,
    ::testing::Values(
        FolderCase{"D:\\MENU\\Marlo.exe", "D:\\MENU"},
        FolderCase{"\\\\FILESERVER\\APPS\\MENU\\Marlo.exe", "\\\\FILESERVER\\APPS\\MENU"},
        FolderCase{"\\\\?\\UNC\\FILESERVER\\APPS\\MENU\\Marlo.exe", "\\\\FILESERVER\\APPS\\MENU"},
        FolderCase{"UNC\\FILESERVER\\APPS\\MENU\\Marlo.exe", "\\\\FILESERVER\\APPS\\MENU"},
        FolderCase{"\\\\?\\D:\\MENU\\Marlo.exe", "D:\\MENU"}, FolderCase{"D:\\Marlo.exe", "D:"}));

struct SplitCase {
  std::string listed;
  std::set<std::string> existing;
  marlo::StartCommand command;
};

class SplitStartCommandTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitStartCommandTest, TellsProgramAndArgumentsApartWithoutTryingAShorterFile) {
  const SplitCase& c = GetParam();
  const auto command = marlo::SplitStartCommand(
      c.listed, [&c](const std::string& path) { return c.existing.count(path) > 0; });
  EXPECT_EQ(command.program, c.command.program) << c.listed;
  EXPECT_EQ(command.arguments, c.command.arguments) << c.listed;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SplitStartCommandTest,
    ::testing::Values(
        // A file that exists is the program, blanks, dots and all.
        SplitCase{"D:\\A.EXE B\\C.EXE", {"D:\\A.EXE B\\C.EXE"}, {"D:\\A.EXE B\\C.EXE", ""}},
        SplitCase{"D:\\TOOL", {"D:\\TOOL"}, {"D:\\TOOL", ""}},
        // No such file: up to the first ".exe" followed by a blank, in any case.
        SplitCase{"D:\\A.EXE B\\C.EXE", {}, {"D:\\A.EXE", "B\\C.EXE"}},
        SplitCase{"D:\\APPS\\x.Exe  -a  b ", {}, {"D:\\APPS\\x.Exe", " -a  b "}},
        SplitCase{
            "D:\\PROGRAM FILES\\X.EXE -a", {"D:\\PROGRAM.EXE"}, {"D:\\PROGRAM FILES\\X.EXE", "-a"}},
        SplitCase{"D:\\X.EXEC -a", {}, {"D:\\X.EXEC -a", ""}},
        // No such file and no extension: ".exe" is added; a dot in a folder name does not count.
        SplitCase{"D:\\APPS\\TOOL", {}, {"D:\\APPS\\TOOL.exe", ""}},
        SplitCase{"D:\\V1.2\\TOOL", {}, {"D:\\V1.2\\TOOL.exe", ""}},
        SplitCase{"D:\\APPS\\TOOL.COM", {}, {"D:\\APPS\\TOOL.COM", ""}},
        SplitCase{"D:\\APPS\\", {}, {"D:\\APPS\\", ""}}, SplitCase{"D:", {}, {"D:", ""}},
        SplitCase{"", {}, {"", ""}},
        // Quoted: the program inside the quotes, the arguments after the blank that follows.
        SplitCase{"\"D:\\A B\\X.EXE\" -a \"q\"", {}, {"D:\\A B\\X.EXE", "-a \"q\""}},
        SplitCase{"\"D:\\A B\\X.EXE\"", {}, {"D:\\A B\\X.EXE", ""}},
        SplitCase{"\"D:\\A B\\TOOL\" x", {}, {"D:\\A B\\TOOL.exe", "x"}},
        SplitCase{"\"D:\\A B\\TOOL\" x", {"D:\\A B\\TOOL"}, {"D:\\A B\\TOOL", "x"}},
        // Quotes that do not close, or close before more text, are part of the path.
        SplitCase{"\"D:\\X.EXE", {}, {"\"D:\\X.EXE", ""}},
        SplitCase{"\"D:\\X\".EXE", {}, {"\"D:\\X\".EXE", ""}},
        // Share form is split by the same rules.
        SplitCase{"\\\\SRV\\D\\X.EXE /a", {}, {"\\\\SRV\\D\\X.EXE", "/a"}}));

TEST(CommandLine, QuotesTheProgramAndAppendsTheArgumentsAsListed) {
  EXPECT_EQ(marlo::CommandLineOf({"D:\\A B\\X.EXE", ""}), "\"D:\\A B\\X.EXE\"");
  EXPECT_EQ(marlo::CommandLineOf({"D:\\X.EXE", " -a  \"b\""}), "\"D:\\X.EXE\"  -a  \"b\"");
}

TEST(SameDrive, ComparesTheFirstCharactersWithoutCase) {
  EXPECT_TRUE(marlo::SameDrive("d:\\X.EXE", "D:\\MENU"));
  EXPECT_FALSE(marlo::SameDrive("E:\\X.EXE", "D:\\MENU"));
  EXPECT_FALSE(marlo::SameDrive("", "D:\\MENU"));
  EXPECT_FALSE(marlo::SameDrive("\\\\SRV\\X.EXE", "D:\\MENU"));
  EXPECT_FALSE(marlo::SameDrive("\xC3\x89:\\X.EXE", "\xC3\x88:\\MENU"));  // É and È
}

}  // namespace
