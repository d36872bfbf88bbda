// Local accounts on Windows through netapi32, always on the local machine.
// NetUserAdd, NetLocalGroupAddMembers and NetLocalGroupDelMembers are looked
// up at run time in Netapi32.dll.
#include <windows.h>
#include <lm.h>

#include "platform/accounts.h"
#include "platform/win32/wide.h"

namespace orv::accounts {

namespace {

using NetUserAddFn = NET_API_STATUS(WINAPI*)(LPCWSTR, DWORD, LPBYTE, LPDWORD);
using NetMembersFn = NET_API_STATUS(WINAPI*)(LPCWSTR, LPCWSTR, DWORD, LPBYTE, DWORD);

// Calls fn(entry point) with the function looked up in Netapi32.dll; the
// library is freed afterwards. ERROR_PROC_NOT_FOUND when it is missing.
template <typename Fn, typename Call>
NET_API_STATUS callNetapi(const char* name, Call call) {
  HMODULE lib = LoadLibraryExW(L"Netapi32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!lib) return GetLastError();
  auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(lib, name)));
  NET_API_STATUS status = fn ? call(fn) : ERROR_PROC_NOT_FOUND;
  FreeLibrary(lib);
  return status;
}

// Reads every entry of a level-0/1 enumeration whose first member is a name.
template <typename Info, typename Enumerate>
bool collectNames(std::vector<std::string>& names, Enumerate enumerate) {
  DWORD_PTR resume = 0;
  NET_API_STATUS status;
  do {
    LPBYTE buffer = nullptr;
    DWORD read = 0, total = 0;
    status = enumerate(&buffer, &read, &total, &resume);
    if (status != NERR_Success && status != ERROR_MORE_DATA) return false;
    auto* entries = reinterpret_cast<Info*>(buffer);
    for (DWORD i = 0; entries && i < read; ++i) names.push_back(win::narrow(entries[i].name()));
    if (buffer) NetApiBufferFree(buffer);
  } while (status == ERROR_MORE_DATA);
  return true;
}

struct UserName {
  USER_INFO_0 info;
  std::wstring name() const { return info.usri0_name ? info.usri0_name : L""; }
};
struct GroupName {
  LOCALGROUP_INFO_0 info;
  std::wstring name() const { return info.lgrpi0_name ? info.lgrpi0_name : L""; }
};
struct MemberName {
  LOCALGROUP_MEMBERS_INFO_1 info;
  std::wstring name() const { return info.lgrmi1_name ? info.lgrmi1_name : L""; }
};

NET_API_STATUS changeMembers(const char* entry, const std::string& group, const std::string& account) {
  std::wstring wgroup = win::widen(group), waccount = win::widen(account);
  LOCALGROUP_MEMBERS_INFO_3 member{};
  member.lgrmi3_domainandname = waccount.data();
  return callNetapi<NetMembersFn>(entry, [&](NetMembersFn fn) {
    return fn(nullptr, wgroup.c_str(), 3, reinterpret_cast<LPBYTE>(&member), 1);
  });
}

class SystemAccountOps : public AccountOps {
 public:
  UserOutcome addUser(const std::string& name, const std::string& password) override {
    std::wstring wname = win::widen(name), wpassword = win::widen(password);
    USER_INFO_1 info{};
    info.usri1_name = wname.data();
    info.usri1_password = wpassword.data();
    info.usri1_priv = USER_PRIV_USER;
    info.usri1_flags = UF_SCRIPT;
    NET_API_STATUS status = callNetapi<NetUserAddFn>("NetUserAdd", [&](NetUserAddFn fn) {
      return fn(nullptr, 1, reinterpret_cast<LPBYTE>(&info), nullptr);
    });
    SecureZeroMemory(wpassword.data(), wpassword.size() * sizeof(wchar_t));
    switch (status) {
      case NERR_Success: return UserOutcome::Done;
      case ERROR_ACCESS_DENIED: return UserOutcome::AccessDenied;
      case NERR_UserExists: return UserOutcome::Conflict;
      case NERR_PasswordTooShort: return UserOutcome::BadPassword;
      default: return UserOutcome::Failed;
    }
  }
  UserOutcome deleteUser(const std::string& name) override {
    switch (NetUserDel(nullptr, win::widen(name).c_str())) {
      case NERR_Success: return UserOutcome::Done;
      case ERROR_ACCESS_DENIED: return UserOutcome::AccessDenied;
      case NERR_UserNotFound: return UserOutcome::Conflict;
      default: return UserOutcome::Failed;
    }
  }
  bool listUsers(std::vector<std::string>& names) override {
    return collectNames<UserName>(names, [](LPBYTE* buf, DWORD* read, DWORD* total, DWORD_PTR* resume) {
      DWORD handle = static_cast<DWORD>(*resume);
      NET_API_STATUS s = NetUserEnum(nullptr, 0, 0, buf, MAX_PREFERRED_LENGTH, read, total, &handle);
      *resume = handle;
      return s;
    });
  }
  bool addGroup(const std::string& name) override {
    std::wstring wname = win::widen(name);
    LOCALGROUP_INFO_0 info{wname.data()};
    return NetLocalGroupAdd(nullptr, 0, reinterpret_cast<LPBYTE>(&info), nullptr) == NERR_Success;
  }
  bool deleteGroup(const std::string& name) override {
    return NetLocalGroupDel(nullptr, win::widen(name).c_str()) == NERR_Success;
  }
  bool listGroups(std::vector<std::string>& names) override {
    return collectNames<GroupName>(names, [](LPBYTE* buf, DWORD* read, DWORD* total, DWORD_PTR* resume) {
      return NetLocalGroupEnum(nullptr, 0, buf, MAX_PREFERRED_LENGTH, read, total, resume);
    });
  }
  bool addMember(const std::string& group, const std::string& account) override {
    return changeMembers("NetLocalGroupAddMembers", group, account) == NERR_Success;
  }
  bool deleteMember(const std::string& group, const std::string& account) override {
    return changeMembers("NetLocalGroupDelMembers", group, account) == NERR_Success;
  }
  bool listMembers(const std::string& group, std::vector<std::string>& names) override {
    std::wstring wgroup = win::widen(group);
    return collectNames<MemberName>(names, [&](LPBYTE* buf, DWORD* read, DWORD* total, DWORD_PTR* resume) {
      return NetLocalGroupGetMembers(nullptr, wgroup.c_str(), 1, buf, MAX_PREFERRED_LENGTH, read, total,
                                     resume);
    });
  }
};

}  // namespace

std::unique_ptr<AccountOps> makeSystemAccountOps() { return std::make_unique<SystemAccountOps>(); }

}  // namespace orv::accounts
