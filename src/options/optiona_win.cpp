// The Options window on screen: its controls, and the routing of Win32 messages to Optiona's
// handlers.
//
// The list LV holds no texts of its own: it asks for each row as it draws it (an owner-data list
// view), so that a list of any length opens at once, and each row's program is looked at (is it
// there, and its icon) as the row is drawn.
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>

#include "options/optiona.h"
#include "options/optiona_ids.h"
#include "platform/program_icons_win.h"
#include "platform/session_win.h"
#include "platform/system_libraries_win.h"
#include "platform/text_win.h"
#include "platform/ui_win.h"
#include "platform/window_work_win.h"

namespace marlo {
namespace {

namespace ids = optiona_ids;

constexpr int kClientWidth = 593;
constexpr int kClientHeight = 497;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
// Work done away from the window has come back (the message carries nothing).
constexpr UINT kWorkDone = WM_APP + 1;
// Takes what came back also when the notice could not be posted (a full message queue).
constexpr UINT_PTR kTakeTimer = 1;
// The images of LV's rows: fixed ones first, then the programs' own icons as they come.
enum FixedImage { kPlaceholderImage, kMissingImage, kProgramImage, kFixedImages };

// The browse button's picture: a yellow folder, drawn here at the window's density.
HBITMAP FolderPicture(int dpi) {
  const int width = Scale(40, dpi);
  const int height = Scale(32, dpi);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP picture = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old_bitmap = SelectObject(dc, picture);
  RECT all{0, 0, width, height};
  FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  HGDIOBJ old_pen = SelectObject(dc, GetStockObject(BLACK_PEN));
  HGDIOBJ old_brush = SelectObject(dc, SolidBrush(RGB(240, 200, 64)));
  POINT tab[] = {{4, 6}, {15, 6}, {18, 10}, {35, 10}, {35, 27}, {4, 27}};
  POINT front[] = {{4, 27}, {9, 14}, {39, 14}, {35, 27}};
  for (POINT& point : tab) point = {Scale(point.x, dpi), Scale(point.y, dpi)};
  for (POINT& point : front) point = {Scale(point.x, dpi), Scale(point.y, dpi)};
  Polygon(dc, tab, 6);
  SelectObject(dc, SolidBrush(RGB(255, 224, 112)));
  Polygon(dc, front, 4);
  SelectObject(dc, old_brush);
  SelectObject(dc, old_pen);
  SelectObject(dc, old_bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return picture;
}

std::string Text(HWND control) {
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), length + 1)));
  return Utf8(text);
}

class OptionaWindow : public OptionaView {
 public:
  explicit OptionaWindow(Session& session)
      : session_(session),
        work_(std::make_unique<WindowWork>(kWorkDone)),
        optiona_(session.platform, *this) {}

  bool Create(std::unique_ptr<OptionaWindow> self);
  void Load() {
    optiona_.Form_Load();
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
    SetFocus(txt_name_);
  }

