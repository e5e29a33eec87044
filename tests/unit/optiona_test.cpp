#include <gtest/gtest.h>

#include "fakes.h"
#include "options/optiona.h"

namespace {

using marlo::ListEntry;
using Rows = std::vector<ListEntry>;
using Strings = std::vector<std::string>;

// The Options window as the user sees it: rows, selection, fields and what it said.
class OptionaView : public marlo::OptionaView {
 public:
  Rows rows;
  std::optional<int> selected;
  std::string name, path, position, browse_result;
  bool delete_enabled = false;
  Strings calls;

  void ShowRows(const Rows& shown, std::optional<int> selection) override {
    rows = shown;
    selected = selection;
  }
  std::optional<int> SelectedRow() override { return selected; }
  std::string NameField() override { return name; }
  std::string PathField() override { return path; }
  void SetNameField(const std::string& text) override { name = text; }
  void SetPathField(const std::string& text) override { path = text; }
  void ShowPosition(const std::string& text) override { position = text; }
  void EnableDelete() override { delete_enabled = true; }
  void ShowMessage(const std::string& text, const std::string& title) override {
    calls.push_back("message " + title + ": " + text);
  }
  std::string Browse(const std::string& filter) override {
    calls.push_back("browse " + filter);
    return browse_result;
  }
  void OpenMain() override { calls.push_back("open main"); }
  void CloseMain() override { calls.push_back("close main"); }
  void Close() override { calls.push_back("close"); }
};

const std::string kList = "D:\\MENU\\app.txt";
const char* const kDriveMessage =
    "message Marlo Exe Not Found: Please install Marlo.exe in same drive, Do not Drive Change";
const char* const kSaveFirst = "message Info: Please Save Before You Close";

class OptionaTest : public ::testing::Test {
 protected:
  marlo::Optiona& Open(const std::string& list) {
    machine.files.files[kList].bytes = list;
    options = std::make_unique<marlo::Optiona>(machine.platform, view);
    options->Form_Load();
    return *options;
  }
  void Click(int row) {
    view.selected = row;
    options->LV_Click();
  }

