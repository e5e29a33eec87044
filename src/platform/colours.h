// The colours the two windows paint with, chosen in one place: the program's own, or, where the
// system's high-contrast setting is on, the pairs of text and ground the user picked in the
// system's scheme. Plain values, so that the choice can be asked with the setting either way.
#pragma once

#include <cstdint>

namespace marlo {

// A colour as 0x00BBGGRR, the layout Windows keeps it in: red, green and blue, 0 to 255 each.
using Colour = std::uint32_t;

constexpr Colour Rgb(unsigned red, unsigned green, unsigned blue) {
  return red | green << 8 | blue << 16;
}

// A text colour with the ground it stands on.
struct Colours {
  Colour text;
  Colour ground;
  bool operator==(const Colours& other) const {
    return text == other.text && ground == other.ground;
  }
};

// The system's colours that come in pairs, as the system reports them now.
struct SystemColours {
  Colours window;     // lists and text boxes (COLOR_WINDOWTEXT on COLOR_WINDOW)
  Colours face;       // the windows' ground and their labels (COLOR_BTNTEXT on COLOR_BTNFACE)
  Colours highlight;  // COLOR_HIGHLIGHTTEXT on COLOR_HIGHLIGHT
  Colour gray_text;   // COLOR_GRAYTEXT: something not available
};

// The parts of the two windows that have colours of their own.
enum class Part {
  kWindow,           // the windows' ground and their plain labels
  kMenu,             // the main window's menu list
  kModeCaption,      // "Start as :"
  kMode,             // the start mode beside it
  kModeStrip,        // the strip under both
  kBanner,           // the main window's name strip at its foot
  kPanel,            // the main window's picture panel: its lines on its ground
  kTitle,            // the Options window's title strip
  kFieldCaption,     // the Options window's captions over its two fields
  kMissingProgram,   // a row whose program is not there, on the list's ground
  kMenuChosen,       // the menu's chosen entry
  kIconPlaceholder,  // the frame shown where a program's icon is still looked for
};

// The colours `part` is painted in.
Colours ColoursOf(Part part, bool high_contrast, const SystemColours& system);

}  // namespace marlo
