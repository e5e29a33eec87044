#include <gtest/gtest.h>

#include "platform/colours.h"

namespace {

using marlo::Colours;
using marlo::Part;
using marlo::Rgb;

// A scheme of colours no part of the program has of its own.
const marlo::SystemColours kSystem{
    {Rgb(1, 1, 1), Rgb(2, 2, 2)}, {Rgb(3, 3, 3), Rgb(4, 4, 4)}, {Rgb(5, 5, 5), Rgb(6, 6, 6)}, 7};

struct ColourCase {
  Part part;
  bool high_contrast;
  Colours colours;
};

class ColourTest : public ::testing::TestWithParam<ColourCase> {};

TEST_P(ColourTest, TheProgramsOwnColoursOrInHighContrastTheSystemsPairs) {
  const ColourCase& c = GetParam();
  EXPECT_EQ(marlo::ColoursOf(c.part, c.high_contrast, kSystem), c.colours)
      << static_cast<int>(c.part) << (c.high_contrast ? " high contrast" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Table, ColourTest,
    // Without high contrast: the program's own colours, the window's ground the system's.
    ::testing::Values(ColourCase{Part::kWindow, false, kSystem.face},
                      ColourCase{Part::kMenu, false, {Rgb(0, 0, 255), Rgb(255, 192, 192)}},
                      ColourCase{Part::kMissingProgram, false, {Rgb(192, 0, 0), Rgb(2, 2, 2)}},
                      ColourCase{Part::kWindow, true, kSystem.face},
                      ColourCase{Part::kMenu, true, kSystem.window},
                      ColourCase{Part::kModeCaption, true, kSystem.highlight},
                      ColourCase{Part::kMode, true, kSystem.face},
                      ColourCase{Part::kModeStrip, true, kSystem.face},
                      ColourCase{Part::kBanner, true, kSystem.highlight},
                      ColourCase{Part::kPanel, true, kSystem.window},
                      ColourCase{Part::kTitle, true, kSystem.highlight},
                      ColourCase{Part::kFieldCaption, true, kSystem.face},
                      ColourCase{Part::kMissingProgram, true, {7, Rgb(2, 2, 2)}}));

}  // namespace
