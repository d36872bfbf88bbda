// Shortcuts on Windows: a shell link written through IShellLinkW and
// IPersistFile, in the fixed order of the link's fields.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "platform/shortcut.h"
#include "platform/win32/wide.h"

namespace orv::shortcut {

namespace {

void fillAndSave(IShellLinkW* link, const ShortcutFields& link) {
  link->SetPath(win::widen(link.targetPath).c_str());
  link->SetArguments(win::widen(link.parameters).c_str());
  link->SetWorkingDirectory(win::widen(link.workingDirectory).c_str());
  link->SetDescription(win::widen(link.description).c_str());
  link->SetShowCmd(link.showCommand);
  link->SetHotkey(0);
  link->SetIconLocation(win::widen(link.iconFile).c_str(), link.iconIndex);
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    file->Save(win::widen(link.location).c_str(), TRUE);
    file->Release();
  }
}

}  // namespace

void createShortcut(const ShortcutFields& link) {
  HRESULT init = CoInitialize(nullptr);
  IShellLinkW* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    fillAndSave(link, link);
    link->Release();
  }
  // Only a successful initialisation (S_OK or S_FALSE) is balanced.
  if (SUCCEEDED(init)) CoUninitialize();
}

}  // namespace orv::shortcut
