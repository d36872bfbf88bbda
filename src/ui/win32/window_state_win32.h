// The progress window's state on its own thread, and the start-up steps the
// thread runs (controls, pictures, colours, layout).
#pragma once
#include <windows.h>

#include <deque>
#include <map>
#include <string>

#include "ui/window_settings.h"

namespace orv::ui {

// Window messages of our own.
inline constexpr UINT kDrainMessage = WM_APP + 1;  // apply the queued list updates
inline constexpr UINT kQuitMessage = WM_APP + 2;   // end the window thread
inline constexpr UINT_PTR kDrainTimer = 1;         // the next batch of list updates is due

// One line of the action list. The list view keeps no lines of its own (owner
// data): the window thread holds them and answers the list's questions.
struct ListRow {
  int image;  // state icon index, or I_IMAGENONE
  std::wstring time, text;
};

// Colours applied to the controls; kStandardColour where none is set.
struct WindowColours {
  uint32_t background = kStandardColour, text = kStandardColour;
  uint32_t listBackground = kStandardColour, listText = kStandardColour;
  HBRUSH backgroundBrush = nullptr, listBrush = nullptr;
};

struct WindowState {
  WindowSettings settings;  // the copy the thread started with
  HWND window = nullptr;
  // Control registry: kind 0 (controls, pictures) or 1 (size constants), then
  // name, to a handle or value; 0 when never registered.
  std::map<std::pair<int, std::string>, intptr_t> registry;
  WindowLayout layout;
  WindowColours colours;
  HIMAGELIST stateImages = nullptr;
  HACCEL returnKey = nullptr;
  std::deque<ListRow> rows;  // lines of LISTE_ACTIONS, the top line first

  intptr_t lookup(const std::string& name, int kind = 0) const;
  HWND control(const std::string& name) const { return reinterpret_cast<HWND>(lookup(name)); }
};

// Registers the window classes (once per process).
bool registerWindowClasses();
// Creates FEN_GENERALE (hidden, centred, caption "-") and every control; registers their names.
bool createWindowAndControls(WindowState& state);
// Applies the non-empty colour strings of the settings, in their order.
void applyColours(WindowState& state);
// Sets the client area's height, keeping the width and position.
void setClientHeight(HWND window, int height);
// Answers the colour messages of the controls (WM_CTLCOLOR*); null when standard.
HBRUSH controlColour(const WindowState& state, HWND control, HDC dc, bool edit);
// Paints a window's background with the window colour; false when standard.
bool paintBackground(const WindowState& state, HWND window, HDC dc);

// Loads the six state icons into the registry and the list's image list.
void loadStateIcons(WindowState& state);
// Puts the small pictures on the details button and the picture controls.
void loadSmallPictures(WindowState& state);
// Uses the icon setting as the window's small icon when it loads.
void applyWindowIcon(WindowState& state);
// Lays out the logo: destroyed when none is set, placed and shown when it loads.
void applyLogo(WindowState& state);

// The window state of the thread (one window per process).
WindowState& windowState();

}  // namespace orv::ui
