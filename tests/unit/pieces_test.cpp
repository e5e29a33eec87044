#include <gtest/gtest.h>

#include "fakes.h"
#include "main_window/master.h"

namespace {

struct PieceCase {
  std::string text;
  char delimiter;
  std::vector<std::string> pieces;
  std::string index0, index1;
};

class GetPieceTest : public ::testing::TestWithParam<PieceCase> {
 protected:
  fakes::Machine machine;
  fakes::MasterView view;
  marlo::Master master{machine.platform, view};
};

TEST_P(GetPieceTest, CutsAtEveryDelimiterAndKeepsThePiecesInList6) {
  const PieceCase& c = GetParam();
  EXPECT_EQ(master.GetPiece(c.text, c.delimiter, 0), c.index0);
  EXPECT_EQ(master.List6, c.pieces);
  EXPECT_EQ(master.GetPiece(c.text, c.delimiter, 1), c.index1);
  EXPECT_EQ(master.GetPiece(c.text, c.delimiter, 5), "");
  EXPECT_EQ(master.GetPiece(c.text, c.delimiter, -1), "");
  EXPECT_EQ(master.List6, c.pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GetPieceTest,
    ::testing::Values(
        PieceCase{"Sales=D:\\A.EXE", '=', {"Sales", "D:\\A.EXE"}, "Sales", "D:\\A.EXE"},
        PieceCase{"Sales", '=', {"Sales"}, "Sales", ""}, PieceCase{"", '=', {""}, "", ""},
        PieceCase{"A==B", '=', {"A", "", "B"}, "A", ""},
        PieceCase{"=A=", '=', {"", "A", ""}, "", "A"},
        PieceCase{"\\\\SRV\\D\\MENU", '\\', {"", "", "SRV", "D", "MENU"}, "", ""},
        PieceCase{
            "D:\\APPS\\SALES\\SALES.EXE", '\\', {"D:", "APPS", "SALES", "SALES.EXE"}, "D:", "APPS"},
        PieceCase{"a=b", 'B', {"a=b"}, "a=b", ""},  // case matters
        PieceCase{std::string("x\0y\xE9=z", 6),
                  '=',
                  {std::string("x\0y\xE9", 4), "z"},
                  std::string("x\0y\xE9", 4),
                  "z"}));

TEST_F(GetPieceTest, ServerAndShareOfAShareFolder) {
  EXPECT_EQ(master.GetPiece("\\\\SRV\\D\\MENU", '\\', 2), "SRV");
  EXPECT_EQ(master.GetPiece("\\\\SRV\\D\\MENU", '\\', 3), "D");
  EXPECT_EQ(master.List6.size(), 5u);
}

TEST_F(GetPieceTest, AMegabyteOfDelimitersIsCutIntoEveryPiece) {
  const std::string text(1 << 20, '=');
  EXPECT_EQ(master.GetPiece(text, '=', 1 << 20), "");
  EXPECT_EQ(master.List6.size(), (1u << 20) + 1);
}

}  // namespace
