// The main window on screen: its controls, and the routing of Win32 messages to Master's handlers.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>

#include "main_window/master.h"
#include "main_window/master_ids.h"
#include "main_window/master_look_win.h"
#include "platform/program_icons_win.h"
#include "platform/session_win.h"
#include "platform/text_win.h"
#include "platform/topmost_win.h"
#include "platform/ui_win.h"
#include "platform/window_work_win.h"

namespace marlo {
namespace {

namespace ids = master_ids;

// The window's fixed outer size is 10200 x 8985 twips: 680 x 599 pixels at 96 dots per inch.
constexpr int kOuterWidthTwips = 10200;
constexpr int kOuterHeightTwips = 8985;
// A window that keeps its size needs no sizing border.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
// Work done away from the window has come back (the message carries nothing).
constexpr UINT kWorkDone = WM_APP + 2;
// A list that takes longer than this to read (a slow server) finds the window on screen already.
constexpr UINT kShowAfterMilliseconds = 250;
// A menu of up to so many entries and bytes of captions goes into the list box in one go (under
// Wine 100,000 short captions take about a tenth of a second); a longer one a slice at a time into
// a list box of its own, each slice taking about so long, with the window's messages handled
// between slices. It takes the place of the menu shown once it is full.
constexpr std::size_t kEntriesInOneGo = 100000;
constexpr std::size_t kCaptionBytesInOneGo = 4u << 20;
constexpr DWORD kSliceMilliseconds = 15;
// The list box being filled, until it takes the menu's place.
constexpr int kFillingList = 1107;
constexpr DWORD kListStyle = WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                             LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;

std::wstring Caption() { return L"Marlo Infosystems" + std::wstring(72, L' '); }

SIZE OuterSize(int dpi) {
  return {MulDiv(kOuterWidthTwips, dpi, 1440), MulDiv(kOuterHeightTwips, dpi, 1440)};
}

class MasterWindow : public MasterView {
 public:
  explicit MasterWindow(Session& session)
      : session_(session),
        master_(session.platform, *this),
        work_(std::make_unique<WindowWork>(kWorkDone)) {}

  // The start-up's reading begins before the window is made, and goes on while it is.
  void Form_Load() { master_.Form_Load(); }
  bool Create(std::unique_ptr<MasterWindow> self);

  // MasterView
  // Work that comes back while a box is up waits for the handler that showed it to end; so does a
  // close that comes from outside meanwhile (a management tool, the session ending): the window
  // is not destroyed under the box, whose handler still runs.
  void ShowMessage(const std::string& text, const std::string& title) override {
    Boxed([&] { ShowBox(hwnd_, text, title, MB_OK | MB_ICONINFORMATION); });
  }
  void ShowMenu(const std::vector<std::string_view>& captions, std::function<void()> in,
                std::function<void()> shown) override;
  void RedrawMenu() override {
    if (list7_ != nullptr) InvalidateRect(list7_, nullptr, FALSE);
  }
  // From the menu's top row, as many rows as its height holds, the last perhaps only in part.
  RowsShown RowsOnScreen() override {
    RECT client{};
    if (list7_ == nullptr || !GetClientRect(list7_, &client)) return {};
    const auto height = static_cast<int>(SendMessageW(list7_, LB_GETITEMHEIGHT, 0, 0));
    if (height <= 0) return {};
    return {static_cast<int>(SendMessageW(list7_, LB_GETTOPINDEX, 0, 0)),
            (client.bottom + height - 1) / height};
  }
  bool SelectMenuItem(int index) override {
    return SendMessageW(list7_, LB_SETCURSEL, index, 0) != LB_ERR;
  }
  void ShowMode(const std::string& mode) override { SetWindowTextW(label5_, Wide(mode).c_str()); }
  void HideOptionsAndExit() override {
    ShowWindow(command3_, SW_HIDE);
    ShowWindow(command5_, SW_HIDE);
  }
  bool MakeTopMost() override { return marlo::MakeTopMost(hwnd_); }
  void StopTimer2() override { KillTimer(hwnd_, ids::kTimer2); }
  void StartTimer3(std::chrono::milliseconds delay) override {
    timer3_set_ = true;
    SetTimer(hwnd_, ids::kTimer3, static_cast<UINT>(delay.count()), nullptr);
  }
  void Minimise() override { ShowWindow(hwnd_, SW_MINIMIZE); }
  bool IsMinimised() override { return IsIconic(hwnd_) != FALSE; }
  void ShowWindowNow() override;
  void ShowStarting(bool starting) override;
  void OffThread(Lane lane, std::function<void()> work, std::function<void()> then,
                 std::optional<Deadline> finish_by) override {
    work_->Run(lane, std::move(work), std::move(then), finish_by);
  }
  // The Options window's opening may show a box: by then this window can no longer be used, and
  // a close from outside meanwhile waits for it as for a box of this window's own.
  void OpenOptions() override {
    EnableWindow(hwnd_, FALSE);
    ShowWindow(hwnd_, SW_HIDE);
    Boxed([this] { OpenOptionsWindow(session_); });
  }
  void CloseOptions() override {
    if (session_.options != nullptr) DestroyWindow(session_.options);
  }
  // Closing waits for the message loop, so no handler outlives its window.
  void Close() override { PostMessageW(hwnd_, WM_CLOSE, 0, 0); }

