// The progress window on its own thread. The interpreter thread never waits
// on that thread for long: list lines and header texts go into a queue the
// window thread drains in batches, hide and show are posted, and ending the
// thread waits at most one second.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <mutex>
#include <utility>

#include "platform/win32/wide.h"
#include "ui/command_table.h"
#include "ui/progress_window.h"
#include "ui/win32/window_ids.h"
#include "ui/win32/window_state_win32.h"


namespace orv::ui {

namespace {

// One update of the list or the header texts.
struct ListUpdate {
  enum Kind { RemoveTop, InsertTop, Headers } kind;
  int state = 0;
  std::string first, second;  // time and text, or title and description
};

// How long updates gather before the window thread applies the next batch.
// A batch costs one repaint however many lines it brings; the pause after it
// is kPauseFactor times what the batch took, within these bounds, so that the
// window never takes more than a small share of a processor from the run.
constexpr UINT kShortestPauseMs = 50, kLongestPauseMs = 500, kPauseFactor = 5;

// Updates waiting for the window thread. Past kMaxPending (a window that no
// longer drains), new updates are dropped: the list is only a display.
// One wake-up is posted when updates start to arrive; the window thread then
// takes them in batches until it finds the queue empty (see takeOrRest).
class UpdateQueue {
 public:
  static constexpr size_t kMaxPending = 100000;
  void push(ListUpdate update, HWND window) {
    bool wake = false;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (closed_ || pending_.size() >= kMaxPending) return;
      pending_.push_back(std::move(update));
      wake = !awake_;
      awake_ = true;
    }
    if (wake) PostMessageW(window, kDrainMessage, 0, 0);
  }
  // The pending updates; when there are none, the next push posts a wake-up again.
  std::deque<ListUpdate> takeOrRest() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (pending_.empty()) awake_ = false;
    return std::exchange(pending_, {});
  }
  void close() {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    pending_.clear();
  }

 private:
  std::mutex mutex_;
  std::deque<ListUpdate> pending_;
  bool awake_ = false;  // a wake-up was posted and the window thread has not rested since
  bool closed_ = false;
};

// Process-wide and never destroyed: the window thread may still run while the process ends.
UpdateQueue& updates() {
  static UpdateQueue* queue = new UpdateQueue;
  return *queue;
}
std::atomic<HWND> gWindow{nullptr};  // the window identifier, set by the window thread
HANDLE gReady = nullptr;             // set once the window thread entered its loop (or gave up)

int iconIndex(int state) {
  switch (state) {
    case 0: return ids::kIconError;
    case 1: return ids::kIconDone;
    case -1: return ids::kIconDisabled;
    case -2: return ids::kIconIgnored;
    case 10: return ids::kIconRunning;
    case 11: return ids::kIconEvent;
    default: return I_IMAGENONE;
  }
}

// Selected and focused rows (-1: none), followed while lines come and go at the
// top, as they would follow their lines in a list that holds its own items.
struct RowMarks {
  int selected, focused;
  bool operator==(const RowMarks& o) const { return selected == o.selected && focused == o.focused; }
  void removedTop() {
    selected = selected <= 0 ? -1 : selected - 1;
    focused = focused <= 0 ? -1 : focused - 1;
  }
  void insertedTop() {
    if (selected >= 0) ++selected;
    if (focused >= 0) ++focused;
  }
};

int markedRow(HWND list, UINT flag) {
  return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), flag));
}

