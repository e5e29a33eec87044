// The main window and the Options window as people see them, at whatever density the screen has
// (this program runs on a screen of 96 and of 120 dots per inch): their fixed sizes, every control
// in its place, captions that fit, the colours; the ways the program ends; and what the shipped
// exe carries (icon, manifest, version).
#include <gtest/gtest.h>

#include "harness.h"
// After windows.h, which it needs.
#include <commctrl.h>

#include "main_window/master_ids.h"
#include "options/optiona_ids.h"
#include "platform/ui_win.h"

namespace {

using namespace e2e;
namespace ids = marlo::master_ids;
namespace options_ids = marlo::optiona_ids;

const std::string kMenu = "D:\\MENU";

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

int S(int pixels) { return marlo::Scale(pixels, ScreenDpi()); }

SIZE SizeOf(const RECT& rect) { return {rect.right - rect.left, rect.bottom - rect.top}; }

SIZE OuterSize(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return SizeOf(rect);
}

// A control of a window, where the layout puts it at 96 dpi, and its caption's font.
struct Place {
  int id;
  RECT at;  // left, top, width, height
  double points;
  const char* caption;  // as shown; nullptr for controls without one
};

const Place kMasterPlaces[] = {
    {ids::kMenuBox, {16, 16, 281, 305}, 13.5, nullptr},
    {ids::kLabel10, {64, 16, 185, 25}, 13.5, "Main Menu"},
    {ids::kList7, {24, 48, 265, 242}, 13.5, nullptr},
    {ids::kCommand3, {8, 480, 97, 57}, 12, "Options"},
    {ids::kCommand5, {112, 480, 89, 57}, 12, "Exit"},
    {ids::kLabel1, {224, 504, 133, 25}, 12, "Start as :"},
    {ids::kLabel5, {368, 504, 289, 25}, 12, "SERVER"},
    {ids::kLabel5, {368, 504, 289, 25}, 12, "CLIENT"},
};

const Place kOptionsPlaces[] = {
    {options_ids::kTxtName, {8, 56, 283, 27}, 12, nullptr},
    {options_ids::kTxtAudience, {304, 56, 281, 27}, 12, nullptr},
    {options_ids::kTxtPath, {8, 112, 577, 27}, 12, nullptr},
    {options_ids::kCmdBrowse, {8, 144, 97, 49}, 9.75, nullptr},
    {options_ids::kCmdNew, {112, 144, 89, 49}, 9.75, "New"},
    {options_ids::kCmdEdit, {208, 144, 89, 49}, 9.75, "Edit"},
    {options_ids::kCmdSave, {304, 144, 89, 49}, 9.75, "Save"},
    {options_ids::kCmdDelete, {400, 144, 89, 49}, 9.75, "Delete"},
    {options_ids::kCmdClose, {496, 144, 89, 49}, 9.75, "Close"},
    {options_ids::kLV, {8, 200, 577, 289}, 9.75, nullptr},
    {options_ids::kLblTitle, {0, 0, 593, 25}, 12, "Main Menu Settings"},
    {options_ids::kLblName, {8, 32, 283, 25}, 12, "Application Name"},
    {options_ids::kLblPath, {8, 88, 577, 25}, 12, "Application Path"},
    {options_ids::kLblAudience, {304, 32, 281, 25}, 12, "Shown To"},
};

// Every control at its place scaled to the screen (within two pixels), and its caption, in the
// font the window uses at this density, inside it.
void ExpectLaidOut(HWND window, const Place* places, std::size_t count) {
  HDC dc = CreateCompatibleDC(nullptr);
  for (std::size_t i = 0; i < count; ++i) {
    const Place& place = places[i];
    HWND control = GetDlgItem(window, place.id);
    ASSERT_NE(control, nullptr) << place.id;
    const RECT at = PlaceInParent(control);
    EXPECT_NEAR(at.left, S(place.at.left), 2) << place.id;
    EXPECT_NEAR(at.top, S(place.at.top), 2) << place.id;
    EXPECT_NEAR(at.right - at.left, S(place.at.right), 2) << place.id;
    EXPECT_NEAR(at.bottom - at.top, S(place.at.bottom), 2) << place.id;
    if (place.caption == nullptr) continue;
    HGDIOBJ old = SelectObject(dc, marlo::SansSerifBold(place.points, ScreenDpi()));
    SIZE text{};
    GetTextExtentPoint32A(dc, place.caption, lstrlenA(place.caption), &text);
    SelectObject(dc, old);
    RECT client;
    GetClientRect(control, &client);
    EXPECT_LE(text.cx + S(4), client.right) << place.caption << " is clipped";
    EXPECT_LE(text.cy, client.bottom) << place.caption << " is clipped";
  }
  DeleteDC(dc);
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFolder(kMenu);
    CopyProgram("Marlo.exe", kMenu + "\\Marlo.exe");
    WriteBytes(kMenu + "\\app.txt", "Clock=D:\\APPS\\CLOCK.EXE\r\nNotes=D:\\APPS\\NOTES.EXE\r\n");
    marlo_ = std::make_unique<Process>(kMenu + "\\Marlo.exe", "\\\\DC1");
    main_ = marlo_->WaitForWindow(ids::kWindowClass);
    ASSERT_NE(main_, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(Item(ids::kLabel5)) == "SERVER"; }));
  }
  HWND Item(int id) const { return GetDlgItem(main_, id); }
  bool HasFixedSize() const {
    const SIZE outer = OuterSize(main_);
    return outer.cx == MulDiv(10200, ScreenDpi(), 1440) &&
           outer.cy == MulDiv(8985, ScreenDpi(), 1440);
  }

  std::unique_ptr<Process> marlo_;
  HWND main_ = nullptr;
};