  void Attach(HWND hwnd) { hwnd_ = hwnd; }
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  void OnCommand(int id, int code);
  void OnTimer(UINT_PTR id);
  void OnWorkDone();
  LRESULT OnColour(HDC dc, HWND control);
  void OnPaint();
  void OnActivate(bool active);
  void OnDpiChanged(int dpi, LPARAM suggested);
  void Form_Resize();
  int RowHeight();
  void OnDrawItem(const DRAWITEMSTRUCT& item);
  bool OnSetCursor(LPARAM lparam);
  bool FillSlice();
  void PutFilledListInPlace();
  void StopFilling();
  template <typename Show>
  void Boxed(Show show) {
    boxes_.While(hwnd_, kWorkDone, show);
  }

  Session& session_;
  Master master_;
  ChildLayout layout_;
  int dpi_ = 96;
  HWND hwnd_ = nullptr;
  HWND list7_ = nullptr;
  HWND command3_ = nullptr;
  HWND command5_ = nullptr;
  HWND label1_ = nullptr;
  HWND label5_ = nullptr;
  HWND label10_ = nullptr;
  HWND focused_ = nullptr;  // the control that had the focus when the window was left
  std::unique_ptr<WindowWork> work_;
  int icon_size_ = 16;
  // A long menu being put in: its captions, the next to go in, the list box they go into, and what
  // follows once it is full.
  struct Fill {
    const std::vector<std::string_view>* captions;  // the incoming menu's, which the menu keeps
    std::size_t next = 0;
    HWND list = nullptr;
    std::function<void()> in, shown;
  };
  std::unique_ptr<Fill> fill_;
  std::wstring caption_;     // a caption in UTF-16, as it goes into the list box
  bool starting_ = false;    // a start is under way
  bool timer3_set_ = false;  // Timer3 was set since its last tick
  WindowBoxes boxes_;
};

// `self` owns this object until its window takes it; false when no window could be made, and the
// object is gone then.
bool MasterWindow::Create(std::unique_ptr<MasterWindow> self) {
  static const std::wstring window_class = Wide(ids::kWindowClass);
  static const bool registered =
      RegisterWindowClass(window_class.c_str(), &RouteToWindow<MasterWindow>);
  if (!registered) return false;
  if (CreateObjectWindow(std::move(self), window_class.c_str(), Caption().c_str(), kStyle) ==
      nullptr) {
    return false;
  }
  work_->Attach(hwnd_);
  // Timer2 ticks from the moment the window exists until the start-mode step stops it. The list
  // is read meanwhile: the window comes on screen with the menu in it, or, when the server is
  // slow to give the list, a moment after the start all the same.
  SetTimer(hwnd_, ids::kTimer2, 10, nullptr);
  SetTimer(hwnd_, ids::kShowTimer, kShowAfterMilliseconds, nullptr);
  dpi_ = WindowDpi(hwnd_);
  icon_size_ = SmallIconSize(dpi_);
  master_.SetIconSize(icon_size_);
  const SIZE outer = OuterSize(dpi_);
  CentreOnScreen(hwnd_, outer.cx, outer.cy);

  layout_.SetDpi(dpi_);
  // The menu box: a frame with its heading on the top edge, under the heading and the list. It
  // draws only its frame; being transparent, the window paints what lies inside it.
  HWND menu_box = layout_.Add(hwnd_, L"BUTTON", L"", WS_VISIBLE | BS_GROUPBOX, {16, 16, 281, 305},
                              ids::kMenuBox, 13.5, WS_EX_TRANSPARENT);
  label10_ = layout_.Add(hwnd_, L"STATIC", L"Main Menu", WS_VISIBLE | SS_CENTER, {64, 16, 185, 25},
                         ids::kLabel10, 13.5);
  // Drawn by the window, each entry with its program's icon, and still a list box with its
  // strings: a screen reader reads them, and a typed letter goes to the entry it begins.
  list7_ = layout_.Add(hwnd_, L"LISTBOX", L"", WS_VISIBLE | kListStyle, {24, 48, 265, 242},
                       ids::kList7, 13.5, WS_EX_CLIENTEDGE);
  command3_ = layout_.Add(hwnd_, L"BUTTON", L"Options", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                          {8, 480, 97, 57}, ids::kCommand3, 12);
  command5_ = layout_.Add(hwnd_, L"BUTTON", L"Exit", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                          {112, 480, 89, 57}, ids::kCommand5, 12);
  label1_ = layout_.Add(hwnd_, L"STATIC", L"Start as :", WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE,
                        {224, 504, 133, 25}, ids::kLabel1, 12);
  label5_ = layout_.Add(hwnd_, L"STATIC", L"", WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE,
                        {368, 504, 289, 25}, ids::kLabel5, 12);
  // Command1 has no place on screen: it is the default command that Enter reaches.
  layout_.Add(hwnd_, L"BUTTON", L"", BS_DEFPUSHBUTTON, {0, 0, 0, 0}, ids::kCommand1, 0);
  SetWindowPos(menu_box, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return true;
}

void MasterWindow::ShowWindowNow() {
  KillTimer(hwnd_, ids::kShowTimer);
  if (IsWindowVisible(hwnd_)) return;
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
  SetFocus(list7_);
}

LRESULT MasterWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      session_.master = hwnd_;
      session_.WindowOpened();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case DM_GETDEFID:
      return MAKELRESULT(ids::kCommand1, DC_HASDEFID);
    case WM_CHAR:
      master_.Form_KeyPress(static_cast<int>(wparam));
      return 0;
    case WM_TIMER:
      OnTimer(wparam);
      return 0;
    case kWorkDone:
      OnWorkDone();
      return 0;
    case WM_SIZE:
      Form_Resize();
      // Restored, also to the maximised state a shortcut may ask for.
      if (wparam == SIZE_RESTORED || wparam == SIZE_MAXIMIZED) master_.Form_Activate();
      return 0;
    case WM_CLOSE:
      if (boxes_.PutOffClose()) return 0;
      DestroyWindow(hwnd_);
      return 0;
    case WM_SETCURSOR:
      if (OnSetCursor(lparam)) return TRUE;
      return DefWindowProcW(hwnd_, message, wparam, lparam);
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lparam)->itemHeight = static_cast<UINT>(RowHeight());
      return TRUE;
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
      return TRUE;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wparam) != WA_INACTIVE);
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wparam), lparam);
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      return OnColour(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
      FollowSystemColours(hwnd_, message, wparam, lparam);
      return 0;
    case WM_DESTROY:
      // Form_Unload: nothing beyond closing; the program ends with its last window.
      StopFilling();
      if (session_.master == hwnd_) session_.master = nullptr;
      session_.WindowClosed();
      return 0;
    default:
      return DefWindowProcW(hwnd_, message, wparam, lparam);
  }
}

