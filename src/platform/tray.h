// Icons in the notification area of the taskbar, owned by one hidden window
// of the calling thread (the interpreter thread) that lives for the whole run.
#pragma once
#include <cstdint>
#include <string>

#include "platform/picture.h"

namespace orv::tray {

// The system's standard icons a tray icon may show.
enum class StockIcon { Application, Asterisk, Error, Warning, Information, Question, Shield };

// What a tray icon shows: a standard icon, a decoded picture, or nothing.
struct IconSource {
  enum class Kind { Stock, Picture, None } kind = Kind::None;
  StockIcon stock = StockIcon::Application;
  Picture picture;
};

// Balloon icons (the values of the system's NIIF_ flags).
enum BalloonIcon : int { kBalloonNone = 0, kBalloonInfo = 1, kBalloonWarning = 2, kBalloonError = 3 };

// Creates the owner window on first use; true when it exists. False (with the
// failing call recorded) when there is no interactive desktop, or no
// notification area on this platform.
bool ensureOwner();
// Adds an icon for the owner window; its identifier (above 0), or 0 on failure.
int64_t addIcon(const IconSource& icon);
// Sets the tooltip of an icon (the system keeps its first 127 characters).
bool setTooltip(int64_t id, const std::string& text);
// Removes an icon; true on success.
bool removeIcon(int64_t id);
// Shows a balloon on an icon: the title keeps its first 63 characters, the
// text its first 255; displayed for 10 seconds. True when the system took it.
bool showBalloon(int64_t id, const std::string& title, const std::string& text, int balloonIcon);

}  // namespace orv::tray
