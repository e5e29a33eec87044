// The Options window on screen: its controls, and the routing of Win32 messages to Optiona's
// handlers.
#include <windows.h>

#include <string>

#include "options/optiona.h"
#include "options/optiona_ids.h"
#include "platform/session_win.h"
#include "platform/system_libraries_win.h"
#include "platform/ui_win.h"

namespace marlo {
namespace {

namespace ids = optiona_ids;

constexpr int kClientWidth = 593;
constexpr int kClientHeight = 497;
constexpr COLORREF kCaptionGround = RGB(128, 128, 255);
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

// The browse button's picture: a yellow folder, drawn here so the exe needs no resource file.
HBITMAP FolderPicture() {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP picture = CreateCompatibleBitmap(screen, 40, 32);
  HGDIOBJ old_bitmap = SelectObject(dc, picture);
  RECT all{0, 0, 40, 32};
  FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  HGDIOBJ old_pen = SelectObject(dc, GetStockObject(BLACK_PEN));
  HGDIOBJ old_brush = SelectObject(dc, SolidBrush(RGB(240, 200, 64)));
  const POINT tab[] = {{4, 6}, {15, 6}, {18, 10}, {35, 10}, {35, 27}, {4, 27}};
  Polygon(dc, tab, 6);
  SelectObject(dc, SolidBrush(RGB(255, 224, 112)));
  const POINT front[] = {{4, 27}, {9, 14}, {39, 14}, {35, 27}};
  Polygon(dc, front, 4);
  SelectObject(dc, old_brush);
  SelectObject(dc, old_pen);
  SelectObject(dc, old_bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return picture;
}

std::string Text(HWND control) {
  const int length = GetWindowTextLengthA(control);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(control, text.data(), length + 1)));
  return text;
}

class OptionaWindow : public OptionaView {
 public:
  explicit OptionaWindow(Session& session) : session_(session), optiona_(session.platform, *this) {}

  bool Create();
  void Load() {
    optiona_.Form_Load();
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
    SetFocus(txt_name_);
  }