  // OptionaView
  void ShowRows(const std::vector<ListEntry>& rows, std::optional<int> selected) override;
  // The tooltip of the row under the pointer may have changed with its mark.
  void RedrawRows() override {
    InvalidateRect(lv_, nullptr, FALSE);
    UpdateListTip();
  }
  RowsShown RowsOnScreen() override {  // the rows LV shows whole, and one in part below them
    return {static_cast<int>(SendMessageW(lv_, LVM_GETTOPINDEX, 0, 0)),
            static_cast<int>(SendMessageW(lv_, LVM_GETCOUNTPERPAGE, 0, 0)) + 1};
  }
  std::optional<int> SelectedRow() override {
    const LRESULT row = SendMessageW(lv_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    return row < 0 ? std::nullopt : std::optional<int>(static_cast<int>(row));
  }
  std::string NameField() override { return Text(txt_name_); }
  std::string PathField() override { return Text(txt_path_); }
  void SetNameField(const std::string& text) override {
    SetWindowTextW(txt_name_, Wide(text).c_str());
  }
  void SetPathField(const std::string& text) override {
    SetWindowTextW(txt_path_, Wide(text).c_str());
  }
  std::string AudienceField() override { return Text(txt_audience_); }
  void SetAudienceField(const std::string& text) override {
    SetWindowTextW(txt_audience_, Wide(text).c_str());
  }
  void ShowPosition(const std::string& text) override {
    SetWindowTextW(lbl_position_, Wide(text).c_str());
  }
  void EnableDelete() override { EnableWindow(cmd_delete_, TRUE); }
  // A close that comes from outside while a box or the file dialog is up waits for it.
  void ShowMessage(const std::string& text, const std::string& title) override {
    Boxed([&] { ShowBox(hwnd_, text, title, MB_OK | MB_ICONINFORMATION); });
  }
  Answer Ask(const std::string& text, const std::string& title, bool with_cancel) override;
  std::optional<std::string> Browse(const std::string& filter) override;
  void OffThread(std::function<void()> work, std::function<void()> then) override {
    if (session_.mark_programs && work_) {
      work_->Run(Lane::kBackground, std::move(work), std::move(then));
    }
  }
  // The main window's start-up may show a box: by then this window can no longer be used (and
  // so cannot be closed while its own handler still runs).
  void OpenMain() override {
    EnableWindow(hwnd_, FALSE);
    ShowWindow(hwnd_, SW_HIDE);
    Boxed([this] { OpenMasterWindow(session_); });
  }
  void CloseMain() override {
    if (session_.master != nullptr) PostMessageW(session_.master, WM_CLOSE, 0, 0);
  }
  // Closing waits for the message loop; a close the window's logic asked for asks nothing more.
  void Close() override {
    closing_ = true;
    PostMessageW(hwnd_, WM_CLOSE, 0, 0);
  }

  void Attach(HWND hwnd) { hwnd_ = hwnd; }
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  void OnCommand(int id, int code);
  LRESULT OnNotify(NMHDR& header);
  LRESULT OnColour(HDC dc, HWND control);
  LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw);
  void OnRowChanged(const NMLISTVIEW& change);
  LRESULT OnFindRow(const NMLVFINDITEMW& find);
  const std::string& CellText(int row, int column) const;
  void OnRowText(LVITEMW& item);
  void OnDpiChanged(int dpi, LPARAM suggested);
  void ApplyDensity();
  void OnDestroy();
  void OnWorkDone();
  template <typename Show>
  void Boxed(Show show);
  int ImageOf(int row);
  void MakeImages();
  void AddTooltip(HWND control, const std::string& text);
  int RowUnderPointer();
  void UpdateListTip();
  void BeginDrag(int row);
  int DropRow(POINT point);
  void DragOver(int row);
  void EndDrag();
  void DrawDropLine(HDC dc, int row);
  bool ListMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
  static LRESULT CALLBACK ListProcedure(HWND list, UINT message, WPARAM wparam, LPARAM lparam);

  Session& session_;
  std::unique_ptr<WindowWork> work_;
  Optiona optiona_;
  ChildLayout layout_;
  int dpi_ = 96;
  const std::vector<ListEntry>* rows_ = nullptr;  // what LV shows: Optiona's own rows
  HWND hwnd_ = nullptr;
  HWND txt_name_ = nullptr;
  HWND txt_path_ = nullptr;
  HWND txt_audience_ = nullptr;
  HWND cmd_browse_ = nullptr;
  HWND cmd_delete_ = nullptr;
  HWND lv_ = nullptr;
  HWND lbl_title_ = nullptr;
  HWND lbl_name_ = nullptr;
  HWND lbl_path_ = nullptr;
  HWND lbl_audience_ = nullptr;
  HWND lbl_position_ = nullptr;
  HWND tooltip_ = nullptr;
  HBITMAP folder_picture_ = nullptr;
  WNDPROC list_procedure_ = nullptr;
  int tip_row_ = -1;             // the row the list's tooltip speaks of
  std::string tip_;              // its text
  std::string dlg_file_;         // DLG keeps its file name from one Browse to the next
  std::wstring cell_;            // the text of the cell LV asked for last
  HIMAGELIST images_ = nullptr;  // LV's, which it lets go with itself
  // By path: the icon its image shows, and that image.
  std::map<std::string, std::pair<std::uintptr_t, int>> icon_images_;
  WindowBoxes boxes_;  // boxes and the file dialog
  bool closing_ = false;
  bool showing_rows_ = false;  // the window itself sets LV's selection
  // A row dragged with the mouse: the drag is on, and the row it would go to if dropped now.
  bool dragging_ = false;
  int dragged_row_ = -1;
  int drop_row_ = -1;
};