void setRowState(HWND list, int row, UINT state, UINT mask) {
  LVITEMW item{};
  item.state = state;
  item.stateMask = mask;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void moveMarks(HWND list, const RowMarks& marks) {
  setRowState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (marks.selected >= 0) setRowState(list, marks.selected, LVIS_SELECTED, LVIS_SELECTED);
  if (marks.focused >= 0) setRowState(list, marks.focused, LVIS_FOCUSED, LVIS_FOCUSED);
}

// Applies the list updates to the rows; the header texts of the batch's last
// Headers update go to *headers. True when the rows changed.
bool applyToRows(WindowState& state, const std::deque<ListUpdate>& batch, RowMarks& marks,
                 const ListUpdate** headers) {
  bool changed = false;
  for (const ListUpdate& u : batch) {
    if (u.kind == ListUpdate::Headers) {
      *headers = &u;
    } else if (u.kind == ListUpdate::InsertTop) {
      state.rows.push_front({iconIndex(u.state), win::widen(u.first), win::widen(u.second)});
      marks.insertedTop();
      changed = true;
    } else if (!state.rows.empty()) {
      state.rows.pop_front();
      marks.removedTop();
      changed = true;
    }
  }
  return changed;
}

// One batch: the rows change, then the list learns its new count and
// repaints once; only the last header texts of the batch are shown.
void applyBatch(WindowState& state, const std::deque<ListUpdate>& batch) {
  HWND list = state.control("LISTE_ACTIONS");
  const RowMarks before{markedRow(list, LVNI_SELECTED), markedRow(list, LVNI_FOCUSED)};
  RowMarks after = before;
  const ListUpdate* headers = nullptr;
  if (applyToRows(state, batch, after, &headers)) {
    SendMessageW(list, LVM_SETITEMCOUNT, state.rows.size(), LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    if (!(after == before)) moveMarks(list, after);
    InvalidateRect(list, nullptr, TRUE);
  }
  if (headers) {
    SetWindowTextW(state.control("TITRE_ACTION"), win::widen(headers->first).c_str());
    SetWindowTextW(state.control("DESCRIPTION_ACTION"), win::widen(headers->second).c_str());
  }
}

// Woken by the first update, or the batch timer fired: applies what is
// queued and looks again after a pause; rests when nothing came meanwhile.
void drainUpdates(WindowState& state) {
  std::deque<ListUpdate> batch = updates().takeOrRest();
  if (batch.empty()) {
    KillTimer(state.window, kDrainTimer);
    return;
  }
  ULONGLONG start = GetTickCount64();
  applyBatch(state, batch);
  RedrawWindow(state.window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);  // paint now, to time it
  auto spent = static_cast<UINT>(std::min<ULONGLONG>(GetTickCount64() - start, kLongestPauseMs));
  SetTimer(state.window, kDrainTimer, std::clamp(spent * kPauseFactor, kShortestPauseMs, kLongestPauseMs),
           nullptr);
}

// The list asks for a cell of one of its rows.
void answerDisplayInfo(const WindowState& state, NMLVDISPINFOW& info) {
  LVITEMW& item = info.item;
  if (item.iItem < 0 || static_cast<size_t>(item.iItem) >= state.rows.size()) return;
  const ListRow& row = state.rows[static_cast<size_t>(item.iItem)];
  if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0) item.iImage = row.image;
  if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
    const wchar_t* text = item.iSubItem == 1 ? row.time.c_str() : item.iSubItem == 2 ? row.text.c_str() : L"";
    lstrcpynW(item.pszText, text, item.cchTextMax);
  }
}

bool isDisplayInfoQuestion(const WindowState& state, LPARAM lp) {
  const NMHDR* header = reinterpret_cast<const NMHDR*>(lp);
  return header->code == LVN_GETDISPINFOW && header->hwndFrom == state.control("LISTE_ACTIONS");
}

// Return pressed in the window: runs the command typed in the command box when it has the focus.
void returnPressed(WindowState& state) {
  HWND box = state.control("TEXTE_COMMANDE");
  if (!box || GetFocus() != box) return;
  wchar_t text[1024] = {};
  int length = GetWindowTextW(box, text, static_cast<int>(std::size(text)));
  runCommand(win::narrow(text, static_cast<size_t>(length)));
  SetWindowTextW(box, L"");
}

