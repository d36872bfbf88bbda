// Pictures handed to GDI and user32 (Windows only): bitmaps for picture
// controls, icons for windows and the notification area.
#pragma once
#include <windows.h>

#include "platform/picture.h"

namespace orv {

// A 32-bit top-down DIB section holding the picture's pixels (blue, green,
// red, straight alpha); nullptr when the picture is empty or GDI fails. The
// caller owns it (DeleteObject).
HBITMAP bitmapFromPicture(const Picture& picture);

// An icon of the picture's size with its alpha channel (CreateIconIndirect on
// a colour DIB and a mask); nullptr on failure. The caller owns it (DestroyIcon).
HICON iconFromPicture(const Picture& picture);

}  // namespace orv
