#include "main_window/master.h"

#include "main_window/list_file.h"
#include "main_window/pieces.h"
#include "main_window/start_log.h"

namespace marlo {
namespace {

bool IsNormalFile(const DirEntry& entry) { return !entry.folder && !entry.hidden && !entry.system; }

}  // namespace

Master::Master(Platform& platform, MasterView& view)
    : platform_(platform), view_(view), program_folder_(platform.env.ProgramFolder()) {
  mapped_root_ = MappedDriveRoot();
}

void Master::Form_Load() {
  List7 = {};
  List5 = {};
  list_ = {};
  // Only a lookup that was made can tell that the list is missing. One that could not be made (a
  // share that did not answer) is no reason to add a default line to the office's list: the list
  // is read as it stands, and a read that fails says so.
  if (LookFor(platform_.files, ListFilePath(program_folder_), IsNormalFile) == false) {
    WriteDefaultList();
    return;
  }

  // The start log holds the menu up for three seconds at the most, all records together.
  const Deadline log_deadline = platform_.clock.After(kAppendPatience);
  AppendStartRecord(LogonServerName(platform_.env.Variable("LOGONSERVER")), log_deadline);
  if (IsClient()) {
    const std::string& server = IsShareForm(program_folder_) ? program_folder_ : mapped_root_;
    AppendStartRecord(FolderServerName(server), log_deadline);
  }

  const bool complete = ReadMenu();
  view_.ShowMenu(List7);
  // A menu that lacks entries without a word would leave its users guessing.
  if (!complete) {
    view_.ShowMessage(
        "App.txt could not be read completely. The menu shows the entries read before the failure.",
        "RMX");
  }
  if (list_.cut) view_.ShowMessage(CutMessage(List7.size()), "RMX");
  Label12 = PathAt(0);
  // Selecting by program raises the selection handler as a click would.
  if (view_.SelectMenuItem(0)) List7_Click(0);
}

// One read of app.txt, in the form it was written, and one pass over its whole lines: after a
// read failure, the lines read before it. False when the read did not reach the end of the file.
bool Master::ReadMenu() {
  ReadResult read = platform_.files.ReadAll(ListFilePath(program_folder_), kMostListBytes);
  const bool complete = read.complete;
  list_ = DecodeList(std::move(read), platform_.locale);
  EntryViewsOf(list_.Text(), true, List7, List5);
  return complete;
}

std::string Master::PathAt(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= List5.size()) return {};
  return std::string(List5[static_cast<std::size_t>(index)]);
}

// Each record reads the clock anew, so the second record of a share start has its own time. The
// log stays in the ANSI code page, which the tools that read it expect.
void Master::AppendStartRecord(const std::string& name, Deadline deadline) {
  const std::string record =
      FormatStartRecord(name, platform_.clock.Now(), platform_.clock.Separators());
  bool exact = true;
  platform_.files.Append(StartLogPath(program_folder_), platform_.locale.ToAnsi(record, exact),
                         deadline);
}

// Without a list the menu cannot run: a default list naming the office's sibling program
// qfact.exe is written (as a new list is: in the ANSI code page, unless the folder's name needs
// UTF-8), and the user is asked to start again. When the list cannot be written
// (a read-only folder, a share without write access), starting again would not help: the user is
// told why instead.
void Master::WriteDefaultList() {
  view_.ShowMessage("App.txt File Not Found...", "RMX");
  const EncodedList list =
      EncodeList({{"QFACT", program_folder_ + "\\qfact.exe"}}, ListForm::kAnsi, platform_.locale);
  const Outcome written = platform_.files.Append(program_folder_ + "\\APP.txt", list.bytes,
                                                 platform_.clock.After(kAppendPatience));
  view_.ShowMessage(written.ok ? "Please Re Start Programm..."
                               : "The default list could not be written: " + written.reason,
                    "RMX");
  view_.Close();
}

void Master::List7_Click(int index) {
  if (Label5 == "SERVER") {
    Label12 = PathAt(index);
  }
  if (Label5 == "CLIENT") {
    Label12 = PathAt(index);
    ComputeClientPaths();
  }
}

void Master::Command3_Click() {
  view_.OpenOptions();
  view_.Close();
}

void Master::Command5_Click() {
  view_.CloseOptions();
  view_.Close();
}

void Master::Form_KeyPress(int key_code) {
  if (key_code == 27) Command5_Click();
}

std::string Master::GetPiece(const std::string& text, char delimiter, int index) {
  List6 = CutPieces(text, delimiter);
  return PieceAt(List6, index);
}

bool Master::FileExists(const std::string& path) {
  return SearchFinds(platform_.files, path, IsNormalFile);
}

}  // namespace marlo