  // OptionaView
  void ShowRows(const std::vector<ListEntry>& rows, std::optional<int> selected) override;
  std::optional<int> SelectedRow() override {
    const LRESULT row = SendMessageA(lv_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    return row < 0 ? std::nullopt : std::optional<int>(static_cast<int>(row));
  }
  std::string NameField() override { return Text(txt_name_); }
  std::string PathField() override { return Text(txt_path_); }
  void SetNameField(const std::string& text) override { SetWindowTextA(txt_name_, text.c_str()); }
  void SetPathField(const std::string& text) override { SetWindowTextA(txt_path_, text.c_str()); }
  void ShowPosition(const std::string& text) override {
    SetWindowTextA(lbl_position_, text.c_str());
  }
  void EnableDelete() override { EnableWindow(cmd_delete_, TRUE); }
  void ShowMessage(const std::string& text, const std::string& title) override {
    MessageBoxA(hwnd_, text.c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION);
  }
  std::string Browse(const std::string& filter) override;
  void OpenMain() override { OpenMasterWindow(session_); }
  void CloseMain() override {
    if (session_.master != nullptr) PostMessageA(session_.master, WM_CLOSE, 0, 0);
  }
  void Close() override { PostMessageA(hwnd_, WM_CLOSE, 0, 0); }

  void Attach(HWND hwnd) { hwnd_ = hwnd; }
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  void OnCommand(int id, int code);
  LRESULT OnNotify(const NMHDR& header);
  LRESULT OnColour(HDC dc, HWND control);
  void AddTooltip(HWND control, const char* text);

  Session& session_;
  Optiona optiona_;
  HWND hwnd_ = nullptr;
  HWND txt_name_ = nullptr;
  HWND txt_path_ = nullptr;
  HWND cmd_delete_ = nullptr;
  HWND lv_ = nullptr;
  HWND lbl_title_ = nullptr;
  HWND lbl_name_ = nullptr;
  HWND lbl_path_ = nullptr;
  HWND lbl_position_ = nullptr;
  HWND tooltip_ = nullptr;
  std::string dlg_file_;  // DLG keeps its file name from one Browse to the next
};

bool OptionaWindow::Create() {
  static const bool registered =
      RegisterWindowClass(ids::kWindowClass, &RouteToWindow<OptionaWindow>);
  if (!registered) {
    delete this;
    return false;
  }
  RECT outer{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&outer, kStyle, FALSE, 0);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  hwnd_ = CreateWindowExA(0, ids::kWindowClass, "Main Menu Options", kStyle, CW_USEDEFAULT,
                          CW_USEDEFAULT, width, height, nullptr, nullptr, GetModuleHandleA(nullptr),
                          this);
  if (hwnd_ == nullptr) return false;
  CentreOnScreen(hwnd_, width, height);

  HFONT big = SansSerifBold(12);
  HFONT small = SansSerifBold(9.75);
  // Created in focus order: name, path, browse, Save, Delete, Close, LV, New, Edit.
  txt_name_ = CreateChild(hwnd_, "EDIT", "", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 8, 56, 283,
                          27, ids::kTxtName, big, WS_EX_CLIENTEDGE);
  txt_path_ = CreateChild(hwnd_, "EDIT", "", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 8, 112, 577,
                          27, ids::kTxtPath, big, WS_EX_CLIENTEDGE);
  HWND browse = CreateChild(hwnd_, "BUTTON", "", WS_VISIBLE | WS_TABSTOP | BS_BITMAP, 8, 144, 97,
                            49, ids::kCmdBrowse, small);
  SendMessageA(browse, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(FolderPicture()));
  CreateChild(hwnd_, "BUTTON", "Save", WS_VISIBLE | WS_TABSTOP, 304, 144, 89, 49, ids::kCmdSave,
              small);
  cmd_delete_ = CreateChild(hwnd_, "BUTTON", "Delete", WS_VISIBLE | WS_TABSTOP | WS_DISABLED, 400,
                            144, 89, 49, ids::kCmdDelete, small);
  CreateChild(hwnd_, "BUTTON", "Close", WS_VISIBLE | WS_TABSTOP, 496, 144, 89, 49, ids::kCmdClose,
              small);
  lv_ = CreateChild(hwnd_, WC_LISTVIEWA, "",
                    WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 8,
                    200, 577, 289, ids::kLV, small, WS_EX_CLIENTEDGE);
  SendMessageA(lv_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  const struct {
    const char* caption;
    int width;
  } columns[] = {{"App Name", 107}, {"App Path", 400}};
  for (int i = 0; i < 2; ++i) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<char*>(columns[i].caption);
    column.cx = columns[i].width;
    column.iSubItem = i;
    SendMessageA(lv_, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
  }
  CreateChild(hwnd_, "BUTTON", "New", WS_VISIBLE | WS_TABSTOP, 112, 144, 89, 49, ids::kCmdNew,
              small);
  CreateChild(hwnd_, "BUTTON", "Edit", WS_VISIBLE | WS_TABSTOP, 208, 144, 89, 49, ids::kCmdEdit,
              small);
  lbl_title_ =
      CreateChild(hwnd_, "STATIC", "Main Menu Settings", WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE, 0,
                  0, 593, 25, ids::kLblTitle, big);
  lbl_name_ = CreateChild(hwnd_, "STATIC", "Application Name", WS_VISIBLE | SS_CENTERIMAGE, 8, 32,
                          283, 25, ids::kLblName, big);
  lbl_path_ = CreateChild(hwnd_, "STATIC", "Application Path", WS_VISIBLE | SS_CENTERIMAGE, 8, 88,
                          577, 25, ids::kLblPath, big);
  lbl_position_ = CreateChild(hwnd_, "STATIC", "", WS_VISIBLE | SS_CENTERIMAGE, 584, 0, 33, 25,
                              ids::kLblPosition, big);
  // The title strip is drawn under the position label, which sits at its end.
  SetWindowPos(lbl_title_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
  AddTooltip(lv_, "Double Click to Select for Delete");
  AddTooltip(browse, "Select Path");
  return true;
}

void OptionaWindow::AddTooltip(HWND control, const char* text) {
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hwnd_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<char*>(text);
  SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void OptionaWindow::ShowRows(const std::vector<ListEntry>& rows, std::optional<int> selected) {
  SendMessageA(lv_, WM_SETREDRAW, FALSE, 0);
  SendMessageA(lv_, LVM_DELETEALLITEMS, 0, 0);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<char*>(rows[i].caption.c_str());
    const LRESULT at = SendMessageA(lv_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    item.iItem = static_cast<int>(at);
    item.iSubItem = 1;
    item.pszText = const_cast<char*>(rows[i].path.c_str());
    SendMessageA(lv_, LVM_SETITEMTEXTA, at, reinterpret_cast<LPARAM>(&item));
  }
  if (selected) {
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(lv_, LVM_SETITEMSTATE, *selected, reinterpret_cast<LPARAM>(&state));
  }
  SendMessageA(lv_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(lv_, nullptr, TRUE);
}

std::string OptionaWindow::Browse(const std::string& filter) {
  // "Description|pattern" as the dialog wants it: pairs of texts ended by NULs.
  std::string filters = filter + '|';
  for (char& c : filters) {
    if (c == '|') c = '\0';
  }
  filters += '\0';
  char file[MAX_PATH * 2] = {};
  dlg_file_.copy(file, sizeof file - 1);
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = hwnd_;
  dialog.lpstrFilter = filters.c_str();
  dialog.lpstrFile = file;
  dialog.nMaxFile = sizeof file;
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (GetOpenFileNameFromSystem(&dialog)) dlg_file_ = file;
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
      return OnNotify(*reinterpret_cast<const NMHDR*>(lparam));
    case WM_CHAR:
      optiona_.Form_KeyPress(static_cast<int>(wparam));
      return 0;
    case WM_CTLCOLORSTATIC:
      return OnColour(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_DESTROY:
      if (session_.options == hwnd_) session_.options = nullptr;
      session_.WindowClosed();
      return 0;
    default:
      return DefWindowProcA(hwnd_, message, wparam, lparam);
  }
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

LRESULT OptionaWindow::OnNotify(const NMHDR& header) {
  if (header.hwndFrom == lv_ && header.code == NM_CLICK) optiona_.LV_Click();
  if (header.hwndFrom == lv_ && header.code == NM_DBLCLK) optiona_.LV_DblClick();
  return 0;
}

LRESULT OptionaWindow::OnColour(HDC dc, HWND control) {
  if (control == lbl_title_) {
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkColor(dc, RGB(0, 0, 0));
    return reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));
  }
  if (control == lbl_name_ || control == lbl_path_) {
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkColor(dc, kCaptionGround);
    return reinterpret_cast<LRESULT>(SolidBrush(kCaptionGround));
  }
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

}  // namespace

void OpenOptionsWindow(Session& session) {
  // Once CreateWindowEx has seen the object, it belongs to its window and goes with it.
  auto* window = new OptionaWindow(session);
  if (window->Create()) window->Load();
}

}  // namespace marlo
