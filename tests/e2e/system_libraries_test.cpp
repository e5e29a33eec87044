// The system libraries the menu loads at run time, under Wine. A save's temporary name falls back
// to the performance counter when the random source cannot be had, so no save shows whether
// bcrypt's generator was found: this does.
#include <gtest/gtest.h>

#include <array>

#include "platform/system_libraries_win.h"

namespace {

TEST(SystemLibrariesTest, RandomBytesComeFromTheSystemsGenerator) {
  using Bytes = std::array<unsigned char, 16>;
  Bytes first{}, second{};
  ASSERT_TRUE(marlo::RandomFromSystem(first.data(), first.size()));
  ASSERT_TRUE(marlo::RandomFromSystem(second.data(), second.size()));
  EXPECT_NE(first, Bytes{});
  EXPECT_NE(first, second);
}

}  // namespace
