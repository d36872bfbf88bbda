// The text-entry dialog: a modal dialog built from a template in memory
// (caption, prompt, entry field holding the default text, OK and Cancel).
#include <windows.h>

#include <vector>

#include "platform/ask.h"
#include "platform/win32/wide.h"

namespace orv::ask {

namespace {

constexpr WORD kPromptId = 100, kEntryId = 101;
constexpr WORD kButtonClass = 0x0080, kEditClass = 0x0081, kStaticClass = 0x0082;

// A dialog template being written, WORD by WORD.
class Template {
 public:
  void word(WORD w) { words_.push_back(w); }
  void dword(DWORD d) {
    word(LOWORD(d));
    word(HIWORD(d));
  }
  void text(const std::wstring& s) {
    for (wchar_t c : s) word(static_cast<WORD>(c));
    word(0);
  }
  void alignDword() {
    if (words_.size() % 2) word(0);
  }
  void rect(short x, short y, short cx, short cy) {
    for (short v : {x, y, cx, cy}) word(static_cast<WORD>(v));
  }
  // One control: a predefined class (by atom), its text, no creation data.
  void item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom, const std::wstring& s) {
    alignDword();
    dword(style | WS_CHILD | WS_VISIBLE);
    dword(0);
    rect(x, y, cx, cy);
    word(id);
    word(0xFFFF);
    word(atom);
    text(s);
    word(0);
  }
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  std::vector<WORD> words_;
};

Template buildTemplate(const std::wstring& title, const std::wstring& prompt) {
  Template t;
  t.dword(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  t.dword(0);
  t.word(4);  // controls
  t.rect(0, 0, 240, 84);
  t.word(0);  // no menu
  t.word(0);  // the standard dialog class
  t.text(title);
  t.word(8);
  t.text(L"MS Shell Dlg");
  t.item(SS_LEFT, 7, 7, 226, 30, kPromptId, kStaticClass, prompt);
  t.item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 42, 226, 14, kEntryId, kEditClass, L"");
  t.item(BS_DEFPUSHBUTTON | WS_TABSTOP, 127, 63, 50, 14, IDOK, kButtonClass, L"OK");
  t.item(BS_PUSHBUTTON | WS_TABSTOP, 183, 63, 50, 14, IDCANCEL, kButtonClass, L"Annuler");
  return t;
}

struct Entry {
  std::wstring defaultText;
  std::wstring answer;
};

INT_PTR CALLBACK entryProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    const auto* entry = reinterpret_cast<const Entry*>(lParam);
    SetDlgItemTextW(dialog, kEntryId, entry->defaultText.c_str());
    SendDlgItemMessageW(dialog, kEntryId, EM_SETSEL, 0, -1);
    SetForegroundWindow(dialog);
    SetFocus(GetDlgItem(dialog, kEntryId));
    return FALSE;  // the focus is set
  }
  if (msg != WM_COMMAND) return FALSE;
  WORD id = LOWORD(wParam);
  if (id == IDOK) {
    auto* entry = reinterpret_cast<Entry*>(GetWindowLongPtrW(dialog, DWLP_USER));
    HWND field = GetDlgItem(dialog, kEntryId);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(field, text.data(), static_cast<int>(text.size()))));
    entry->answer = text;
    EndDialog(dialog, IDOK);
    return TRUE;
  }
  if (id == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

std::string inputBox(const std::string& title, const std::string& prompt, const std::string& defaultText) {
  Template t = buildTemplate(win::widen(title), win::widen(prompt));
  Entry entry{win::widen(defaultText), {}};
  INT_PTR pressed = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.get(), nullptr, entryProc,
                                            reinterpret_cast<LPARAM>(&entry));
  return pressed == IDOK ? win::narrow(entry.answer) : std::string();
}

}  // namespace orv::ask
