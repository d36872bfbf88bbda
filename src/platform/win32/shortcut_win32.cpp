// Shortcuts on Windows: a shell link written through IShellLinkW and
// IPersistFile, in the fixed order of the link's fields.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "platform/shortcut.h"
#include "platform/win32/wide.h"

namespace orv::shortcut {

namespace {

void fillAndSave(IShellLinkW* link, const ShortcutFields& fields) {
  link->SetPath(win::widen(fields.targetPath).c_str());
  link->SetArguments(win::widen(fields.parameters).c_str());
  link->SetWorkingDirectory(win::widen(fields.workingDirectory).c_str());
  link->SetDescription(win::widen(fields.description).c_str());
  link->SetShowCmd(fields.showCommand);
  link->SetHotkey(0);
  link->SetIconLocation(win::widen(fields.iconFile).c_str(), fields.iconIndex);
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    file->Save(win::widen(fields.location).c_str(), TRUE);
    file->Release();
  }
}

}  // namespace

void createShortcut(const ShortcutFields& fields) {
  HRESULT init = CoInitialize(nullptr);
  IShellLinkW* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    fillAndSave(link, fields);
    link->Release();
  }
  // Only a successful initialisation (S_OK or S_FALSE) is balanced.
  if (SUCCEEDED(init)) CoUninitialize();
}

}  // namespace orv::shortcut
