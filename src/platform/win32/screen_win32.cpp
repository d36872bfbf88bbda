// Screen capture through GDI: the screen's device context copied into a
// 32-bit top-down DIB section, whose zero-filled memory leaves the part of a
// rectangle off the screen black.
#include <windows.h>

#include <cstring>

#include "platform/screen.h"

namespace orv::screen {

namespace {

void fail(sys::OsError& error, const char* call, int64_t code, const char* message = nullptr) {
  error = {};
  error.call = call;
  error.code = code;
  error.message = message ? message : sys::systemMessage(code);
}

// A service or a scheduled task without a desktop runs in a window station
// that shows nothing: there is no screen to copy.
bool hasVisibleDesktop(sys::OsError& error) {
  USEROBJECTFLAGS flags{};
  HWINSTA station = GetProcessWindowStation();
  if (station && GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr) &&
      !(flags.dwFlags & WSF_VISIBLE)) {
    fail(error, "GetUserObjectInformationW", 0, "the window station has no visible desktop");
    return false;
  }
  return true;
}

// Copies plan's part of the screen into a DIB section and out.
bool copyScreen(HDC screenDc, const CapturePlan& plan, Picture& out, sys::OsError& error) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = plan.width;
  info.bmiHeader.biHeight = -plan.height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screenDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) {
    fail(error, "CreateDIBSection", GetLastError());
    return false;
  }
  HDC memoryDc = CreateCompatibleDC(screenDc);
  bool ok = memoryDc != nullptr;
  if (!ok) fail(error, "CreateCompatibleDC", GetLastError());
  if (ok) {
    HGDIOBJ previous = SelectObject(memoryDc, bitmap);
    ok = BitBlt(memoryDc, plan.dstX, plan.dstY, plan.copyWidth, plan.copyHeight, screenDc, plan.srcX,
                plan.srcY, SRCCOPY | CAPTUREBLT);
    if (!ok) fail(error, "BitBlt", GetLastError());
    GdiFlush();
    SelectObject(memoryDc, previous);
    DeleteDC(memoryDc);
  }
  if (ok) {
    out.width = plan.width;
    out.height = plan.height;
    out.bgra.resize(static_cast<size_t>(plan.width) * plan.height * 4);
    std::memcpy(out.bgra.data(), bits, out.bgra.size());
    for (size_t i = 3; i < out.bgra.size(); i += 4) out.bgra[i] = 255;
  }
  DeleteObject(bitmap);
  return ok;
}

// Captures rect (the whole primary screen when rect is null).
Outcome capture(const Rect* rect, Picture& out, sys::OsError& error) {
  out = {};
  if (rect && !plausibleRect(*rect)) return Outcome::BadRectangle;
  if (!hasVisibleDesktop(error)) return Outcome::Failed;
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  if (width <= 0 || height <= 0) {
    fail(error, "GetSystemMetrics", 0, "no primary screen");
    return Outcome::Failed;
  }
  Rect whole{0, 0, width, height};
  CapturePlan plan;
  if (!planCapture(width, height, rect ? *rect : whole, plan)) return Outcome::BadRectangle;
  HDC screenDc = GetDC(nullptr);
  if (!screenDc) {
    fail(error, "GetDC", GetLastError());
    return Outcome::Failed;
  }
  bool ok = copyScreen(screenDc, plan, out, error);
  ReleaseDC(nullptr, screenDc);
  if (!ok) out = {};
  return ok ? Outcome::Captured : Outcome::Failed;
}

}  // namespace

Outcome captureScreen(Picture& out, sys::OsError& error) { return capture(nullptr, out, error); }

Outcome captureRect(const Rect& rect, Picture& out, sys::OsError& error) {
  return capture(&rect, out, error);
}

}  // namespace orv::screen
