// Screen capture from the X server named by DISPLAY. libX11 is loaded at run
// time: the program has no link-time X dependency, and a machine without X
// libraries or without a display simply has no screen to read.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>

#include <cstdlib>
#include <cstring>

#include "platform/screen.h"

namespace orv::screen {

namespace {

// The few Xlib functions capture needs.
struct XApi {
  Display* (*openDisplay)(const char*) = nullptr;
  int (*closeDisplay)(Display*) = nullptr;
  int (*defaultScreen)(Display*) = nullptr;
  Window (*rootWindow)(Display*, int) = nullptr;
  int (*displayWidth)(Display*, int) = nullptr;
  int (*displayHeight)(Display*, int) = nullptr;
  XImage* (*getImage)(Display*, Drawable, int, int, unsigned, unsigned, unsigned long, int) = nullptr;
  XErrorHandler (*setErrorHandler)(XErrorHandler) = nullptr;
  int (*sync)(Display*, Bool) = nullptr;
};

void fail(sys::OsError& error, const char* call, const std::string& message) {
  error = {};
  error.call = call;
  error.message = message;
}

template <typename F>
bool bind(void* lib, const char* name, F& slot) {
  slot = reinterpret_cast<F>(dlsym(lib, name));
  return slot != nullptr;
}

// Loaded once and kept: the library stays mapped for the rest of the run.
const XApi* loadXApi(sys::OsError& error) {
  static XApi api;
  static bool loaded = false;
  if (loaded) return &api;
  void* lib = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
  if (!lib) {
    const char* text = dlerror();
    fail(error, "dlopen", text ? text : "libX11.so.6");
    return nullptr;
  }
  bool ok = bind(lib, "XOpenDisplay", api.openDisplay) && bind(lib, "XCloseDisplay", api.closeDisplay) &&
            bind(lib, "XDefaultScreen", api.defaultScreen) && bind(lib, "XRootWindow", api.rootWindow) &&
            bind(lib, "XDisplayWidth", api.displayWidth) && bind(lib, "XDisplayHeight", api.displayHeight) &&
            bind(lib, "XGetImage", api.getImage) && bind(lib, "XSetErrorHandler", api.setErrorHandler) &&
            bind(lib, "XSync", api.sync);
  if (!ok) {
    fail(error, "dlsym", "libX11.so.6 lacks a function");
    dlclose(lib);
    return nullptr;
  }
  loaded = true;
  return &api;
}

// Xlib's default handler ends the process on a protocol error: record it instead.
int lastXError = 0;
int recordXError(Display*, XErrorEvent* event) {
  lastXError = event->error_code;
  return 0;
}

// The position of a mask's lowest bit and the largest value it holds.
void maskShape(unsigned long mask, int& shift, unsigned long& top) {
  shift = 0;
  while (shift < 64 && !((mask >> shift) & 1)) ++shift;
  top = shift < 64 ? mask >> shift : 0;
}

uint8_t channel(unsigned long pixel, unsigned long mask, int shift, unsigned long top) {
  return static_cast<uint8_t>(top ? ((pixel & mask) >> shift) * 255 / top : 0);
}

// Copies a true-colour image into the picture at dstX, dstY.
bool placeImage(XImage* image, const CapturePlan& plan, Picture& out) {
  if (!image->red_mask || !image->green_mask || !image->blue_mask) return false;
  int rs, gs, bs;
  unsigned long rt, gt, bt;
  maskShape(image->red_mask, rs, rt);
  maskShape(image->green_mask, gs, gt);
  maskShape(image->blue_mask, bs, bt);
  for (int y = 0; y < plan.copyHeight; ++y) {
    uint8_t* dst = out.bgra.data() + ((static_cast<size_t>(plan.dstY) + y) * plan.width + plan.dstX) * 4;
    for (int x = 0; x < plan.copyWidth; ++x, dst += 4) {
      unsigned long pixel = XGetPixel(image, x, y);
      dst[0] = channel(pixel, image->blue_mask, bs, bt);
      dst[1] = channel(pixel, image->green_mask, gs, gt);
      dst[2] = channel(pixel, image->red_mask, rs, rt);
    }
  }
  return true;
}

Outcome grab(const XApi& x, Display* display, const CapturePlan& plan, Picture& out, sys::OsError& error) {
  Window root = x.rootWindow(display, x.defaultScreen(display));
  lastXError = 0;
  XErrorHandler previous = x.setErrorHandler(recordXError);
  XImage* image = x.getImage(display, root, plan.srcX, plan.srcY, static_cast<unsigned>(plan.copyWidth),
                             static_cast<unsigned>(plan.copyHeight), AllPlanes, ZPixmap);
  x.sync(display, False);
  x.setErrorHandler(previous);
  if (!image) {
    fail(error, "XGetImage", "X error " + std::to_string(lastXError));
    return Outcome::Failed;
  }
  out.width = plan.width;
  out.height = plan.height;
  out.bgra.assign(static_cast<size_t>(plan.width) * plan.height * 4, 0);
  bool placed = placeImage(image, plan, out);
  XDestroyImage(image);
  if (!placed) {
    out = {};
    fail(error, "XGetImage", "the display is not a true-colour visual");
    return Outcome::Failed;
  }
  for (size_t i = 3; i < out.bgra.size(); i += 4) out.bgra[i] = 255;
  return Outcome::Captured;
}

// Opens the display, then captures rect (the whole screen when rect is null).
Outcome capture(const Rect* rect, Picture& out, sys::OsError& error) {
  out = {};
  if (rect && !plausibleRect(*rect)) return Outcome::BadRectangle;
  const XApi* x = loadXApi(error);
  if (!x) return Outcome::Failed;
  Display* display = x->openDisplay(nullptr);
  if (!display) {
    const char* name = std::getenv("DISPLAY");
    fail(error, "XOpenDisplay",
         name && *name ? std::string("cannot open display ") + name : "DISPLAY is not set");
    return Outcome::Failed;
  }
  int screen = x->defaultScreen(display);
  int width = x->displayWidth(display, screen), height = x->displayHeight(display, screen);
  Rect whole{0, 0, width, height};
  CapturePlan plan;
  Outcome outcome = Outcome::BadRectangle;
  if (planCapture(width, height, rect ? *rect : whole, plan)) outcome = grab(*x, display, plan, out, error);
  x->closeDisplay(display);
  return outcome;
}

}  // namespace

Outcome captureScreen(Picture& out, sys::OsError& error) { return capture(nullptr, out, error); }

Outcome captureRect(const Rect& rect, Picture& out, sys::OsError& error) {
  return capture(&rect, out, error);
}

}  // namespace orv::screen
