// Capturing the primary screen, whole or a rectangle of it, into a Picture:
// GDI on Windows, the X server named by DISPLAY elsewhere (libX11 loaded at
// run time, so a machine without X libraries simply has no screen to read).
#pragma once
#include <cstdint>

#include "platform/os_error.h"
#include "platform/picture.h"

namespace orv::screen {

// A rectangle of the screen in pixels, as the directive file gives it.
struct Rect {
  int64_t left = 0;
  int64_t top = 0;
  int64_t width = 0;
  int64_t height = 0;
};

// Largest side and pixel count of a capture (what the picture encoders accept).
constexpr int64_t kMaxCaptureSide = 65500;
constexpr int64_t kMaxCapturePixels = 64LL * 1024 * 1024;

// What a capture of rect copies: a picture of the requested size, into which
// the part of the rectangle that lies on the screen lands at dstX, dstY.
struct CapturePlan {
  int width = 0, height = 0;  // the picture
  int srcX = 0, srcY = 0;     // top-left of the copied part on the screen
  int dstX = 0, dstY = 0;     // where it lands in the picture
  int copyWidth = 0, copyHeight = 0;
};

// False when rect can lie on no screen at all: empty, larger than the limits
// above, or ending left of or above the screen's origin.
bool plausibleRect(const Rect& rect);
// Plans the capture of rect on a screen of screenWidth x screenHeight. False
// when rect is empty, larger than the limits above or entirely off the screen.
bool planCapture(int screenWidth, int screenHeight, const Rect& rect, CapturePlan& plan);

enum class Outcome {
  Captured,      // out holds the picture
  BadRectangle,  // empty, too large or entirely off the screen: nothing copied
  Failed,        // no screen could be read: error names the call
};

// Captures the whole primary screen into out (opaque pixels).
Outcome captureScreen(Picture& out, sys::OsError& error);
// Captures rect of the primary screen at its requested size; the part off the
// screen is black.
Outcome captureRect(const Rect& rect, Picture& out, sys::OsError& error);

}  // namespace orv::screen
