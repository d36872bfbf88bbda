// FEN_GENERALE and its controls: creation from one table, fonts, the control
// registry, colours and the client height.
#include <windows.h>

#include <commctrl.h>

#include <iterator>

#include "ui/win32/window_ids.h"
#include "ui/win32/window_state_win32.h"

namespace orv::ui {

LRESULT CALLBACK progressWindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp);

namespace {

constexpr wchar_t kWindowClass[] = L"OrvantisProgressWindow";
constexpr wchar_t kContainerClass[] = L"OrvantisContainer";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN;

enum Font { kNoFont, kActionFont, kTitleFont, kListFont, kRootFont, kProgressFont, kCommandFont };

struct FontDef {
  const wchar_t* face;
  int points;
  int weight;
  bool italic;
};
const FontDef kFonts[] = {{nullptr, 0, 0, false},
                          {L"Segoe UI", 14, FW_BOLD, false},
                          {L"Segoe UI Light", 10, FW_NORMAL, true},
                          {L"Segoe UI", 8, FW_NORMAL, false},
                          {L"Segoe UI Semibold", 12, FW_NORMAL, false},
                          {L"Segoe UI Symbol", 8, FW_NORMAL, false},
                          {L"Segoe UI Light", 9, FW_NORMAL, false}};

struct ControlDef {
  int id;
  const wchar_t* cls;
  int parent;  // 0: the window, otherwise the container's identifier
  int x, y, w, h;
  DWORD style, exStyle;
  const wchar_t* text;
  Font font;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kText = kChild | SS_NOPREFIX;
const ControlDef kControls[] = {
    {ids::kLogo, L"STATIC", 0, 0, 0, 15, 15, kText | SS_BITMAP, 0, nullptr, kNoFont},
    {ids::kContent, kContainerClass, 0, 0, 0, 700, 341, kChild | WS_CLIPCHILDREN, 0, nullptr, kNoFont},
    {ids::kActionDescription, L"STATIC", ids::kContent, 90, 15, 515, 25, kText | SS_CENTER, 0, L"-", kActionFont},
    {ids::kActionTitle, L"STATIC", ids::kContent, 75, 45, 560, 20, kText | SS_CENTER | SS_CENTERIMAGE, 0, L"-",
     kTitleFont},
    {ids::kList, WC_LISTVIEWW, ids::kContent, 5, 116, 695, 225,
     kChild | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER | LVS_OWNERDATA,
     WS_EX_CLIENTEDGE, nullptr, kListFont},
    {ids::kDetails, L"BUTTON", ids::kContent, 660, 45, 30, 30, kChild | BS_AUTOCHECKBOX | BS_PUSHLIKE | BS_ICON, 0,
     nullptr, kNoFont},
    {ids::kRootDescription, L"STATIC", ids::kContent, 30, 80, 650, 30, kText | SS_CENTER, 0, L"-", kRootFont},
    {ids::kProgressGroup, kContainerClass, 0, 235, 343, 235, 40, kChild | WS_CLIPCHILDREN, 0, nullptr, kNoFont},
    {ids::kProgressBar, PROGRESS_CLASSW, ids::kProgressGroup, 4, 21, 220, 15, kChild | PBS_SMOOTH, 0, nullptr,
     kNoFont},
    {ids::kProgressText, L"STATIC", ids::kProgressGroup, 5, 5, 220, 15, kText | SS_LEFT, 0,
     L"Nom de la directive :", kProgressFont},
    {ids::kStateGroup, kContainerClass, 0, 5, 346, 95, 40, kChild | WS_CLIPCHILDREN, 0, nullptr, kNoFont},
    {ids::kDateVersion, L"STATIC", ids::kStateGroup, 50, 10, 24, 24, kText | SS_ICON | SS_REALSIZECONTROL, 0,
     nullptr, kNoFont},
    {ids::kVersion, L"STATIC", ids::kStateGroup, 18, 12, 20, 20, kText | SS_ICON | SS_REALSIZECONTROL, 0, nullptr,
     kNoFont},
    {ids::kCommandGroup, kContainerClass, 0, 505, 345, 195, 40, kChild | WS_CLIPCHILDREN, 0, nullptr, kNoFont},
    {ids::kCommandPicture, L"STATIC", ids::kCommandGroup, 32, 11, 16, 16, kText | SS_ICON | SS_REALSIZECONTROL, 0,
     nullptr, kNoFont},
    {ids::kCommand, L"EDIT", ids::kCommandGroup, 49, 9, 145, 20,
     kChild | WS_TABSTOP | ES_CENTER | ES_PASSWORD | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, L"Commande", kCommandFont},
};

// The containers pass their children's notifications and colour questions to the window.
LRESULT CALLBACK containerProc(HWND box, UINT message, WPARAM wp, LPARAM lp) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
      return SendMessageW(GetAncestor(box, GA_ROOT), message, wp, lp);
    case WM_ERASEBKGND:
      if (paintBackground(windowState(), box, reinterpret_cast<HDC>(wp))) return 1;
      break;
  }
  return DefWindowProcW(box, message, wp, lp);
}

HFONT makeFont(const FontDef& def) {
  HDC screen = GetDC(nullptr);
  int height = -MulDiv(def.points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  return CreateFontW(height, 0, 0, 0, def.weight, def.italic, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE, def.face);
}

HWND createWindow(WindowState& state) {
  RECT r{0, 0, state.layout.width, state.layout.fullHeight};
  AdjustWindowRectEx(&r, kWindowStyle, FALSE, 0);
  int w = r.right - r.left, h = r.bottom - r.top;
  int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  DWORD exStyle = state.settings.foregroundwindow ? WS_EX_TOPMOST : 0;
  return CreateWindowExW(exStyle, kWindowClass, L"-", kWindowStyle, x, y, w, h, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

HWND createControl(WindowState& state, const ControlDef& def, HFONT* fonts) {
  HWND parent = def.parent == 0 ? state.window : GetDlgItem(state.window, def.parent);
  HWND control = CreateWindowExW(def.exStyle, def.cls, def.text, def.style, def.x, def.y, def.w, def.h, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(def.id)), GetModuleHandleW(nullptr),
                                 nullptr);
  if (control && def.font != kNoFont) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts[def.font]), 0);
  return control;
}

