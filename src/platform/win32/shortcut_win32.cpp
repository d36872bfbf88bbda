// Shortcuts on Windows: a shell link written through IShellLinkW and
// IPersistFile, in the fixed order of the link's fields.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "platform/shortcut.h"
#include "platform/win32/wide.h"

namespace orv::shortcut {

namespace {

void fillAndSave(IShellLinkW* link, const ShortcutSpec& spec) {
  link->SetPath(win::widen(spec.targetPath).c_str());
  link->SetArguments(win::widen(spec.parameters).c_str());
  link->SetWorkingDirectory(win::widen(spec.workingDirectory).c_str());
  link->SetDescription(win::widen(spec.description).c_str());
  link->SetShowCmd(spec.showCommand);
  link->SetHotkey(0);
  link->SetIconLocation(win::widen(spec.iconFile).c_str(), spec.iconIndex);
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    file->Save(win::widen(spec.location).c_str(), TRUE);
    file->Release();
  }
}

}  // namespace

void createShortcut(const ShortcutSpec& spec) {
  HRESULT init = CoInitialize(nullptr);
  IShellLinkW* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    fillAndSave(link, spec);
    link->Release();
  }
  // Only a successful initialisation (S_OK or S_FALSE) is balanced.
  if (SUCCEEDED(init)) CoUninitialize();
}

}  // namespace orv::shortcut
