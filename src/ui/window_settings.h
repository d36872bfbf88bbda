// What the WINDOW directive stores for the progress window, and the portable
// rules the window applies to it: colour strings, position and logo layout.
#pragma once
#include <cstdint>
#include <string>

namespace orv::ui {

struct WindowSettings {
  std::string titlewindow;      // caption, at most 255 characters
  std::string description;      // kept, not shown
  std::string rootDescription;  // text of DESCRIPTION_RACINE_ACTION, at most 255 characters
  std::string displaylevel;     // lower case: which lines the list receives
  std::string logoimage;        // picture shown at the top, at most 512 characters
  std::string icon;             // picture used as the small icon, at most 512 characters
  std::string backgroundcolor, textcolor, textbackgroundlistaction, textcolorlistaction;
  std::string windowx, windowy;  // at most 5 characters each, or "centred"
  bool foregroundwindow = false;  // stays above other windows
  bool openlistaction = false;    // opens unfolded
};

// The colour value that gives a control back its standard colour.
inline constexpr uint32_t kStandardColour = 0xFF000000u;
// A colour string ("#RRGGBB", "$RRGGBBAA"...) as 0xAABBGGRR, each pair read
// by the number rule; any other length gives kStandardColour.
uint32_t parseColour(const std::string& text);

// One axis of the window's position: centred, or a fixed coordinate.
struct AxisPosition {
  bool centred = true;
  int value = 0;
};
// An empty value or "centred" centres; anything else is its leading number (0 when none).
AxisPosition parseAxis(const std::string& text);
// The coordinate on one axis once the window's size on it is known.
int placeOnAxis(const AxisPosition& axis, int screenSize, int windowSize);

// Sizes of the window's client area and where the logo moves things.
struct WindowLayout {
  int width = 705;
  int fullHeight = 385;
  int reducedHeight = 115;
  int logoX = 0, logoWidth = 15, logoHeight = 15;  // IMG_LOGO as created
  int containerY = 0;                               // CONTENU_DEFAUT
  int groupsY = -1;                                 // lower groups; -1: as created
};
// The layout without a logo (w = 0) or with a loaded logo of w x h pixels.
WindowLayout layoutFor(int logoWidth, int logoHeight);

// Whether a line of the given state is shown at a display level (first ten characters).
bool levelShows(const std::string& displaylevel, int state);

}  // namespace orv::ui