void setUpList(HWND list) {
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  const wchar_t* titles[] = {L"", L"horomarquage", L"description_action"};
  const int widths[] = {20, 55, 100};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(titles[i]);
    column.cx = widths[i];
    column.iSubItem = i;
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 2, LVSCW_AUTOSIZE_USEHEADER);
}

void attachTooltip(WindowState& state) {
  HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, state.window, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  if (!tip) return;
  TOOLINFOW info{};
  info.cbSize = sizeof info;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = state.window;
  info.uId = reinterpret_cast<UINT_PTR>(state.control("BT_DETAILS_ACTIONS"));
  info.lpszText = const_cast<wchar_t*>(L"Détail de l'execution du fichier de directive");
  SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 180);
}

COLORREF gdiColour(uint32_t colour) { return colour & 0x00FFFFFF; }

bool isOneOf(int id, std::initializer_list<int> ids) {
  for (int i : ids)
    if (i == id) return true;
  return false;
}

}  // namespace

intptr_t WindowState::lookup(const std::string& name, int kind) const {
  auto it = registry.find({kind, name});
  return it == registry.end() ? 0 : it->second;
}

bool registerWindowClasses() {
  INITCOMMONCONTROLSEX common{sizeof common, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
  InitCommonControlsEx(&common);
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  cls.lpfnWndProc = progressWindowProc;
  cls.lpszClassName = kWindowClass;
  if (!RegisterClassExW(&cls) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  cls.lpfnWndProc = containerProc;
  cls.lpszClassName = kContainerClass;
  return RegisterClassExW(&cls) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool createWindowAndControls(WindowState& state) {
  state.window = createWindow(state);
  if (!state.window) return false;
  HFONT fonts[std::size(kFonts)] = {};
  for (size_t i = 1; i < std::size(kFonts); ++i) fonts[i] = makeFont(kFonts[i]);
  for (const ControlDef& def : kControls) {
    HWND control = createControl(state, def, fonts);
    std::string name = ids::controlName(def.id);
    if (!name.empty()) state.registry[{0, name}] = reinterpret_cast<intptr_t>(control);
  }
  state.registry[{1, "TAILLE_REDUIRE_FENETRE_MINI"}] = 115;
  setUpList(state.control("LISTE_ACTIONS"));
  SendMessageW(state.control("PROGRESS_BAR_GRP_PROGRESS_BAR"), PBM_SETRANGE32, 0, 100);
  attachTooltip(state);
  return true;
}

void applyColours(WindowState& state) {
  const WindowSettings& s = state.settings;
  WindowColours& c = state.colours;
  if (!s.backgroundcolor.empty()) c.background = parseColour(s.backgroundcolor);
  if (!s.textbackgroundlistaction.empty()) c.listBackground = parseColour(s.textbackgroundlistaction);
  if (!s.textcolorlistaction.empty()) c.listText = parseColour(s.textcolorlistaction);
  if (!s.textcolor.empty()) c.text = parseColour(s.textcolor);
  if (c.background != kStandardColour) c.backgroundBrush = CreateSolidBrush(gdiColour(c.background));
  if (c.listBackground != kStandardColour) c.listBrush = CreateSolidBrush(gdiColour(c.listBackground));
  HWND list = state.control("LISTE_ACTIONS");
  if (c.listBackground != kStandardColour) {
    SendMessageW(list, LVM_SETBKCOLOR, 0, gdiColour(c.listBackground));
    SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, gdiColour(c.listBackground));
  }
  if (c.listText != kStandardColour) SendMessageW(list, LVM_SETTEXTCOLOR, 0, gdiColour(c.listText));
  RedrawWindow(state.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

HBRUSH controlColour(const WindowState& state, HWND control, HDC dc, bool edit) {
  const WindowColours& c = state.colours;
  int id = GetDlgCtrlID(control);
  if (edit) {
    if (c.listText != kStandardColour) SetTextColor(dc, gdiColour(c.listText));
    if (!c.listBrush) return c.listText != kStandardColour ? GetSysColorBrush(COLOR_WINDOW) : nullptr;
    SetBkColor(dc, gdiColour(c.listBackground));
    return c.listBrush;
  }
  bool text = c.text != kStandardColour &&
              isOneOf(id, {ids::kLogo, ids::kActionTitle, ids::kActionDescription, ids::kRootDescription});
  bool back = c.backgroundBrush && isOneOf(id, {ids::kLogo, ids::kVersion, ids::kDateVersion, ids::kActionTitle,
                                                ids::kActionDescription, ids::kRootDescription, ids::kProgressText});
  if (text) SetTextColor(dc, gdiColour(c.text));
  if (back) {
    SetBkColor(dc, gdiColour(c.background));
    return c.backgroundBrush;
  }
  if (!text) return nullptr;
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}

bool paintBackground(const WindowState& state, HWND window, HDC dc) {
  if (!state.colours.backgroundBrush) return false;
  RECT r;
  GetClientRect(window, &r);
  FillRect(dc, &r, state.colours.backgroundBrush);
  return true;
}

void setClientHeight(HWND window, int height) {
  RECT client;
  GetClientRect(window, &client);
  RECT r{0, 0, client.right, height};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
  SetWindowPos(window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace orv::ui