void MasterWindow::OnCommand(int id, int code) {
  if (id == ids::kList7 && code == LBN_SELCHANGE) {
    master_.List7_Click(static_cast<int>(SendMessageW(list7_, LB_GETCURSEL, 0, 0)));
  } else if (id == ids::kList7 && code == LBN_DBLCLK) {
    master_.List7_DblClick();
  } else if (id == ids::kCommand1) {
    master_.Command1_Click();
  } else if (id == ids::kCommand3 && code == BN_CLICKED) {
    master_.Command3_Click();
  } else if (id == ids::kCommand5 && code == BN_CLICKED) {
    master_.Command5_Click();
  } else if (id == IDCANCEL && GetFocus() == hwnd_) {
    // Esc reaches the window itself only when none of its controls holds the focus.
    master_.Form_KeyPress(27);
  }
}

// Each tick takes what came back first, in case its notice could not be posted: Timer2 ticks
// until the start-up has its list on screen, Timer3 while the menu follows app.txt. A tick of
// Timer3 whose taking set it anew is spent. A start-up without a list never shows the window.
void MasterWindow::OnTimer(UINT_PTR id) {
  if (id == ids::kTimer3) {
    KillTimer(hwnd_, ids::kTimer3);
    timer3_set_ = false;
  }
  OnWorkDone();
  if (id == ids::kTimer2) {
    master_.Timer2_Timer();
  } else if (id == ids::kTimer3 && !timer3_set_) {
    master_.Timer3_Timer();
  } else if (id == ids::kShowTimer) {
    KillTimer(hwnd_, ids::kShowTimer);
    const StartUp stage = master_.StartUpStage();
    if (stage == StartUp::kReadingList || stage == StartUp::kPuttingListIn) ShowWindowNow();
  }
}

