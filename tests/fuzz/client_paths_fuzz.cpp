// Client start paths for any program folder and any listed path: nothing breaks, the file name
// holds no "\", the folder is in share form, and folder "\" file name is the program as the
// client reaches it (a program listed in share form: as listed). A start through the share runs
// exactly that program, from that folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fakes.h"
#include "main_window/master.h"
#include "platform/paths.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const auto cut = input.find('\0');
  const std::string folder_tail = input.substr(0, cut);
  if (folder_tail.empty() || folder_tail[0] == '\\') return 0;  // a share names its server
  // The path of an entry ends at its first "=" (what follows, an audience say, is not the path).
  std::string listed = cut == std::string::npos ? "" : input.substr(cut + 1);
  listed = listed.substr(0, listed.find('='));
  if (listed.find_first_of("\r\n") != std::string::npos) return 0;  // not a line of app.txt

  fakes::Machine machine;
  machine.env.folder = "\\\\" + folder_tail;
  // With the mark, the list's text is its bytes, whatever they are.
  machine.files.files[machine.env.folder + "\\app.txt"].bytes = "\xEF\xBB\xBFX=" + listed + "\r\n";
  fakes::MasterView view;
  marlo::Master master(machine.platform, view);
  master.Form_Load();
  master.Timer2_Timer();
  if (master.Label5 != "CLIENT") std::abort();
  if (master.Label12 != listed) std::abort();

  if (master.Label20.find('\\') != std::string::npos) std::abort();
  const std::string program =
      marlo::SplitStartCommand(master.Label12, [](const std::string&) { return false; }).program;
  if (marlo::IsShareForm(program)) {
    // Listed in share form: reached as it stands.
    if (master.Label18 + "\\" + master.Label20 != program) std::abort();
  } else if (master.Label18.compare(0, 2, "\\\\") != 0) {
    std::abort();
  }

  // The program started is the client folder and the file name, or the folder itself where the
  // path names no file; it starts from that folder.
  master.Command1_Click();
  const auto& log = machine.processes.log;
  const auto started = [&](const std::string& program) {
    const std::string lead = "start " + program + "|\"" + program + "\"";
    return log.size() == 1 && log[0].compare(0, lead.size(), lead) == 0;
  };
  if (!started(master.Label18 + "\\" + master.Label20) &&
      !(master.Label20.empty() && started(master.Label18))) {
    std::abort();
  }
  const std::string from = " in " + master.Label18;
  if (log[0].size() < from.size() ||
      log[0].compare(log[0].size() - from.size(), from.size(), from) != 0) {
    std::abort();
  }
  return 0;
}