  fakes::Machine machine;
  OptionaView view;
  std::unique_ptr<marlo::Optiona> options;
};

TEST_F(OptionaTest, SavingAtOnceWritesTheRowsBackInTheLineForm) {
  auto& o = Open("A=B=C\r\nNo equals\r\n\r\n Sales = D:\\S.EXE \r\nlast=x");
  EXPECT_EQ(
      view.rows,
      (Rows{{"A", "B"}, {"No equals", ""}, {"", ""}, {" Sales ", " D:\\S.EXE "}, {"last", "x"}}));
  EXPECT_EQ(view.selected, std::nullopt);
  o.cmdSave_Click();
  EXPECT_EQ(machine.files.Text(kList),
            "A=B\r\nNo equals=\r\n=\r\n Sales = D:\\S.EXE \r\nlast=x\r\n");
  EXPECT_EQ(view.calls, Strings{"message Info: Save Succesfully"});
}

TEST_F(OptionaTest, AMissingListOpensEmptyAndAFirstEntryCanBeAdded) {
  machine.files.files.clear();
  options = std::make_unique<marlo::Optiona>(machine.platform, view);
  options->Form_Load();
  EXPECT_TRUE(view.rows.empty());
  view.name = "Sales";
  view.path = "d:\\s.exe";
  options->cmdNew_Click();
  options->cmdSave_Click();
  EXPECT_EQ(machine.files.Text(kList), "Sales=D:\\S.EXE\r\n");
}

TEST_F(OptionaTest, SelectCopiesTheRowIntoTheFieldsAndShowsItsPosition) {
  auto& o = Open("A=D:\\A.EXE\r\nB=D:\\B.EXE\r\n");
  Click(1);
  EXPECT_EQ(view.name, "B");
  EXPECT_EQ(view.path, "D:\\B.EXE");
  EXPECT_EQ(view.position, "2");
  EXPECT_FALSE(o.DeleteEnabled());
  view.selected.reset();  // a click beside the rows selects nothing and changes nothing
  o.LV_Click();
  EXPECT_EQ(view.name, "B");
}

struct DriveCase {
  std::string folder, path;
  bool accepted;
};

class NewDriveTest : public OptionaTest, public ::testing::WithParamInterface<DriveCase> {};

TEST_P(NewDriveTest, AcceptsOnlyPathsOnTheMenusOwnDrive) {
  machine.env.folder = GetParam().folder;
  machine.files.files[GetParam().folder + "\\app.txt"].bytes = "A=D:\\A.EXE\r\n";
  options = std::make_unique<marlo::Optiona>(machine.platform, view);
  options->Form_Load();
  view.name = "New";
  view.path = GetParam().path;
  options->cmdNew_Click();
  if (GetParam().accepted) {
    EXPECT_EQ(view.rows.size(), 2u);
    EXPECT_TRUE(view.calls.empty());
  } else {
    EXPECT_EQ(view.rows.size(), 1u);
    EXPECT_EQ(view.calls, Strings{kDriveMessage});
  }
}

INSTANTIATE_TEST_SUITE_P(Table, NewDriveTest,
                         ::testing::Values(DriveCase{"D:\\MENU", "D:\\X.EXE", true},
                                           DriveCase{"D:\\MENU", "d:\\x.exe", true},
                                           DriveCase{"d:\\menu", "D:\\X.EXE", true},
                                           DriveCase{"D:\\MENU", "E:\\X.EXE", false},
                                           DriveCase{"D:\\MENU", "", false},
                                           DriveCase{"D:\\MENU", "\\\\SRV\\X.EXE", false}));

TEST_F(OptionaTest, NewKeepsTheTypedNameAndUpperCasesThePathBelowTheSelectedRow) {
  auto& o = Open("A=D:\\A.EXE\r\nB=D:\\B.EXE\r\nC=D:\\C.EXE\r\n");
  Click(1);
  view.name = "Pay Roll";
  view.path = "d:\\pay\\first.exe";
  o.cmdNew_Click();
  view.path = "d:\\pay\\second.exe";
  o.cmdNew_Click();
  EXPECT_EQ(view.rows, (Rows{{"A", "D:\\A.EXE"},
                             {"B", "D:\\B.EXE"},
                             {"Pay Roll", "D:\\PAY\\SECOND.EXE"},
                             {"Pay Roll", "D:\\PAY\\FIRST.EXE"},
                             {"C", "D:\\C.EXE"}}));
  EXPECT_EQ(view.selected, 1);
  EXPECT_EQ(view.name, "Pay Roll");  // nothing clears the fields
  EXPECT_TRUE(view.calls.empty());
}

TEST_F(OptionaTest, EditUpperCasesBothFieldsAndAsksForASave) {
  auto& o = Open("A=D:\\A.EXE\r\nB=D:\\B.EXE\r\n");
  Click(0);
  view.name = "Pay Roll";
  view.path = "e:\\pay.exe";  // no drive check on Edit
  o.cmdEdit_Click();
  EXPECT_EQ(view.rows, (Rows{{"PAY ROLL", "E:\\PAY.EXE"}, {"B", "D:\\B.EXE"}}));
  EXPECT_EQ(view.calls, Strings{kSaveFirst});
}

TEST_F(OptionaTest, DeleteNeedsADoubleClickFirstAndStaysEnabled) {
  auto& o = Open("A=1\r\nB=2\r\nC=3\r\n");
  Click(0);
  o.cmdDelete_Click();  // the button is still disabled
  EXPECT_EQ(view.rows.size(), 3u);
  o.LV_DblClick();
  EXPECT_TRUE(view.delete_enabled);
  o.cmdDelete_Click();
  EXPECT_EQ(view.rows, (Rows{{"B", "2"}, {"C", "3"}}));
  EXPECT_EQ(view.calls, Strings{kSaveFirst});
  Click(1);
  o.cmdDelete_Click();
  EXPECT_EQ(view.rows, (Rows{{"B", "2"}}));
  EXPECT_TRUE(o.DeleteEnabled());
}

TEST_F(OptionaTest, EditAndDeleteWithoutASelectedRowDoNothing) {
  auto& o = Open("A=1\r\n");
  o.LV_DblClick();
  view.selected.reset();
  o.cmdEdit_Click();
  o.cmdDelete_Click();
  EXPECT_EQ(view.rows, (Rows{{"A", "1"}}));
  EXPECT_TRUE(view.calls.empty());
}

TEST_F(OptionaTest, BrowsePutsTheDialogsFileNameIntoThePathField) {
  auto& o = Open("");
  view.path = "old";
  view.browse_result = "D:\\APPS\\X.EXE";
  o.cmdBrowse_Click();
  EXPECT_EQ(view.path, "D:\\APPS\\X.EXE");
  EXPECT_EQ(view.calls, Strings{"browse Any Files |*.exe"});
}

TEST_F(OptionaTest, EscapeGoesBackToTheMainWindowAndCloseEndsTheProgram) {
  auto& o = Open("");
  o.txtName_KeyPress('x');
  o.txtName_KeyPress(27);
  o.Form_KeyPress(27);
  o.cmdClose_Click();
  EXPECT_EQ(view.calls,
            (Strings{"open main", "close", "open main", "close", "close main", "close"}));
}

TEST_F(OptionaTest, AnEmptyListSavesAsAZeroByteFile) {
  auto& o = Open("A=1\r\n");
  o.LV_DblClick();
  Click(0);
  o.cmdDelete_Click();
  o.cmdSave_Click();
  EXPECT_EQ(machine.files.Text(kList), "");
}

class FailingSaveTest : public OptionaTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(FailingSaveTest, LeavesTheOldListAndNoTemporaryFileAndSaysSo) {
  const std::string old_list = "A=D:\\A.EXE\r\nB=D:\\B.EXE\r\n";
  auto& o = Open(old_list);
  view.name = "C";
  view.path = "D:\\C.EXE";
  o.cmdNew_Click();
  machine.files.fail_step = GetParam();
  o.cmdSave_Click();

  EXPECT_EQ(machine.files.Text(kList), old_list);
  EXPECT_EQ(machine.files.files.size(), 1u) << "a temporary file was left behind";
  ASSERT_EQ(view.calls.size(), 1u);
  EXPECT_EQ(view.calls[0].rfind("message Save Failed: The list was NOT saved: ", 0), 0u)
      << view.calls[0];
  EXPECT_EQ(view.rows.size(), 3u);

  machine.files.fail_step.clear();  // the rows are still there to be saved again
  o.cmdSave_Click();
  EXPECT_EQ(machine.files.Text(kList), old_list + "C=D:\\C.EXE\r\n");
}

INSTANTIATE_TEST_SUITE_P(EachStep, FailingSaveTest,
                         ::testing::Values("create", "write", "replace"));

}  // namespace
