#include <gtest/gtest.h>

#include "fakes.h"
#include "main_window/audience.h"
#include "main_window/master.h"

namespace {

using Strings = std::vector<std::string>;

struct AudienceCase {
  std::string audience;
  bool shown;
};

class AudienceTest : public ::testing::TestWithParam<AudienceCase> {
 protected:
  AudienceTest() {
    machine.identity.groups = {{"ACCOUNTS", true}, {"OFFICE\\ACCOUNTS", true}, {"STOCK", false}};
  }
  fakes::Machine machine;
};

// The workstation SALES-01, the user OFFICE\anna, a member of Accounts and not of Stock; any other
// group cannot be looked up.
TEST_P(AudienceTest, ShowsAnEntryWhenOneOfItsNamesIsThisComputerItsUserOrAGroupOfTheUsers) {
  marlo::Audiences audiences(machine.identity, machine.locale);
  EXPECT_EQ(audiences.Includes(GetParam().audience), GetParam().shown) << GetParam().audience;
}

INSTANTIATE_TEST_SUITE_P(
    Table, AudienceTest,
    ::testing::Values(AudienceCase{"SALES-01", true}, AudienceCase{"sales-01", true},
                      AudienceCase{"SALES-*", true}, AudienceCase{"SALES-0?", true},
                      AudienceCase{"SALES-?", false}, AudienceCase{"*-01*", true},
                      AudienceCase{"STOCK-*", false}, AudienceCase{"SALES", false},
                      AudienceCase{"anna", true}, AudienceCase{"ANNA", true},
                      AudienceCase{"office\\anna", true}, AudienceCase{"OTHER\\anna", false},
                      AudienceCase{"*\\an*", true}, AudienceCase{"bob", false},
                      AudienceCase{"Accounts", true}, AudienceCase{"OFFICE\\Accounts", true},
                      AudienceCase{"Stock", false}, AudienceCase{"Nobody Has This", false},
                      AudienceCase{"Acc*", false},  // a group is named, never matched
                      AudienceCase{"  bob ,Stock,  anna  ", true},
                      AudienceCase{"bob, Stock", false}, AudienceCase{"", true},
                      AudienceCase{" , ", true}));

// Each name is asked once, and no more than a bound of them at all.
TEST(Audiences, AskEachGroupOnceAndABoundedNumberOfThem) {
  fakes::Machine machine;
  machine.identity.groups = {{"ACCOUNTS", true}};
  marlo::Audiences audiences(machine.identity, machine.locale);
  std::string many = "Accounts";
  for (int i = 0; i < 5000; ++i) many += ", G" + std::to_string(i);
  EXPECT_TRUE(audiences.Includes("Stock, " + many));
  EXPECT_FALSE(audiences.Includes("Stock, " + many.substr(9)));
  EXPECT_EQ(machine.identity.asked.size(), marlo::Audiences::kMostGroupLookups);
}

TEST(FitsWildcards, MatchesCharactersNotBytesAndNeverSlowsDown) {
  EXPECT_TRUE(marlo::FitsWildcards("B?RO", "B\xC3\x9CRO"));  // Ü is one character
  EXPECT_FALSE(marlo::FitsWildcards("B??RO", "B\xC3\x9CRO"));
  EXPECT_TRUE(marlo::FitsWildcards("*", ""));
  EXPECT_FALSE(marlo::FitsWildcards(std::string(40, '*') + "B", std::string(5000, 'A')));
}

// The menu of a workstation shows its own entries, in file order (the start of the one shown is
// proved end to end), and each group is asked of the domain once for the life of the menu.
TEST(AudienceMenu, ShowsOnlyTheEntriesMeantForThisWorkstation) {
  fakes::Machine machine;
  fakes::MasterView view;
  machine.identity.groups = {{"ACCOUNTS", true}};
  machine.files.files["D:\\MENU\\app.txt"].bytes =
      "Stock=D:\\T.EXE=@STOCK-*\r\nLedger=D:\\L.EXE=@Accounts\r\nAll=D:\\A.EXE=a note\r\n"
      "Ghost=D:\\G.EXE=@No Such Group, Accounts2\r\nPay=D:\\P.EXE=@anna, accounts\r\n";
  marlo::Master m(machine.platform, view);
  m.Form_Load();
  m.Timer2_Timer();
  EXPECT_EQ(view.menu, (Strings{"Ledger", "All", "Pay"}));
  EXPECT_EQ(m.Label12, "D:\\L.EXE");
  // Read again after a save: nothing more is asked.
  machine.identity.asked.clear();
  machine.files.files["D:\\MENU\\app.txt"].bytes += "New=D:\\N.EXE=@Accounts\r\n";
  machine.clock.ticks += 5000;
  m.Form_Activate();
  machine.clock.ticks += 1000;
  m.Timer3_Timer();
  EXPECT_EQ(view.menu, (Strings{"Ledger", "All", "Pay", "New"}));
  EXPECT_TRUE(machine.identity.asked.empty());
}

}  // namespace