// What follows work done away from the window runs here, one piece at a time, never inside a
// handler that shows a box (it waits for the box to close) and not once the window is closing.
void MasterWindow::OnWorkDone() {
  if (boxes_.Up()) return;
  for (auto& then : work_->Take()) {
    if (master_.StartUpStage() == StartUp::kClosing) return;
    then();
  }
}

LRESULT MasterWindow::OnColour(HDC dc, HWND control) {
  if (control == list7_) return ColourControl(dc, Part::kMenu);
  if (control == label1_) return ColourControl(dc, Part::kModeCaption);
  if (control == label5_) return ColourControl(dc, Part::kMode);
  return ColourControl(dc, Part::kWindow);
}

void MasterWindow::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd_, &paint);
  RECT client;
  GetClientRect(hwnd_, &client);
  PaintMasterLook(dc, client, dpi_);
  EndPaint(hwnd_, &paint);
}

// Like a dialog, the window gives the focus back to the control that had it (at first the menu),
// so that after a start, minimised and restored, the arrow keys and Enter work on the menu again.
void MasterWindow::OnActivate(bool active) {
  if (!active) {
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(hwnd_, focus)) focused_ = focus;
    return;
  }
  if (IsIconic(hwnd_)) return;
  SetFocus(focused_ != nullptr && IsWindowVisible(focused_) ? focused_ : list7_);
  master_.Form_Activate();
}

// Moved to a screen of another density: the place the system suggests, the fixed size in that
// density, and every control and font scaled to it.
void MasterWindow::OnDpiChanged(int dpi, LPARAM suggested) {
  dpi_ = dpi;
  MoveToSuggested(hwnd_, suggested);
  Form_Resize();
  layout_.Apply(dpi_);
  icon_size_ = SmallIconSize(dpi_);
  master_.SetIconSize(icon_size_);
  if (fill_) {  // the list box being filled takes the menu's new place and font too
    RECT place;
    GetWindowRect(list7_, &place);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&place), 2);
    SetWindowPos(fill_->list, nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(fill_->list, WM_SETFONT, SendMessageW(list7_, WM_GETFONT, 0, 0), FALSE);
  }
  for (HWND list : {list7_, fill_ ? fill_->list : nullptr}) {
    if (list != nullptr) SendMessageW(list, LB_SETITEMHEIGHT, 0, RowHeight());
  }
  InvalidateRect(hwnd_, nullptr, TRUE);
}

