// Registry operations on locations, over the platform's registry seam. Every
// operation connects, opens what it needs and closes it before returning.
#include "engine/registry.h"

#include "engine/engine.h"
#include "engine/text_util.h"

namespace orv {

namespace {

using regapi::Handle;

struct RootName {
  const char* shortName;
  const char* longName;
  regapi::Root root;
};

const RootName kRoots[] = {
    {"HKLM", "HKEY_LOCAL_MACHINE", regapi::Root::LocalMachine},
    {"HKCR", "HKEY_CLASSES_ROOT", regapi::Root::ClassesRoot},
    {"HKU", "HKEY_USERS", regapi::Root::Users},
    {"HKCU", "HKEY_CURRENT_USER", regapi::Root::CurrentUser},
    {"HKCC", "HKEY_CURRENT_CONFIG", regapi::Root::CurrentConfig},
};

// The backslash-separated part number index (0-based), or empty text.
std::string part(const std::string& text, size_t index) {
  size_t start = 0;
  for (size_t i = 0; i < index; ++i) {
    size_t bs = text.find('\\', start);
    if (bs == std::string::npos) return "";
    start = bs + 1;
  }
  size_t end = text.find('\\', start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// A key of a location opened for one operation, closed (with its remote root) at scope end.
class OpenedKey {
 public:
  OpenedKey(const RegistryPath& path, RegistryView view, uint32_t access) {
    remote_ = path.machine != ".";
    root_ = connectRegistry(path.root, path.machine);
    key_ = openRegistryKey(root_, path.subKey, view, access);
  }
  ~OpenedKey() {
    closeRegistryKey(key_);
    if (remote_) closeRegistryKey(root_);
  }
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;
  Handle get() const { return key_; }

 private:
  Handle root_ = 0, key_ = 0;
  bool remote_ = false;
};

// The value's type and data; 1, or the failure of the open or the query.
int64_t queryRaw(const RegistryPath& path, const std::string& name, RegistryView view, uint32_t& type,
                 std::vector<uint8_t>& data) {
  OpenedKey key(path, view, regapi::kRead);
  if (!key.get()) return 0;
  return regapi::queryValue(key.get(), name, type, data);
}

// Appends a line to a multi-string value (creating it when missing).
int64_t appendMultiString(const RegistryPath& path, const std::string& name, const std::string& line,
                          RegistryView view) {
  uint32_t type = 0;
  std::vector<uint8_t> data;
  int64_t read = queryRaw(path, name, view, type, data);
  // Only a value that is absent starts afresh: an unreadable one is left alone.
  if (read != 1 && read != -regapi::kErrorFileNotFound) return read == 0 ? 0 : read;
  std::vector<std::string> lines;
  if (read == 1 && (type == kRegMultiSz || type == kRegSz || type == kRegExpandSz))
    lines = multiStringLines(data);
  lines.push_back(line);
  OpenedKey key(path, view, regapi::kAll);
  if (!key.get()) return 0;
  return regapi::setValue(key.get(), name, kRegMultiSz, multiStringData(lines));
}

}  // namespace

bool parseRegistryPath(const std::string& location, RegistryPath& path) {
  std::string head = location.substr(0, 2);
  std::string rootName, prefix;
  if (head == "\\\\") {
    path.machine = part(location, 2);
    rootName = part(location, 3);
    prefix = "\\\\" + path.machine + "\\" + rootName + "\\";
  } else if (head == ".\\") {
    path.machine = ".";
    rootName = part(location, 1);
    prefix = ".\\" + rootName + "\\";
  } else if (head == "HK") {
    path.machine = ".";
    rootName = part(location, 0);
    prefix = rootName + "\\";
  } else {
    return false;
  }
  path.subKey = replaceAll(location, prefix, "");
  path.root = regapi::Root::None;
  std::string upper = toUpper(rootName);
  for (const RootName& r : kRoots)
    if (upper == r.shortName || upper == r.longName) path.root = r.root;
  return path.root != regapi::Root::None;
}

Handle connectRegistry(regapi::Root root, const std::string& machine) {
  Handle out = 0;
  return regapi::connect(root, machine, out) == 1 ? out : 0;
}

Handle openRegistryKey(Handle root, const std::string& subKey, RegistryView view, uint32_t access) {
  if (root == 0) return 0;
  Handle out = 0;
  return regapi::openKey(root, subKey, access, view, out) == 1 ? out : 0;
}

void closeRegistryKey(Handle key) { regapi::closeKey(key); }

int registryExists(const RegistryPath& path, const std::string& valueName, RegistryView view) {
  OpenedKey key(path, view, regapi::kRead);
  if (!key.get()) return 0;
  if (valueName.empty()) return 1;
  uint32_t type = 0;
  std::vector<uint8_t> data;
  return regapi::queryValue(key.get(), valueName, type, data) == 1 ? 1 : 0;
}

Handle createRegistryKey(const RegistryPath& path, RegistryView view) {
  bool remote = path.machine != ".";
  Handle root = connectRegistry(path.root, path.machine);
  Handle out = 0;
  if (root != 0 && regapi::createKey(root, path.subKey, view, out) != 1) out = 0;
  if (remote) closeRegistryKey(root);
  return out;
}

int64_t writeRegistryValue(const RegistryPath& path, uint32_t type, const std::string& valueName,
                           const std::string& value, RegistryView view) {
  if (type == kRegMultiSz) return appendMultiString(path, valueName, value, view);
  OpenedKey key(path, view, regapi::kWrite);
  if (!key.get()) return 0;
  return regapi::setValue(key.get(), valueName, type, registryTextToData(type, value));
}

std::string readRegistryValue(const RegistryPath& path, const std::string& valueName, RegistryView view) {
  uint32_t type = 0;
  std::vector<uint8_t> data;
  if (queryRaw(path, valueName, view, type, data) != 1) return "";
  return registryDataToText(type, data);
}

int64_t deleteRegistryValue(const RegistryPath& path, const std::string& valueName, RegistryView view) {
  int64_t r = 0;
  {
    OpenedKey key(path, view, regapi::kAll);
    if (!key.get()) return 0;
    r = regapi::deleteValue(key.get(), valueName);
  }
  if (r != 1) return r;
  // The value itself must be gone ("" names the default value, not the key).
  uint32_t type = 0;
  std::vector<uint8_t> data;
  return queryRaw(path, valueName, view, type, data) == -regapi::kErrorFileNotFound ? 1 : 0;
}

int64_t deleteRegistryTree(const RegistryPath& path, RegistryView view) {
  // An empty sub-key would empty a whole root: refused.
  if (path.subKey.empty()) return -regapi::kErrorInvalidParameter;
  RegistryPath rootOnly = path;
  rootOnly.subKey.clear();
  OpenedKey root(rootOnly, view, regapi::kAll);
  if (!root.get()) return 0;
  return regapi::deleteTree(root.get(), path.subKey);
}

std::string enumRegistryValueName(const RegistryPath& path, uint32_t index, RegistryView view) {
  OpenedKey key(path, view, regapi::kQueryValue);
  if (!key.get()) return "";
  std::string name;
  if (regapi::enumValueName(key.get(), index, name) != 1) return "";
  return name;
}

bool isMachine64Bit(const std::string& machine) {
  RegistryPath env{regapi::Root::LocalMachine,
                   "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment", machine};
  if (toUpper(readRegistryValue(env, "PROCESSOR_ARCHITECTURE", 0)) != "AMD64") return false;
  RegistryPath nt{regapi::Root::LocalMachine, "SOFTWARE\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion",
                  machine};
  if (registryExists(nt, "CurrentVersion", 0) != 1) return false;
  nt.subKey += "\\Compatibility32";
  return registryExists(nt, "", 0) == 1;
}

int runRegistryView(const Engine& engine, const std::string& machine) {
  if (engine.switches.registryView != 1) return 0;
  return isMachine64Bit(machine) ? 1 : 0;
}

}  // namespace orv
