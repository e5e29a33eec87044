// One failing platform call at a time, at every point of a start-up, a start and a save; then
// every call from that point on. Whatever fails, app.txt is the old list or the new one, and the
// user is told exactly what went wrong: nothing is reported that did not happen, nothing that
// failed is passed over in silence.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "fakes.h"
#include "main_window/master.h"
#include "options/optiona.h"

namespace {

using Strings = std::vector<std::string>;

const char* const kList = "Sales=D:\\APPS\\S.EXE\r\nStock=D:\\APPS\\T.EXE\r\n";
const char* const kReadMessage =
    "message RMX: App.txt could not be read completely. The menu shows the entries read before "
    "the failure.";

bool CallFailed(const fakes::Faults& faults, std::size_t call) {
  const int n = static_cast<int>(call);
  return faults.fail_at > 0 && (n == faults.fail_at || (faults.from_then_on && n > faults.fail_at));
}

// True when a call of `kind` failed; with `occurrence`, only that one (1 for the first call of
// that kind).
bool Failed(const fakes::Faults& faults, const std::string& kind, int occurrence = 0) {
  int seen = 0;
  for (std::size_t call = 1; call <= faults.kinds.size(); ++call) {
    if (faults.kinds[call - 1] != kind) continue;
    ++seen;
    if ((occurrence == 0 || seen == occurrence) && CallFailed(faults, call)) return true;
  }
  return false;
}

bool Has(const Strings& calls, const std::string& call) {
  return std::find(calls.begin(), calls.end(), call) != calls.end();
}

bool StartsWith(const std::string& text, const std::string& lead) {
  return text.rfind(lead, 0) == 0;
}

// Runs `scenario` once without faults to count its calls, then with call N failing (once, and from
// then on) for every N, and hands each run to `check`.
template <typename Run>
void ForEveryFault(const std::function<void(fakes::Machine&, Run&)>& scenario,
                   const std::function<void(const fakes::Machine&, const Run&)>& check) {
  int calls = 0;
  {
    fakes::Machine machine;
    Run run;
    scenario(machine, run);
    calls = static_cast<int>(machine.faults.kinds.size());
  }
  ASSERT_GT(calls, 0);
  for (const bool from_then_on : {false, true}) {
    for (int n = 1; n <= calls; ++n) {
      fakes::Machine machine;
      machine.faults.fail_at = n;
      machine.faults.from_then_on = from_then_on;
      Run run;
      scenario(machine, run);
      SCOPED_TRACE("call " + std::to_string(n) + " (" +
                   (n <= static_cast<int>(machine.faults.kinds.size())
                        ? machine.faults.kinds[static_cast<std::size_t>(n - 1)]
                        : "?") +
                   ") fails" + (from_then_on ? ", and every call after it" : ""));
      check(machine, run);
    }
  }
}

struct StartupRun {
  fakes::MasterView view;
  std::unique_ptr<marlo::Master> master;
};

// Start-up with a list, on the server and on a client: the menu never writes app.txt, and only a
// list read short is reported (a start log that cannot be written is the admins' affair, and
// the menu works without it).
TEST(Faults, StartUpWithAListNeverWritesItAndReportsOnlyAShortRead) {
  for (const std::string folder : {"D:\\MENU", "\\\\FILESERVER\\APPS\\MENU"}) {
    SCOPED_TRACE(folder);
    ForEveryFault<StartupRun>(
        [&](fakes::Machine& machine, StartupRun& run) {
          machine.env.folder = folder;
          machine.env.variables["LOGONSERVER"] = "\\\\DC1";
          machine.files.files[folder + "\\app.txt"].bytes = kList;
          run.master = std::make_unique<marlo::Master>(machine.platform, run.view);
          run.master->Form_Load();
          if (!Has(run.view.calls, "close")) run.master->Timer2_Timer();
        },
        [&](const fakes::Machine& machine, const StartupRun& run) {
          EXPECT_EQ(machine.files.Text(folder + "\\app.txt"), kList);
          for (const auto& [path, file] : machine.files.files) {
            EXPECT_TRUE(path == folder + "\\app.txt" || path == folder + "\\user.txt") << path;
          }
          // A lookup that fails is no missing list: the list is read, and only a failed read is
          // reported.
          Strings expected;
          if (Failed(machine.faults, "read")) expected.push_back(kReadMessage);
          expected.push_back("topmost");
          if (folder[0] == '\\') {
            EXPECT_EQ(run.view.mode, "CLIENT");
            expected.push_back("hide options and exit");
          } else {
            EXPECT_EQ(run.view.mode, "SERVER");
          }
          expected.push_back("stop timer");
          EXPECT_EQ(run.view.calls, expected);
          if (!Failed(machine.faults, "read")) {
            EXPECT_EQ(run.view.menu, (Strings{"Sales", "Stock"}));
            EXPECT_EQ(run.view.selection, 0);
          }
          // Whatever records were written are whole lines.
          const std::string log = machine.files.Text(folder + "\\user.txt");
          if (log != "<missing>") {
            for (std::size_t start = 0; start < log.size();) {
              const auto end = log.find("\r\n", start);
              ASSERT_NE(end, std::string::npos) << log;
              EXPECT_NE(log.find(" - 07/12/2026 09:05:0", start), std::string::npos);
              start = end + 2;
            }
          }
        });
  }
}

// Without a list: the default list is written whole or not at all, and the second message says
// which. When the lookup itself fails, nothing is written and the list that cannot be read is
// reported.
TEST(Faults, StartUpWithoutAListWritesTheDefaultListWholeOrSaysWhyNot) {
  ForEveryFault<StartupRun>(
      [](fakes::Machine& machine, StartupRun& run) {
        run.master = std::make_unique<marlo::Master>(machine.platform, run.view);
        run.master->Form_Load();
      },
      [](const fakes::Machine& machine, const StartupRun& run) {
        const std::string list = machine.files.Text("D:\\MENU\\APP.txt");
        // The first search is the start-up's lookup.
        if (Failed(machine.faults, "search", 1)) {
          EXPECT_EQ(list, "<missing>");
          EXPECT_EQ(run.view.calls, Strings{kReadMessage});
          EXPECT_TRUE(run.view.menu.empty());
          return;
        }
        ASSERT_EQ(run.view.calls.size(), 3u);
        EXPECT_EQ(run.view.calls[0], "message RMX: App.txt File Not Found...");
        if (list == "<missing>") {
          EXPECT_TRUE(StartsWith(run.view.calls[1],
                                 "message RMX: The default list could not be written: "));
        } else {
          EXPECT_EQ(list, "QFACT=D:\\MENU\\qfact.exe\r\n");
          EXPECT_EQ(run.view.calls[1], "message RMX: Please Re Start Programm...");
        }
        EXPECT_EQ(run.view.calls[2], "close");
        EXPECT_EQ(machine.files.Text("D:\\MENU\\user.txt"), "<missing>");
      });
}

struct StartRun {
  fakes::MasterView view;
  std::unique_ptr<marlo::Master> master;
  std::string program;  // what a start that works runs
};

struct StartCase {
  std::string folder, listed, program;
  bool double_click;
};

class FaultsInAStart : public ::testing::TestWithParam<StartCase> {};

// A start: the program runs and the window goes down, or the user sees "Start Failed".
TEST_P(FaultsInAStart, StartsOrSaysStartFailedAndNeverMinimisesAfterAFailure) {
  const StartCase& c = GetParam();
  ForEveryFault<StartRun>(
      [&](fakes::Machine& machine, StartRun& run) {
        const int fail_at = machine.faults.fail_at;
        machine.faults.fail_at = 0;  // start-up works; the faults are in the start
        machine.env.folder = c.folder;
        machine.files.files[c.folder + "\\app.txt"].bytes = "X=" + c.listed + "\r\n";
        machine.files.files[c.program] = {};
        run.master = std::make_unique<marlo::Master>(machine.platform, run.view);
        run.master->Form_Load();
        run.master->Timer2_Timer();
        run.view.calls.clear();
        machine.faults.kinds.clear();
        machine.faults.fail_at = fail_at;
        if (c.double_click) {
          run.master->List7_DblClick();
        } else {
          run.master->Command1_Click();
        }
      },
      [&](const fakes::Machine& machine, const StartRun& run) {
        EXPECT_EQ(machine.files.Text(c.folder + "\\app.txt"), "X=" + c.listed + "\r\n");
        if (Failed(machine.faults, "start")) {
          ASSERT_EQ(run.view.calls.size(), 1u);
          EXPECT_TRUE(StartsWith(run.view.calls[0], "message Start Failed: "));
          EXPECT_NE(run.view.calls[0].find("\r\nThe system cannot find the file specified"),
                    std::string::npos);
        } else {
          EXPECT_EQ(run.view.calls, Strings{"minimise"});
          const Strings& log = machine.processes.log;
          ASSERT_FALSE(log.empty());
          EXPECT_EQ(
              std::count_if(log.begin(), log.end(),
                            [](const std::string& line) { return StartsWith(line, "start "); }),
              1);
        }
      });
}

INSTANTIATE_TEST_SUITE_P(
    Table, FaultsInAStart,
    ::testing::Values(StartCase{"D:\\MENU", "D:\\APPS\\S.EXE", "D:\\APPS\\S.EXE", true},
                      StartCase{"D:\\MENU", "D:\\APPS\\S", "D:\\APPS\\S.exe", false},
                      StartCase{"D:\\MENU", "D:\\My Apps\\s.exe -a", "D:\\My Apps\\s.exe", true},
                      StartCase{"\\\\FILESERVER\\APPS\\MENU", "D:\\APPS\\S.EXE",
                                "\\\\FILESERVER\\APPS\\APPS\\S.EXE", true},
                      StartCase{"\\\\FILESERVER\\APPS\\MENU", "D:\\APPS\\S -a",
                                "\\\\FILESERVER\\APPS\\APPS\\S.exe", false}));

struct SaveRun {
  fakes::OptionaView view;
  std::unique_ptr<marlo::Optiona> options;
  std::string before;  // app.txt just before the save
  std::string after;   // the list the save writes
};

struct SaveCase {
  const char* name;
  bool changed_meanwhile;  // another program rewrites app.txt after the window read it
  bool there = true;       // app.txt is there, hidden, with its own security
};

const char* const kSecurity = "O:BAD:P(A;;FA;;;BA)(A;;FR;;;BU)";

class FaultsInASave : public ::testing::TestWithParam<SaveCase> {};

// Opening the Options window, adding a row and saving (Yes to every question): app.txt is the old
// list or the new one, never anything else, and never with wider access; "Save Succesfully" only
// when it is the new one; "Save Failed" whenever it is not; no temporary file stays.
TEST_P(FaultsInASave, AppTxtIsTheOldListOrTheNewAndTheMessageSaysWhich) {
  const SaveCase& c = GetParam();
  ForEveryFault<SaveRun>(
      [&](fakes::Machine& machine, SaveRun& run) {
        if (c.there) machine.files.files["D:\\MENU\\app.txt"] = {kList, {false, true}, kSecurity};
        run.options = std::make_unique<marlo::Optiona>(machine.platform, run.view);
        run.options->Form_Load();
        if (c.changed_meanwhile) {
          machine.files.files["D:\\MENU\\app.txt"].bytes = "Other=D:\\APPS\\O.EXE\r\n";
        }
        run.view.name = "New";
        run.view.path = "D:\\APPS\\N.EXE";
        run.options->cmdNew_Click();
        run.before = machine.files.Text("D:\\MENU\\app.txt");
        run.after = marlo::FormatListFile(run.view.rows);
        run.view.answers = {marlo::Answer::kYes, marlo::Answer::kYes};
        run.options->cmdSave_Click();
      },
      [&](const fakes::Machine& machine, const SaveRun& run) {
        const std::string list = machine.files.Text("D:\\MENU\\app.txt");
        ASSERT_NE(run.before, run.after);
        EXPECT_TRUE(list == run.before || list == run.after) << list;
        const bool saved = Has(run.view.calls, "message Info: Save Succesfully");
        EXPECT_EQ(saved, list == run.after);
        const bool failure_told =
            std::any_of(run.view.calls.begin(), run.view.calls.end(), [](const std::string& call) {
              return StartsWith(call, "message Save Failed: The list was NOT saved: ");
            });
        EXPECT_EQ(failure_told, list != run.after);
        // A new file that could not be removed is named, with the call that failed.
        const bool stays_told =
            std::any_of(run.view.calls.begin(), run.view.calls.end(), [](const std::string& call) {
              return call.find("; the new file stays: SetFileInformationByHandle(D:\\MENU\\app") !=
                     std::string::npos;
            });
        EXPECT_EQ(stays_told, Failed(machine.faults, "discard"));
        // Asked whenever the window cannot be sure it would replace only what it read, and
        // told why.
        std::string question;
        if (Failed(machine.faults, "read", 1)) {
          question = "app.txt could not be read completely when this window opened.";
        } else if (Failed(machine.faults, "read", 2)) {
          question =
              "app.txt could not be read to see whether it was changed since this window "
              "read it.";
        } else if (c.changed_meanwhile) {
          question = "app.txt was changed since this window read it.";
        }
        const bool asked =
            std::any_of(run.view.calls.begin(), run.view.calls.end(),
                        [](const std::string& call) { return StartsWith(call, "ask2 Save: "); });
        if (question.empty()) {
          EXPECT_FALSE(asked);
        } else {
          EXPECT_TRUE(
              Has(run.view.calls, "ask2 Save: " + question + "\r\nReplace it with this list?"));
        }
        for (const auto& [path, file] : machine.files.files) {
          EXPECT_EQ(path, "D:\\MENU\\app.txt") << "left behind";
          EXPECT_EQ(file.security, c.there ? kSecurity : "");
          EXPECT_TRUE(list != run.after || (file.archive && file.attributes.hidden == c.there));
        }
        EXPECT_TRUE(machine.files.held.empty());
        // The save's steps in order, up to the first that failed; a new file made is let go.
        const Strings& kinds = machine.faults.kinds;
        Strings steps;
        for (const char* step : {"look", "create", "write", "keep", "place"}) {
          steps.push_back(step);
          if (Failed(machine.faults, step)) break;
        }
        if (steps.size() > 2 && Failed(machine.faults, steps.back())) steps.push_back("discard");
        EXPECT_EQ(Strings(std::find(kinds.begin(), kinds.end(), "look"), kinds.end()), steps);
      });
}

INSTANTIATE_TEST_SUITE_P(Table, FaultsInASave,
                         ::testing::Values(SaveCase{"Unchanged", false},
                                           SaveCase{"ChangedSinceRead", true},
                                           SaveCase{"NoListYet", false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