template <typename Show>
void OptionaWindow::Boxed(Show show) {
  boxes_.While(hwnd_, kWorkDone, show);
}

// `self` owns this object until its window takes it; false when no window could be made, and the
// object is gone then.
bool OptionaWindow::Create(std::unique_ptr<OptionaWindow> self) {
  static const std::wstring window_class = Wide(ids::kWindowClass);
  static const bool registered =
      RegisterWindowClass(window_class.c_str(), &RouteToWindow<OptionaWindow>);
  if (!registered) return false;
  if (CreateObjectWindow(std::move(self), window_class.c_str(), L"Main Menu Options", kStyle) ==
      nullptr) {
    return false;
  }
  dpi_ = WindowDpi(hwnd_);
  const SIZE outer = OuterSizeForClient(kClientWidth, kClientHeight, kStyle, dpi_);
  CentreOnScreen(hwnd_, outer.cx, outer.cy);
  work_->Attach(hwnd_);
  SetTimer(hwnd_, kTakeTimer, 1000, nullptr);
  layout_.SetDpi(dpi_);

  // Made in window order, which is the focus (tab) order of the controls that take the focus:
  // name, Shown To, path, browse, Save, Delete, Close, LV, New, Edit. Each field and the list
  // come right after a label, from which a screen reader takes the name of a control without text
  // of its own: the three captions, and the title strip for the list. The position label comes
  // first, to be drawn over the end of the title strip.
  lbl_position_ = layout_.Add(hwnd_, L"STATIC", L"", WS_VISIBLE | SS_CENTERIMAGE, {584, 0, 33, 25},
                              ids::kLblPosition, 12);
  lbl_name_ = layout_.Add(hwnd_, L"STATIC", L"Application Name", WS_VISIBLE | SS_CENTERIMAGE,
                          {8, 32, 283, 25}, ids::kLblName, 12);
  txt_name_ = layout_.Add(hwnd_, L"EDIT", L"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                          {8, 56, 283, 27}, ids::kTxtName, 12, WS_EX_CLIENTEDGE);
  lbl_audience_ = layout_.Add(hwnd_, L"STATIC", L"Shown To", WS_VISIBLE | SS_CENTERIMAGE,
                              {304, 32, 281, 25}, ids::kLblAudience, 12);
  txt_audience_ = layout_.Add(hwnd_, L"EDIT", L"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                              {304, 56, 281, 27}, ids::kTxtAudience, 12, WS_EX_CLIENTEDGE);
  lbl_path_ = layout_.Add(hwnd_, L"STATIC", L"Application Path", WS_VISIBLE | SS_CENTERIMAGE,
                          {8, 88, 577, 25}, ids::kLblPath, 12);
  txt_path_ = layout_.Add(hwnd_, L"EDIT", L"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                          {8, 112, 577, 27}, ids::kTxtPath, 12, WS_EX_CLIENTEDGE);
  // A picture, and a text for the screen reader.
  cmd_browse_ = layout_.Add(hwnd_, L"BUTTON", L"Browse", WS_VISIBLE | WS_TABSTOP | BS_BITMAP,
                            {8, 144, 97, 49}, ids::kCmdBrowse, 9.75);
  layout_.Add(hwnd_, L"BUTTON", L"Save", WS_VISIBLE | WS_TABSTOP, {304, 144, 89, 49}, ids::kCmdSave,
              9.75);
  cmd_delete_ = layout_.Add(hwnd_, L"BUTTON", L"Delete", WS_VISIBLE | WS_TABSTOP | WS_DISABLED,
                            {400, 144, 89, 49}, ids::kCmdDelete, 9.75);
  layout_.Add(hwnd_, L"BUTTON", L"Close", WS_VISIBLE | WS_TABSTOP, {496, 144, 89, 49},
              ids::kCmdClose, 9.75);
  lbl_title_ =
      layout_.Add(hwnd_, L"STATIC", L"Main Menu Settings", WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE,
                  {0, 0, 593, 25}, ids::kLblTitle, 12);
  lv_ = layout_.Add(
      hwnd_, WC_LISTVIEWW, L"",
      WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA,
      {8, 200, 577, 289}, ids::kLV, 9.75, WS_EX_CLIENTEDGE);
  SendMessageW(lv_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  const wchar_t* const captions[] = {L"App Name", L"App Path", L"Shown To"};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(captions[i]);
    column.iSubItem = i;
    SendMessageW(lv_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
  layout_.Add(hwnd_, L"BUTTON", L"New", WS_VISIBLE | WS_TABSTOP, {112, 144, 89, 49}, ids::kCmdNew,
              9.75);
  layout_.Add(hwnd_, L"BUTTON", L"Edit", WS_VISIBLE | WS_TABSTOP, {208, 144, 89, 49}, ids::kCmdEdit,
              9.75);
  ApplyDensity();

  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
  tip_ = optiona_.RowTip(-1);
  AddTooltip(lv_, tip_);  // then the row under the pointer decides
  AddTooltip(cmd_browse_, "Select Path");
  // The list is watched for the pointer moving to another row, whose tooltip may differ.
  SetWindowLongPtrW(lv_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  list_procedure_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(lv_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ListProcedure)));
  return true;
}

// Column widths and the browse picture for the window's density (the controls' places and fonts
// follow the layout). The columns are wider than the list together: it scrolls sideways to the
// names a row is shown to.
void OptionaWindow::ApplyDensity() {
  SendMessageW(lv_, LVM_SETCOLUMNWIDTH, 0, Scale(107, dpi_));
  SendMessageW(lv_, LVM_SETCOLUMNWIDTH, 1, Scale(400, dpi_));
  SendMessageW(lv_, LVM_SETCOLUMNWIDTH, 2, Scale(150, dpi_));
  HBITMAP old = folder_picture_;
  folder_picture_ = FolderPicture(dpi_);
  SendMessageW(cmd_browse_, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(folder_picture_));
  if (old != nullptr) DeleteObject(old);
  MakeImages();
}

// The rows' images at the window's density and in the colours of the moment: the fixed ones, and
// the programs' icons again as the rows ask for them.
void OptionaWindow::MakeImages() {
  const int size = SmallIconSize(dpi_);
  optiona_.SetIconSize(size);
  HIMAGELIST images = ImageListFromSystem(size);
  if (images == nullptr) return;
  for (const ProgramMark mark :
       {ProgramMark::kUnknown, ProgramMark::kMissing, ProgramMark::kFound}) {
    // Each fixed image keeps its place, the placeholder standing in for one that cannot be made.
    HICON icon = ProgramLookIcon(mark, size);
    if (icon == nullptr) icon = ProgramLookIcon(ProgramMark::kUnknown, size);
    PutIconFromSystem(images, -1, icon);
    if (icon != nullptr) DestroyIcon(icon);
  }
  icon_images_.clear();
  images_ = images;
  HIMAGELIST old = reinterpret_cast<HIMAGELIST>(
      SendMessageW(lv_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images)));
  DestroyImageListFromSystem(old);
}

// A program's own icon goes into the image list the first time a row shows it, one image a path:
// a path looked at afresh (its row edited) gets its new icon in the same image.
int OptionaWindow::ImageOf(int row) {
  const ProgramLook look = optiona_.RowLook(row);
  if (look.mark == ProgramMark::kUnknown) return kPlaceholderImage;
  if (look.mark == ProgramMark::kMissing) return kMissingImage;
  if (look.icon == 0 || rows_ == nullptr || static_cast<std::size_t>(row) >= rows_->size()) {
    return kProgramImage;
  }
  auto& [icon, image] = icon_images_.try_emplace((*rows_)[row].path, 0, -1).first->second;
  if (icon != look.icon) {
    const int index = PutIconFromSystem(images_, image, reinterpret_cast<HICON>(look.icon));
    if (index >= 0) std::tie(icon, image) = std::pair(look.icon, index);
  }
  return image >= 0 ? image : kProgramImage;
}

void OptionaWindow::AddTooltip(HWND control, const std::string& text) {
  std::wstring wide = Wide(text);
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hwnd_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = wide.data();
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

// A row the window selects itself is not the user's choice: the fields keep what they hold.
void OptionaWindow::ShowRows(const std::vector<ListEntry>& rows, std::optional<int> selected) {
  showing_rows_ = true;
  rows_ = &rows;
  SendMessageW(lv_, LVM_SETITEMCOUNT, rows.size(), LVSICF_NOSCROLL);
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(lv_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
  if (selected) {
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(lv_, LVM_SETITEMSTATE, *selected, reinterpret_cast<LPARAM>(&state));
    SendMessageW(lv_, LVM_ENSUREVISIBLE, *selected, FALSE);
  }
  InvalidateRect(lv_, nullptr, TRUE);
  showing_rows_ = false;
}

Answer OptionaWindow::Ask(const std::string& text, const std::string& title, bool with_cancel) {
  int answer = IDCANCEL;
  Boxed([&] {
    answer =
        ShowBox(hwnd_, text, title, (with_cancel ? MB_YESNOCANCEL : MB_YESNO) | MB_ICONQUESTION);
  });
  if (answer == IDYES) return Answer::kYes;
  if (answer == IDNO) return Answer::kNo;
  return Answer::kCancel;
}

std::optional<std::string> OptionaWindow::Browse(const std::string& filter) {
  // "Description|pattern" as the dialog wants it: pairs of texts ended by NULs.
  std::wstring filters = Wide(filter) + L'|';
  for (wchar_t& c : filters) {
    if (c == L'|') c = L'\0';
  }
  filters += L'\0';
  wchar_t file[MAX_PATH * 2] = {};
  Wide(dlg_file_).copy(file, MAX_PATH * 2 - 1);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = hwnd_;
  dialog.lpstrFilter = filters.c_str();
  dialog.lpstrFile = file;
  dialog.nMaxFile = MAX_PATH * 2;
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  bool chosen = false;
  Boxed([&] { chosen = GetOpenFileNameFromSystem(&dialog) != FALSE; });
  if (!chosen) return std::nullopt;
  dlg_file_ = Utf8(file);
  return dlg_file_;
}

LRESULT OptionaWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      session_.options = hwnd_;
      session_.WindowOpened();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<NMHDR*>(lparam));
    case WM_CHAR:
      optiona_.Form_KeyPress(static_cast<int>(wparam));
      return 0;
    case WM_CTLCOLORSTATIC:
      return OnColour(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
      ApplyDensity();  // the browse picture stands on the button's colour
      FollowSystemColours(hwnd_, message, wparam, lparam);
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wparam), lparam);
      return 0;
    case kWorkDone:
      OnWorkDone();
      return 0;
    case WM_TIMER:
      if (wparam == kTakeTimer) OnWorkDone();
      return 0;
    case WM_QUERYENDSESSION: {
      // Logoff or shutdown: changes not saved are asked about as on any way out; Cancel keeps
      // the session. Meanwhile Windows shows why the program holds the logoff up.
      const ShutdownBlockReason reason(hwnd_, "The menu list has changes that are not saved.");
      return optiona_.Form_QueryUnload() ? TRUE : FALSE;
    }
    case WM_CLOSE:
      // Closing through the frame asks first when there are changes not saved.
      if (boxes_.PutOffClose()) return 0;
      if (closing_ || optiona_.Form_QueryUnload()) DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      return DefWindowProcW(hwnd_, message, wparam, lparam);
  }
}

// What comes back after this is dropped; the worker ends by itself.
void OptionaWindow::OnDestroy() {
  work_.reset();
  if (folder_picture_ != nullptr) DeleteObject(folder_picture_);
  if (session_.options == hwnd_) session_.options = nullptr;
  session_.WindowClosed();
}

// Only a sign that work came back; what follows it comes from the window's own queue, never
// inside a handler that shows a box.
void OptionaWindow::OnWorkDone() {
  if (boxes_.Up() || !work_) return;
  for (auto& then : work_->Take()) then();
}

void OptionaWindow::OnCommand(int id, int code) {
  if (code != BN_CLICKED && id != IDCANCEL) return;
  switch (id) {
    case ids::kCmdBrowse:
      optiona_.cmdBrowse_Click();
      break;
    case ids::kCmdNew:
      optiona_.cmdNew_Click();
      break;
    case ids::kCmdEdit:
      optiona_.cmdEdit_Click();
      break;
    case ids::kCmdSave:
      optiona_.cmdSave_Click();
      break;
    case ids::kCmdDelete:
      optiona_.cmdDelete_Click();
      break;
    case ids::kCmdClose:
      optiona_.cmdClose_Click();
      break;
    case IDCANCEL: {
      // Esc counts in the name field, and on the window itself; elsewhere it does nothing.
      HWND focus = GetFocus();
      if (focus == txt_name_) optiona_.txtName_KeyPress(27);
      if (focus == hwnd_) optiona_.Form_KeyPress(27);
      break;
    }
    default:
      break;
  }
}

LRESULT OptionaWindow::OnNotify(NMHDR& header) {
  if (header.hwndFrom == lv_) {
    switch (header.code) {
      case NM_CLICK:
        optiona_.LV_Click();
        return 0;
      case LVN_ITEMCHANGED:
        OnRowChanged(reinterpret_cast<NMLISTVIEW&>(header));
        return 0;
      case NM_DBLCLK:
      case LVN_ITEMACTIVATE:  // a double-click on a row, or Enter
        optiona_.LV_DblClick();
        return 0;
      case LVN_ODFINDITEMW:
        return OnFindRow(reinterpret_cast<NMLVFINDITEMW&>(header));
      case LVN_GETDISPINFOW:
        OnRowText(reinterpret_cast<NMLVDISPINFOW&>(header).item);
        return 0;
      case NM_CUSTOMDRAW:
        return OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
      case LVN_BEGINDRAG:
        BeginDrag(reinterpret_cast<NMLISTVIEW&>(header).iItem);
        return 0;
      default:
        return 0;
    }
  }
  return 0;
}

// The selection moved to a row, by a click or by keys (arrows, Home, End, Page keys, typing): the
// fields follow it.
void OptionaWindow::OnRowChanged(const NMLISTVIEW& change) {
  const bool selected = (change.uChanged & LVIF_STATE) != 0 &&
                        (change.uNewState & LVIS_SELECTED) != 0 &&
                        (change.uOldState & LVIS_SELECTED) == 0;
  if (selected && change.iItem >= 0 && !showing_rows_) optiona_.LV_Click();
}

// Letters typed in LV: the list view gathers those typed in quick succession and asks for the row
// they begin (a program asking LVM_FINDITEM may want a whole name); -1 is none.
LRESULT OptionaWindow::OnFindRow(const NMLVFINDITEMW& find) {
  const UINT flags = find.lvfi.flags;
  if ((flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || find.lvfi.psz == nullptr) return -1;
  const auto row = optiona_.FindRow(Utf8(find.lvfi.psz), find.iStart, (flags & LVFI_PARTIAL) == 0);
  return row ? *row : -1;
}

// The text of a cell of LV: the row's name in column 0, its path in column 1, the names it is
// shown to in column 2.
const std::string& OptionaWindow::CellText(int row, int column) const {
  static const std::string kNone;
  if (rows_ == nullptr || row < 0 || static_cast<std::size_t>(row) >= rows_->size()) return kNone;
  const ListEntry& entry = (*rows_)[row];
  return column == 0 ? entry.caption : column == 1 ? entry.path : entry.audience;
}

// A text longer than the list's buffer is cut to it.
void OptionaWindow::OnRowText(LVITEMW& item) {
  if ((item.mask & LVIF_IMAGE) != 0 && item.iSubItem == 0) item.iImage = ImageOf(item.iItem);
  if ((item.mask & LVIF_TEXT) == 0 || item.cchTextMax <= 0) return;
  cell_ = Wide(CellText(item.iItem, item.iSubItem));
  lstrcpynW(item.pszText, cell_.c_str(), item.cchTextMax);
}

// A row whose program is not there is drawn in dark red. While a row is dragged, the row it would
// go to gets a line on the side where it would land.
LRESULT OptionaWindow::OnCustomDraw(NMLVCUSTOMDRAW& draw) {
  const int row = static_cast<int>(draw.nmcd.dwItemSpec);
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw.nmcd.dwDrawStage == CDDS_ITEMPOSTPAINT) {
    DrawDropLine(draw.nmcd.hdc, row);
    return CDRF_DODEFAULT;
  }
  if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  if (optiona_.RowMark(row) == ProgramMark::kMissing) {
    draw.clrText = PaintColours(Part::kMissingProgram).text;
  }
  return dragging_ && row == drop_row_ ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT;
}

// In the highlight colour, which the selected row (the one dragged) has as its ground: the line is
// never next to it, so it stands out in any colour scheme.
void OptionaWindow::DrawDropLine(HDC dc, int row) {
  const auto dragged = SelectedRow();
  if (!dragging_ || row != drop_row_ || !dragged || *dragged == row) return;
  RECT line{LVIR_BOUNDS, 0, 0, 0};
  if (!SendMessageW(lv_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&line))) return;
  const int thickness = Scale(2, dpi_);
  if (row > *dragged) line.top = line.bottom - thickness;  // it lands below the row
  line.bottom = line.top + thickness;
  FillRect(dc, &line, GetSysColorBrush(COLOR_HIGHLIGHT));
}

