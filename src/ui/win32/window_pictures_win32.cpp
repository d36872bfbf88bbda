// The window's pictures: the state icons and small pictures stored as PNG
// resources in the program, the logo and the window icon read from files.
#include <windows.h>

#include <commctrl.h>

#include "platform/image_read.h"
#include "platform/win32/gdi_picture.h"
#include "platform/win32/wide.h"
#include "ui/win32/window_ids.h"
#include "ui/win32/window_state_win32.h"

namespace orv::ui {

namespace {

bool resourcePicture(int id, Picture& out) {
  HMODULE self = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
  HGLOBAL loaded = found ? LoadResource(self, found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return false;
  return readPng(static_cast<const uint8_t*>(data), SizeofResource(self, found), out);
}

HICON resourceIcon(int id) {
  Picture picture;
  return resourcePicture(id, picture) ? iconFromPicture(picture) : nullptr;
}

bool isFile(const std::string& path) {
  DWORD attributes = GetFileAttributesW(win::widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void moveControlY(HWND control, int y) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  SetWindowPos(control, nullptr, r.left, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void loadStateIcons(WindowState& state) {
  struct Entry {
    const char* name;
    int resource;
  };
  // In the order of the image list's indexes.
  const Entry entries[] = {{"ICO_ActionErreur", ids::kResError},     {"ICO_ActionTermine", ids::kResDone},
                           {"ICO_ActionDesactive", ids::kResDisabled}, {"ICO_ActionIgnore", ids::kResIgnored},
                           {"ICO_ActionEnCours", ids::kResRunning},    {"ICO_Evenement", ids::kResEvent}};
  state.stateImages = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 6, 0);
  for (const Entry& e : entries) {
    HICON icon = resourceIcon(e.resource);
    state.registry[{0, e.name}] = reinterpret_cast<intptr_t>(icon);
    // A picture that did not load keeps its place with the blank icon, so indexes hold.
    ImageList_ReplaceIcon(state.stateImages, -1, icon ? icon : LoadIconW(nullptr, IDI_APPLICATION));
  }
}

void loadSmallPictures(WindowState& state) {
  if (HICON list = resourceIcon(ids::kResList))
    SendMessageW(state.control("BT_DETAILS_ACTIONS"), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(list));
  struct Entry {
    int group, id, resource;
  };
  const Entry pictures[] = {{ids::kStateGroup, ids::kDateVersion, ids::kResClock},
                            {ids::kStateGroup, ids::kVersion, ids::kResNumbers},
                            {ids::kCommandGroup, ids::kCommandPicture, ids::kResPrompt}};
  for (const Entry& e : pictures) {
    HWND control = GetDlgItem(GetDlgItem(state.window, e.group), e.id);
    if (HICON icon = resourceIcon(e.resource))
      SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  }
}

void applyWindowIcon(WindowState& state) {
  if (state.settings.icon.empty()) return;
  Picture picture;
  if (!readPicture(state.settings.icon, picture)) return;
  if (HICON icon = iconFromPicture(picture))
    SendMessageW(state.window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void applyLogo(WindowState& state) {
  HWND logo = state.control("IMG_LOGO");
  const std::string& path = state.settings.logoimage;
  if (path.empty()) {
    DestroyWindow(logo);
    state.registry[{0, "IMG_LOGO"}] = 0;
    return;
  }
  Picture picture;
  if (!isFile(path) || !readPicture(path, picture)) return;
  HBITMAP bitmap = bitmapFromPicture(picture);
  if (!bitmap) return;
  state.layout = layoutFor(picture.width, picture.height);
  SendMessageW(logo, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  SetWindowPos(logo, nullptr, state.layout.logoX, 0, picture.width, picture.height, SWP_NOZORDER | SWP_NOACTIVATE);
  setClientHeight(state.window, state.layout.fullHeight);
  moveControlY(state.control("CONTENU_DEFAUT"), state.layout.containerY);
  for (const char* group : {"GRP_PROGRESS_BAR", "GRP_COMMANDE", "GRP_ETAT_DELENCHEMENT_ACTION"})
    moveControlY(state.control(group), state.layout.groupsY);
}

}  // namespace orv::ui