TEST_F(WindowTest, HasItsFixedSizeInTwipsWithRoomForTheBanner) {
  std::printf("screen: %d dots per inch\n", ScreenDpi());
  const SIZE outer = OuterSize(main_);
  const SIZE expected = ScreenDpi() == 96    ? SIZE{680, 599}
                        : ScreenDpi() == 120 ? SIZE{850, 749}
                                             : SIZE{MulDiv(10200, ScreenDpi(), 1440),
                                                    MulDiv(8985, ScreenDpi(), 1440)};
  EXPECT_EQ(outer.cx, expected.cx);
  EXPECT_EQ(outer.cy, expected.cy);
  RECT client;
  GetClientRect(main_, &client);
  std::printf("outer %ld x %ld, client %ld x %ld\n", outer.cx, outer.cy, client.right,
              client.bottom);
  EXPECT_GE(client.right, S(673));
  EXPECT_GE(client.bottom, S(566));
  EXPECT_GE(client.bottom, S(544) + S(25)) << "the banner is cut off";
}

TEST_F(WindowTest, SnapsBackToItsSizeAndStaysOnTopThroughMinimiseAndRestore) {
  SetWindowPos(main_, nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(WaitUntil([&] { return HasFixedSize(); }));
  RECT rect;
  GetWindowRect(main_, &rect);
  MoveWindow(main_, rect.left + 10, rect.top + 10, 900, 700, TRUE);
  EXPECT_TRUE(WaitUntil([&] { return HasFixedSize(); }));

  ShowWindow(main_, SW_MINIMIZE);
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(main_) != 0; }));
  Sleep(200);
  ShowWindow(main_, SW_RESTORE);
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(main_) == 0 && HasFixedSize(); }));
  EXPECT_TRUE(GetWindowLongA(main_, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(marlo_->Running());
}

TEST_F(WindowTest, EveryControlKeepsItsPlaceAndNoCaptionIsClipped) {
  ExpectLaidOut(main_, kMasterPlaces, std::size(kMasterPlaces));
}

TEST_F(WindowTest, ColoursAreWhereTheyBelong) {
  Activate(main_);
  Sleep(300);
  struct Sample {
    const char* where;
    int x, y;
    COLORREF colour;
  } const samples[] = {
      {"menu list", 24 + 130, 48 + 225, RGB(255, 192, 192)},
      {"mode strip", 216 + 4, 472 + 4, RGB(192, 192, 255)},
      {"Label1", 224 + 3, 504 + 3, RGB(0, 0, 255)},
      {"Label5", 368 + 3, 504 + 3, RGB(128, 128, 255)},
  };
  for (const Sample& sample : samples) {
    const COLORREF seen = ClientPixel(main_, S(sample.x), S(sample.y));
    EXPECT_EQ(seen, sample.colour) << sample.where << ": RGB(" << int(GetRValue(seen)) << ", "
                                   << int(GetGValue(seen)) << ", " << int(GetBValue(seen)) << ")";
  }
}

TEST_F(WindowTest, EscOnTheMenuListDoesNothingButOnTheWindowItselfItEnds) {
  SelectListItem(Item(ids::kList7), 1);
  PressKey(VK_ESCAPE);
  Sleep(500);
  EXPECT_TRUE(marlo_->Running());
  EXPECT_EQ(ListBoxSelection(Item(ids::kList7)), 1);

  FocusWindowItself(main_);
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(marlo_->WaitForExit());
}

TEST_F(WindowTest, ExitEndsTheProgram) {
  ClickControl(Item(ids::kCommand5));
  EXPECT_TRUE(marlo_->WaitForExit());
}

TEST_F(WindowTest, ClosingThroughTheFrameEndsTheProgram) {
  ASSERT_TRUE(ClickFrameButton(main_, HTCLOSE));
  EXPECT_TRUE(marlo_->WaitForExit());
}

TEST_F(WindowTest, TheOptionsWindowScalesTheSameWay) {
  ClickControl(Item(ids::kCommand3));
  HWND options = marlo_->WaitForWindow(options_ids::kWindowClass);
  ASSERT_NE(options, nullptr);
  RECT client;
  GetClientRect(options, &client);
  EXPECT_NEAR(client.right, S(593), 1);
  EXPECT_NEAR(client.bottom, S(497), 1);
  ExpectLaidOut(options, kOptionsPlaces, std::size(kOptionsPlaces));
  HWND lv = GetDlgItem(options, options_ids::kLV);
  EXPECT_NEAR(SendMessageA(lv, LVM_GETCOLUMNWIDTH, 0, 0), S(107), 1);
  EXPECT_NEAR(SendMessageA(lv, LVM_GETCOLUMNWIDTH, 1, 0), S(400), 1);
  EXPECT_NEAR(SendMessageA(lv, LVM_GETCOLUMNWIDTH, 2, 0), S(150), 1);
}

// Read from the exe as Windows reads them: the icon, the manifest that asks for the common
// controls of version 6 and declares the program aware of the screen's density, and the version.
TEST(ShippedExeTest, CarriesItsIconManifestAndVersion) {
  const std::string exe = BinFolder() + "\\Marlo.exe";
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr);
  EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14)),
            nullptr)  // RT_GROUP_ICON
      << "no icon";
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_NE(found, nullptr) << "no manifest";
  const std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                             SizeofResource(module, found));
  FreeLibrary(module);
  for (const char* part :
       {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
        "<dpiAware "
        "xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>",
        "<dpiAwareness "
        "xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2",
        "<assemblyIdentity type=\"win32\" name=\"MarloInfosystems.Marlo\""}) {
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
  }

  DWORD ignored = 0;
  std::string version(GetFileVersionInfoSizeA(exe.c_str(), &ignored), '\0');
  ASSERT_FALSE(version.empty()) << "no version resource";
  ASSERT_TRUE(
      GetFileVersionInfoA(exe.c_str(), 0, static_cast<DWORD>(version.size()), version.data()));
  for (const auto& [key, expected] : {std::pair<const char*, const char*>{"ProductName", "Marlo"},
                                      {"ProductVersion", "1.2.0.0"},
                                      {"CompanyName", "Marlo Infosystems"}}) {
    char* value = nullptr;
    UINT length = 0;
    const std::string query = std::string("\\StringFileInfo\\040904B0\\") + key;
    ASSERT_TRUE(
        VerQueryValueA(version.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
        << key;
    EXPECT_STREQ(value, expected) << key;
  }
}

}  // namespace
