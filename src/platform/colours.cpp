#include "platform/colours.h"

namespace marlo {
namespace {

constexpr Colour kWhite = Rgb(255, 255, 255);
constexpr Colour kLightBlue = Rgb(128, 128, 255);

// The system's pairs in place of the program's own: strips that head a window or a row of it in
// the highlight pair, lists and the picture panel as lists, all else as the window's ground. A row
// whose program is missing keeps a colour of its own: the system's one for what is not available.
Colours HighContrastColours(Part part, const SystemColours& system) {
  switch (part) {
    case Part::kMenu:
    case Part::kPanel:
      return system.window;
    case Part::kModeCaption:
    case Part::kBanner:
    case Part::kTitle:
      return system.highlight;
    case Part::kMissingProgram:
    case Part::kIconPlaceholder:
      return {system.gray_text, system.window.ground};
    case Part::kMenuChosen:
      return system.highlight;
    default:
      return system.face;
  }
}

}  // namespace

Colours ColoursOf(Part part, bool high_contrast, const SystemColours& system) {
  if (high_contrast) return HighContrastColours(part, system);
  switch (part) {
    case Part::kWindow:
      return system.face;
    case Part::kMenu:
      return {Rgb(0, 0, 255), Rgb(255, 192, 192)};
    case Part::kModeCaption:
      return {kWhite, Rgb(0, 0, 255)};
    case Part::kMode:
      return {Rgb(255, 255, 128), kLightBlue};
    case Part::kModeStrip:
      return {Rgb(255, 255, 128), Rgb(192, 192, 255)};
    case Part::kBanner:
      return {kWhite, Rgb(0, 0, 128)};
    case Part::kPanel:
      return {kLightBlue, Rgb(236, 236, 255)};
    case Part::kTitle:
      return {kWhite, Rgb(0, 0, 0)};
    case Part::kFieldCaption:
      return {kWhite, kLightBlue};
    case Part::kMissingProgram:
      return {Rgb(192, 0, 0), system.window.ground};
    // Chosen as a list box of the system's shows it.
    case Part::kMenuChosen:
      return system.highlight;
    case Part::kIconPlaceholder:
      return {Rgb(176, 128, 160), Rgb(255, 192, 192)};
  }
  return system.face;
}

}  // namespace marlo
