#include <gtest/gtest.h>

#include "main_window/start_log.h"

namespace {

TEST(StartRecord, UsesTheRegionalSeparatorsAndTwoDigitFields) {
  const marlo::LocalTime time{2026, 12, 7, 9, 5, 3};
  EXPECT_EQ(marlo::FormatStartRecord("FILESERVER", time, {"/", ":"}),
            "FILESERVER - 07/12/2026 09:05:03\r\n");
  EXPECT_EQ(marlo::FormatStartRecord("", time, {".", "."}), " - 07.12.2026 09.05.03\r\n");
  EXPECT_EQ(marlo::FormatStartRecord("dc1", {2027, 1, 31, 23, 59, 59}, {"-", ":"}),
            "dc1 - 31-01-2027 23:59:59\r\n");
}

TEST(StartRecord, IsOneLineWhateverTheNameOrTheSeparatorsHold) {
  const marlo::LocalTime time{2026, 12, 7, 9, 5, 3};
  EXPECT_EQ(marlo::FormatStartRecord("DC\r\n1\n", time, {"/", ":"}),
            "DC1 - 07/12/2026 09:05:03\r\n");
  EXPECT_EQ(marlo::FormatStartRecord("\r", time, {"\r\n", "\n"}), " - 07122026 090503\r\n");
}

TEST(StartRecord, NamesOfTheLogonServerAndOfTheShareServer) {
  EXPECT_EQ(marlo::LogonServerName(std::nullopt), "");
  EXPECT_EQ(marlo::LogonServerName(std::string("\\\\FILESERVER")), "FILESERVER");
  EXPECT_EQ(marlo::LogonServerName(std::string("\\\\dc1")), "dc1");
  EXPECT_EQ(marlo::LogonServerName(std::string("\\\\A\\\\B\\C")), "AB\\C");
  EXPECT_EQ(marlo::FolderServerName("\\\\FILESERVER\\APPS\\MENU"), "FILESERVER");
  EXPECT_EQ(marlo::FolderServerName("D:\\MENU"), "D:");
}

}  // namespace