void detailsClicked(WindowState& state) {
  bool pressed = SendMessageW(state.control("BT_DETAILS_ACTIONS"), BM_GETCHECK, 0, 0) == BST_CHECKED;
  setClientHeight(state.window, pressed ? state.layout.fullHeight : state.layout.reducedHeight);
}

LRESULT windowCommand(WindowState& state, HWND window, WPARAM wp, LPARAM lp) {
  if (LOWORD(wp) == ids::kReturnKey && HIWORD(wp) == 1) returnPressed(state);
  if (LOWORD(wp) == ids::kDetails && HIWORD(wp) == BN_CLICKED) detailsClicked(state);
  return DefWindowProcW(window, WM_COMMAND, wp, lp);
}

}  // namespace

LRESULT CALLBACK progressWindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  WindowState& state = windowState();
  switch (message) {
    case WM_COMMAND:
      return windowCommand(state, window, wp, lp);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
      if (HBRUSH brush = controlColour(state, reinterpret_cast<HWND>(lp), reinterpret_cast<HDC>(wp),
                                       message == WM_CTLCOLOREDIT))
        return reinterpret_cast<LRESULT>(brush);
      break;
    case WM_ERASEBKGND:
      if (paintBackground(state, window, reinterpret_cast<HDC>(wp))) return 1;
      break;
    case WM_CLOSE:
      return 0;  // no close box: the window stays until the run ends it
    case WM_NOTIFY:
      if (isDisplayInfoQuestion(state, lp)) {
        answerDisplayInfo(state, *reinterpret_cast<NMLVDISPINFOW*>(lp));
        return 0;
      }
      break;
    case kDrainMessage:
      drainUpdates(state);
      return 0;
    case WM_TIMER:
      if (wp != kDrainTimer) break;
      drainUpdates(state);
      return 0;
    case kQuitMessage:
      DestroyWindow(window);
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wp, lp);
}

WindowState& windowState() {
  static WindowState* state = new WindowState;
  return *state;
}