// A row dragged with the mouse is the row chosen: it is selected (as a click would) and moves when
// it is dropped. The list has the mouse until then.
void OptionaWindow::BeginDrag(int row) {
  if (row < 0) return;
  if (SelectedRow() != row) {
    LVITEMW state{};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(lv_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
  }
  dragging_ = true;
  dragged_row_ = row;
  drop_row_ = -1;
  SendMessageW(tooltip_, TTM_POP, 0, 0);  // it speaks of clicks, and would hide rows
  SetCapture(lv_);
  SetCursor(LoadCursorW(nullptr, IDC_SIZENS));
}

// The place a row dropped at `point` (in LV's client area) goes to: the row under it, the last
// place below the last row, the first row on screen over the column headers; outside the list,
// none (-1).
int OptionaWindow::DropRow(POINT point) {
  RECT client;
  GetClientRect(lv_, &client);
  const int count = static_cast<int>(SendMessageW(lv_, LVM_GETITEMCOUNT, 0, 0));
  if (!PtInRect(&client, point) || count == 0) return -1;
  const int top = static_cast<int>(SendMessageW(lv_, LVM_GETTOPINDEX, 0, 0));
  RECT first{LVIR_BOUNDS, 0, 0, 0};
  SendMessageW(lv_, LVM_GETITEMRECT, top, reinterpret_cast<LPARAM>(&first));
  const int height = first.bottom - first.top;
  if (height <= 0) return -1;
  const int row = point.y < first.top ? top : top + (point.y - first.top) / height;
  return std::min(row, count - 1);
}

// The line moves with the pointer: the rows it leaves and reaches are drawn again.
void OptionaWindow::DragOver(int row) {
  if (row == drop_row_) return;
  for (const int changed : {drop_row_, row}) {
    if (changed >= 0) SendMessageW(lv_, LVM_REDRAWITEMS, changed, changed);
  }
  drop_row_ = row;
}

// The drag is over, dropped or not (Esc, the mouse taken by another window).
void OptionaWindow::EndDrag() {
  if (!dragging_) return;
  DragOver(-1);
  dragging_ = false;
  if (GetCapture() == lv_) ReleaseCapture();
}

int OptionaWindow::RowUnderPointer() {
  LVHITTESTINFO hit{};
  GetCursorPos(&hit.pt);
  ScreenToClient(lv_, &hit.pt);
  return static_cast<int>(SendMessageW(lv_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

// The list's tooltip speaks of the row under the pointer: "program not found" on a marked row.
void OptionaWindow::UpdateListTip() {
  const std::string tip = optiona_.RowTip(tip_row_);
  if (tip == tip_) return;
  tip_ = tip;
  std::wstring wide = Wide(tip_);
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = hwnd_;
  tool.uId = reinterpret_cast<UINT_PTR>(lv_);
  tool.lpszText = wide.data();
  SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

// On the way to the list: the pointer reaching another row may change the tooltip; Alt+Up and
// Alt+Down move the selected row; a dragged row follows the pointer.
LRESULT CALLBACK OptionaWindow::ListProcedure(HWND list, UINT message, WPARAM wparam,
                                              LPARAM lparam) {
  auto* self = reinterpret_cast<OptionaWindow*>(GetWindowLongPtrW(list, GWLP_USERDATA));
  LRESULT result = 0;
  if (self->ListMessage(message, wparam, lparam, result)) return result;
  return CallWindowProcW(self->list_procedure_, list, message, wparam, lparam);
}

// True when the message was answered here (with `result`), false when the list takes it.
bool OptionaWindow::ListMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  const POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};  // of a mouse message
  switch (message) {
    case WM_GETDLGCODE: {
      // Enter belongs to the list, which activates its row, not to the window (that has no
      // default button, and would take it for one); so does Esc while a row is dragged.
      const auto* key = reinterpret_cast<const MSG*>(lparam);
      result = CallWindowProcW(list_procedure_, lv_, message, wparam, lparam);
      const bool wanted = key != nullptr && key->message == WM_KEYDOWN &&
                          (key->wParam == VK_RETURN || (dragging_ && key->wParam == VK_ESCAPE));
      if (wanted) result |= DLGC_WANTALLKEYS;
      return true;
    }
    case WM_SYSKEYDOWN:
      if ((HIWORD(lparam) & KF_ALTDOWN) == 0 || (wparam != VK_UP && wparam != VK_DOWN)) {
        return false;
      }
      if (const auto row = SelectedRow()) optiona_.LV_MoveRow(*row + (wparam == VK_UP ? -1 : 1));
      // Then on as any key pressed with Alt, to the system's own handling, which marks the Alt key
      // as used so that its release opens no menu; the list, whose arrows these are not, is passed.
      result = DefWindowProcW(lv_, message, wparam, lparam);
      return true;
    case WM_MOUSEMOVE:
      if (dragging_ && (wparam & MK_LBUTTON) != 0) {
        SetCursor(LoadCursorW(nullptr, IDC_SIZENS));
        DragOver(DropRow(point));
        return true;
      }
      EndDrag();  // a drag whose button was let go where the list could not see it is over
      if (const int row = RowUnderPointer(); row != tip_row_) {
        tip_row_ = row;
        UpdateListTip();
      }
      return false;
    case WM_LBUTTONUP: {
      if (!dragging_) return false;
      const int row = DropRow(point);
      EndDrag();
      // Only the row picked up moves, should the selection have gone elsewhere meanwhile.
      if (row >= 0 && SelectedRow() == dragged_row_) optiona_.LV_MoveRow(row);
      return true;
    }
    case WM_KEYDOWN:
      // A key ends the drag: Esc only that, any other goes on to the list.
      if (!dragging_) return false;
      EndDrag();
      return wparam == VK_ESCAPE;
    case WM_CAPTURECHANGED:
      EndDrag();
      return false;
    default:
      return false;
  }
}

LRESULT OptionaWindow::OnColour(HDC dc, HWND control) {
  if (control == lbl_title_) return ColourControl(dc, Part::kTitle);
  if (control == lbl_name_ || control == lbl_audience_ || control == lbl_path_) {
    return ColourControl(dc, Part::kFieldCaption);
  }
  return ColourControl(dc, Part::kWindow);
}

void OptionaWindow::OnDpiChanged(int dpi, LPARAM suggested) {
  dpi_ = dpi;
  MoveToSuggested(hwnd_, suggested);
  layout_.Apply(dpi_);
  ApplyDensity();
  InvalidateRect(hwnd_, nullptr, TRUE);
}

}  // namespace

void OpenOptionsWindow(Session& session) {
  // Only this window needs the list view: the main window starts without asking for it.
  InitCommonControlsFromSystem();
  auto owned = std::make_unique<OptionaWindow>(session);
  OptionaWindow* window = owned.get();
  if (window->Create(std::move(owned))) {
    window->Load();
  } else {
    session.WindowNotCreated(L"The Options window");
  }
}

}  // namespace marlo
