#include "main_window/master_look_win.h"

#include <algorithm>

#include "platform/ui_win.h"

namespace marlo {
namespace {

const wchar_t* const kBanner = L"Marlo Infosystems";
constexpr COLORREF kMenuRed = RGB(255, 192, 192);
constexpr COLORREF kYellow = RGB(255, 255, 128);

// Drawing in 96-dpi places on a device context of some other dpi. With `only` set (high
// contrast), every shape is drawn in that pair instead: its lines in the text colour on the
// ground, so the pictures stay outlines in the user's scheme.
class Painter {
 public:
  Painter(HDC dc, int dpi, const Colours* only) : dc_(dc), dpi_(dpi), only_(only) {}
  int S(int pixels) const { return Scale(pixels, dpi_); }

  void Fill(int left, int top, int width, int height, COLORREF colour) {
    RECT rect{S(left), S(top), S(left + width), S(top + height)};
    FillRect(dc_, &rect, SolidBrush(only_ != nullptr ? only_->ground : colour));
  }
  // A shape with an outline of `line` (one 96-dpi pixel wide) and a fill of `fill`.
  void RoundBox(int left, int top, int width, int height, int corner, COLORREF fill,
                COLORREF line) {
    Pen pen(dc_, LineColour(line), S(1));
    Brush brush(dc_, FillColour(fill));
    RoundRect(dc_, S(left), S(top), S(left + width), S(top + height), S(corner), S(corner));
  }
  void Circle(int x, int y, int radius, COLORREF fill, COLORREF line) {
    Pen pen(dc_, LineColour(line), S(1));
    Brush brush(dc_, FillColour(fill));
    Ellipse(dc_, S(x - radius), S(y - radius), S(x + radius) + 1, S(y + radius) + 1);
  }
  void Line(const POINT* points, int count, COLORREF colour, int width) {
    Pen pen(dc_, LineColour(colour), S(width));
    POINT scaled[8];
    for (int i = 0; i < count && i < 8; ++i) scaled[i] = {S(points[i].x), S(points[i].y)};
    Polyline(dc_, scaled, std::min(count, 8));
  }

 private:
  // Selects a pen or brush for one shape and puts the old one back.
  struct Pen {
    Pen(HDC dc, COLORREF colour, int width)
        : dc(dc),
          pen(CreatePen(PS_SOLID, std::max(width, 1), colour)),
          old(SelectObject(dc, pen)) {}
    ~Pen() {
      SelectObject(dc, old);
      DeleteObject(pen);
    }
    HDC dc;
    HPEN pen;
    HGDIOBJ old;
  };
  struct Brush {
    Brush(HDC dc, COLORREF colour) : dc(dc), old(SelectObject(dc, SolidBrush(colour))) {}
    ~Brush() { SelectObject(dc, old); }
    HDC dc;
    HGDIOBJ old;
  };

  COLORREF LineColour(COLORREF own) const { return only_ != nullptr ? only_->text : own; }
  COLORREF FillColour(COLORREF own) const { return only_ != nullptr ? only_->ground : own; }

  HDC dc_;
  int dpi_;
  const Colours* only_;
};

// The first picture: the office's file server, a tower with its drive bays and a lamp.
void PaintServer(Painter& p, int left, int top) {
  p.RoundBox(left, top, 84, 140, 8, RGB(88, 96, 120), RGB(40, 44, 60));
  p.RoundBox(left + 8, top + 10, 68, 14, 4, RGB(150, 160, 190), RGB(40, 44, 60));
  for (int bay = 0; bay < 4; ++bay) {
    p.RoundBox(left + 8, top + 34 + bay * 18, 68, 12, 3, RGB(120, 128, 156), RGB(40, 44, 60));
    p.Circle(left + 66, top + 40 + bay * 18, 2, RGB(96, 224, 96), RGB(40, 120, 40));
  }
  p.Circle(left + 42, top + 122, 6, RGB(96, 224, 96), RGB(40, 120, 40));
}

// The second picture: a workstation whose screen shows the menu.
void PaintWorkstation(Painter& p, int left, int top) {
  p.RoundBox(left, top, 130, 92, 8, RGB(60, 64, 80), RGB(30, 32, 40));
  p.Fill(left + 8, top + 8, 114, 70, RGB(40, 40, 160));
  p.Fill(left + 14, top + 14, 50, 58, kMenuRed);
  for (int item = 0; item < 4; ++item)
    p.Fill(left + 18, top + 20 + item * 12, 42, 6, RGB(0, 0, 255));
  p.Fill(left + 70, top + 14, 46, 16, kYellow);
  p.Fill(left + 58, top + 92, 14, 14, RGB(60, 64, 80));
  p.RoundBox(left + 36, top + 104, 58, 10, 4, RGB(88, 96, 120), RGB(30, 32, 40));
}

// The top of the banner: 544 at 96 dpi, or higher where a frame leaves less room.
int BannerTop(const RECT& client, int dpi) {
  return std::min(Scale(544, dpi), static_cast<int>(client.bottom) - Scale(25, dpi));
}

}  // namespace

void PaintMasterLook(HDC dc, const RECT& client, int dpi) {
  const Colours panel = PaintColours(Part::kPanel);
  Painter p(dc, dpi, HighContrast() ? &panel : nullptr);

  // The right half: a panel with the server, the workstations it serves, and the wire between.
  p.RoundBox(312, 16, 345, 440, 18, panel.ground, panel.text);
  PaintServer(p, 348, 44);
  PaintWorkstation(p, 500, 92);
  const POINT wire[] = {{390, 184}, {390, 330}, {565, 330}, {565, 206}};
  p.Line(wire, 4, panel.text, 3);
  p.Circle(390, 330, 9, RGB(0, 0, 255), RGB(0, 0, 128));
  p.Circle(478, 330, 9, kMenuRed, RGB(128, 64, 64));
  p.Circle(565, 330, 9, kYellow, RGB(128, 128, 0));
  // Menu entries, as the menu list shows them.
  for (int row = 0; row < 3; ++row) {
    p.RoundBox(340, 362 + row * 28, 290 - row * 60, 18, 9, row == 0 ? kMenuRed : panel.ground,
               panel.text);
  }

  const Colours strip = PaintColours(Part::kModeStrip);
  RECT mode{p.S(216), p.S(472), p.S(216 + 449), p.S(472 + 65)};
  FillRect(dc, &mode, SolidBrush(strip.ground));

  const Colours banner_colours = PaintColours(Part::kBanner);
  const int banner_top = BannerTop(client, dpi);
  RECT banner{0, banner_top, client.right, banner_top + p.S(25)};
  FillRect(dc, &banner, SolidBrush(banner_colours.ground));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, banner_colours.text);
  HGDIOBJ old_font = SelectObject(dc, SansSerifBold(12, dpi));
  DrawTextW(dc, kBanner, -1, &banner, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, old_font);
}

}  // namespace marlo