// The window keeps its fixed size; while minimised the setting is skipped.
void MasterWindow::Form_Resize() {
  if (IsIconic(hwnd_)) return;
  const SIZE size = OuterSize(dpi_);
  RECT outer;
  GetWindowRect(hwnd_, &outer);
  if (outer.right - outer.left != size.cx || outer.bottom - outer.top != size.cy) {
    SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// A row is as high as the larger of the menu's font and its icons, with a pixel to spare above
// and below the icon.
int MasterWindow::RowHeight() {
  HDC dc = GetDC(hwnd_);
  HGDIOBJ old = SelectObject(dc, SansSerifBold(13.5, dpi_));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  return std::max<int>(metrics.tmHeight, icon_size_ + 2);
}

// An entry as the system's list box draws one, with its program's icon at the left: the menu's
// colours, or the highlight for the chosen entry, and the focus rectangle where the keyboard is.
void MasterWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.hwndItem != list7_) return;
  HDC dc = item.hDC;
  RECT row = item.rcItem;
  const bool focus = (item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0;
  if (item.itemID == static_cast<UINT>(-1)) {  // an empty menu with the focus
    if (focus) DrawFocusRect(dc, &row);
    return;
  }
  const Colours colours =
      PaintColours((item.itemState & ODS_SELECTED) != 0 ? Part::kMenuChosen : Part::kMenu);
  FillRect(dc, &row, SolidBrush(colours.ground));
  const int gap = Scale(2, dpi_);
#ifndef MARLO_WITHOUT_ICONS  // a build that only measures what the icons cost
  DrawProgramLook(dc, row.left + gap, row.top + (row.bottom - row.top - icon_size_) / 2, icon_size_,
                  master_.Icon(static_cast<int>(item.itemID)));
#endif
  const LRESULT length = SendMessageW(list7_, LB_GETTEXTLEN, item.itemID, 0);
  if (length > 0) {
    caption_.assign(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(list7_, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(caption_.data()));
    RECT text = row;
    text.left += 2 * gap + icon_size_ + gap;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colours.text);
    DrawTextW(dc, caption_.c_str(), static_cast<int>(length), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  if (focus) DrawFocusRect(dc, &row);
}

// While a start is under way the pointer over the window shows that a program is starting.
bool MasterWindow::OnSetCursor(LPARAM lparam) {
  if (!starting_ || LOWORD(lparam) != HTCLIENT) return false;
  SetCursor(LoadCursorW(nullptr, IDC_APPSTARTING));
  return true;
}

void MasterWindow::ShowStarting(bool starting) {
  starting_ = starting;
  POINT pointer;
  if (GetCursorPos(&pointer) && GetAncestor(WindowFromPoint(pointer), GA_ROOT) == hwnd_) {
    SetCursor(LoadCursorW(nullptr, starting ? IDC_APPSTARTING : IDC_ARROW));
  }
}

namespace {

// Captions into a list box, from `from` up to `to`: each into UTF-16 by the program's own decoder
// (Wine's MultiByteToWideChar takes several times as long), through one buffer.
void AddCaptions(HWND list, const std::vector<std::string_view>& captions, std::size_t from,
                 std::size_t to, std::wstring& buffer) {
  for (std::size_t i = from; i < to; ++i) {
    buffer.resize(captions[i].size() + 1);
    buffer.resize(WideInto(captions[i], buffer.data()));
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(buffer.c_str()));
  }
}

// The fastest fill the list box offers: its storage reserved for all captions at once, and no
// drawing until the last one is in.
void PrepareFill(HWND list, const std::vector<std::string_view>& captions) {
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  std::size_t units = 0;
  for (const auto caption : captions) units += caption.size() + 1;
  SendMessageW(list, LB_INITSTORAGE, captions.size(), units * sizeof(wchar_t));
}

void FillAtOnce(HWND list, const std::vector<std::string_view>& captions, std::wstring& buffer) {
  PrepareFill(list, captions);
  AddCaptions(list, captions, 0, captions.size(), buffer);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

}  // namespace

// A short menu goes in at once, and so does the start-up's while the window is not on screen yet
// (there is nothing to answer for; it is shown with its menu). A long one goes, a slice at a time
// between the window's messages, into a second list box of the same place and look, made hidden;
// the menu shown stays and works meanwhile, and the full list box takes its place in one step.
void MasterWindow::ShowMenu(const std::vector<std::string_view>& captions, std::function<void()> in,
                            std::function<void()> shown) {
  StopFilling();
  std::size_t bytes = 0;
  for (const auto caption : captions) bytes += caption.size();
  if ((captions.size() <= kEntriesInOneGo && bytes <= kCaptionBytesInOneGo) ||
      !IsWindowVisible(hwnd_)) {
    FillAtOnce(list7_, captions, caption_);
    in();
    shown();
    return;
  }
  const RECT place = [this] {
    RECT rect;
    GetWindowRect(list7_, &rect);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }();
  HWND list =
      CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", WS_CHILD | WS_CLIPSIBLINGS | kListStyle,
                      place.left, place.top, place.right - place.left, place.bottom - place.top,
                      hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFillingList)),
                      GetModuleHandleW(nullptr), nullptr);
  if (list == nullptr) {  // no second list box: the menu goes in at once after all
    FillAtOnce(list7_, captions, caption_);
    in();
    shown();
    return;
  }
  SendMessageW(list, WM_SETFONT, SendMessageW(list7_, WM_GETFONT, 0, 0), FALSE);
  PrepareFill(list, captions);
  fill_ = std::make_unique<Fill>(Fill{&captions, 0, list, std::move(in), std::move(shown)});
  session_.idle = [this] { return FillSlice(); };
}