namespace {

// Steps 8 to 12 of the start-up: hidden groups, emptied texts, colours, caption.
void settleContent(WindowState& state) {
  ShowWindow(state.control("GRP_PROGRESS_BAR"), SW_HIDE);
  for (const char* name : {"TEXTE_COMMANDE", "TITRE_ACTION", "DESCRIPTION_ACTION", "TXT_GRP_PROGRESS_BAR",
                           "DESCRIPTION_RACINE_ACTION"})
    SetWindowTextW(state.control(name), L"");
  applyColours(state);
  const WindowSettings& s = state.settings;
  if (!s.titlewindow.empty()) SetWindowTextW(state.window, win::widen(s.titlewindow).c_str());
  if (!s.rootDescription.empty())
    SetWindowTextW(state.control("DESCRIPTION_RACINE_ACTION"), win::widen(s.rootDescription).c_str());
  ShowWindow(state.control("IMG_DATE_VERSION_ACTION"), SW_HIDE);
  ShowWindow(state.control("IMG_VERSION_ACTION"), SW_HIDE);
}

// Steps 13 to 15: folded or unfolded, shown, then placed.
void showAndPlace(WindowState& state, const AxisPosition& x, const AxisPosition& y) {
  bool open = state.settings.openlistaction;
  SendMessageW(state.control("BT_DETAILS_ACTIONS"), BM_SETCHECK, open ? BST_CHECKED : BST_UNCHECKED, 0);
  setClientHeight(state.window, open ? state.layout.fullHeight : state.layout.reducedHeight);
  ShowWindow(state.window, SW_SHOW);
  RECT r;
  GetWindowRect(state.window, &r);
  int left = placeOnAxis(x, GetSystemMetrics(SM_CXSCREEN), r.right - r.left);
  int top = placeOnAxis(y, GetSystemMetrics(SM_CYSCREEN), r.bottom - r.top);
  // Topmost again once shown: the flag set on the hidden window does not always hold.
  bool topmost = state.settings.foregroundwindow;
  SetWindowPos(state.window, topmost ? HWND_TOPMOST : nullptr, left, top, 0, 0,
               SWP_NOSIZE | SWP_NOACTIVATE | (topmost ? 0 : SWP_NOZORDER));
}

void runEventLoop(WindowState& state) {
  ACCEL returnKey{FVIRTKEY, VK_RETURN, static_cast<WORD>(ids::kReturnKey)};
  state.returnKey = CreateAcceleratorTableW(&returnKey, 1);
  PostMessageW(state.window, kDrainMessage, 0, 0);
  SetEvent(gReady);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (state.returnKey && TranslateAcceleratorW(state.window, state.returnKey, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

DWORD WINAPI windowThread(void*) {
  WindowState& state = windowState();
  AxisPosition x = parseAxis(state.settings.windowx), y = parseAxis(state.settings.windowy);
  bool topmost = state.settings.foregroundwindow;
  if (!registerWindowClasses()) return SetEvent(gReady), 1;
  loadStateIcons(state);
  if (!createWindowAndControls(state)) return SetEvent(gReady), 1;
  SendMessageW(state.control("LISTE_ACTIONS"), LVM_SETIMAGELIST, LVSIL_SMALL,
               reinterpret_cast<LPARAM>(state.stateImages));
  loadSmallPictures(state);
  gWindow = state.window;
  if (topmost) SetWindowPos(state.window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  applyWindowIcon(state);
  applyLogo(state);
  settleContent(state);
  showAndPlace(state, x, y);
  runEventLoop(state);
  return 0;
}

// Whether this process can show windows to someone (not in a service's hidden window station).
bool interactiveDesktop() {
  USEROBJECTFLAGS flags{};
  HWINSTA station = GetProcessWindowStation();
  if (!station || !GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr)) return false;
  return (flags.dwFlags & WSF_VISIBLE) != 0;
}

class Win32Window : public ProgressWindow {
 public:
  bool start(const WindowSettings& settings) override {
    if (thread_ || !interactiveDesktop()) return false;
    windowState().settings = settings;
    gReady = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, windowThread, nullptr, 0, nullptr);
    if (!thread_) return false;
    // The window exists before the next directive runs: at least the half
    // second the run has always given it, and a little more on a slow desktop.
    Sleep(500);
    WaitForSingleObject(gReady, 4500);
    return true;
  }
  bool started() const override { return thread_ != nullptr; }
  bool exists() const override { return gWindow.load() != nullptr; }
  void hide() override {
    if (HWND w = gWindow.load()) ShowWindowAsync(w, SW_HIDE);
  }
  void show() override {
    if (HWND w = gWindow.load()) ShowWindowAsync(w, SW_SHOW);
  }
  void end() override {
    if (ended_ || !thread_) return;
    ended_ = true;
    updates().close();
    if (HWND w = gWindow.load()) {
      ShowWindowAsync(w, SW_HIDE);
      PostMessageW(w, kQuitMessage, 0, 0);
    }
    // A window thread stuck in an event does not hold the run: after one
    // second it is ended, which destroys its window.
    if (WaitForSingleObject(thread_, 1000) == WAIT_TIMEOUT) TerminateThread(thread_, 1);
  }
  void removeTopLine() override { push({ListUpdate::RemoveTop, 0, {}, {}}); }
  void insertTopLine(int state, const std::string& time, const std::string& text) override {
    push({ListUpdate::InsertTop, state, time, text});
  }
  void setHeaders(const std::string& title, const std::string& description) override {
    push({ListUpdate::Headers, 0, title, description});
  }

 private:
  void push(ListUpdate update) {
    if (HWND w = gWindow.load()) updates().push(std::move(update), w);
  }
  HANDLE thread_ = nullptr;
  bool ended_ = false;
};

}  // namespace

std::unique_ptr<ProgressWindow> makeProgressWindow() { return std::make_unique<Win32Window>(); }

}  // namespace orv::ui