bool MasterWindow::FillSlice() {
  if (!fill_) return false;
  const DWORD began = GetTickCount();
  const std::vector<std::string_view>& captions = *fill_->captions;
  while (fill_->next < captions.size() && GetTickCount() - began < kSliceMilliseconds) {
    const std::size_t to = std::min(captions.size(), fill_->next + 256);
    AddCaptions(fill_->list, captions, fill_->next, to, caption_);
    fill_->next = to;
  }
  if (fill_->next < captions.size()) return true;
  PutFilledListInPlace();
  return false;
}

// The full list box takes the menu's place, its id and its place in the focus order, and the
// focus if the menu had it. The menu takes the new list before the list box shows a row of it
// (showing it and giving it the focus draw rows at once), so no row is drawn with the icon of the
// old list's entry there; what follows the list (a box) waits for it on screen.
void MasterWindow::PutFilledListInPlace() {
  std::unique_ptr<Fill> fill = std::move(fill_);
  session_.idle = nullptr;
  HWND old = list7_;
  HWND fresh = fill->list;
  // The id passes over with no moment when no list box has it (a program reading the window
  // asks for the list by its id).
  SetWindowLongPtrW(fresh, GWLP_ID, ids::kList7);
  SetWindowLongPtrW(old, GWLP_ID, 0);
  SetWindowPos(fresh, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageW(fresh, WM_SETREDRAW, TRUE, 0);
  const bool had_focus = GetFocus() == old;
  list7_ = fresh;
  layout_.Replace(old, fresh);
  if (focused_ == old) focused_ = fresh;
  fill->in();
  ShowWindow(fresh, SW_SHOWNA);
  if (had_focus) SetFocus(fresh);
  DestroyWindow(old);
  fill->shown();
}

// A fill under way is given up: its list box goes, and its `in` and `shown` never come.
void MasterWindow::StopFilling() {
  if (!fill_) return;
  DestroyWindow(fill_->list);
  fill_.reset();
  session_.idle = nullptr;
}

}  // namespace

void OpenMasterWindow(Session& session) {
  auto owned = std::make_unique<MasterWindow>(session);
  MasterWindow* window = owned.get();
  window->Form_Load();
  if (!window->Create(std::move(owned))) session.WindowNotCreated(L"The menu window");
}

}  // namespace marlo
