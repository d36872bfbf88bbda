// Registry access layer: locations written HKLM\..., .\HKLM\... or
// \\machine\HKLM\..., keys and values with every value crossing as text.
// Results: 1 success; 0 nothing attempted; otherwise a negated system error.
// The layer logs nothing; its callers log.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry_api.h"

namespace orv {

struct Engine;

struct RegistryPath {
  regapi::Root root = regapi::Root::None;
  std::string subKey;         // below the root, no leading backslash
  std::string machine = ".";  // "." for the local machine
};

// 0 the program's default view, 1 the 64-bit view, 2 the 32-bit view.
using RegistryView = int;

enum RegistryType : uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegMultiSz = 7,
  kRegQword = 11,
};

// Parses a location; false on a bad prefix or an unknown root name.
bool parseRegistryPath(const std::string& location, RegistryPath& path);
// The machine's root (the local root for "."), or 0; remote roots are closed with closeRegistryKey.
regapi::Handle connectRegistry(regapi::Root root, const std::string& machine);
// Opens a sub-key below a root handle; 0 when the root is not valid or the key cannot be opened.
regapi::Handle openRegistryKey(regapi::Handle root, const std::string& subKey, RegistryView view,
                               uint32_t access);
// Closes a handle returned by the layer.
void closeRegistryKey(regapi::Handle key);

// 1 when the key (empty value name) or the value exists, else 0.
int registryExists(const RegistryPath& path, const std::string& valueName, RegistryView view);
// Creates the key with every missing parent; its handle (caller closes) or 0.
regapi::Handle createRegistryKey(const RegistryPath& path, RegistryView view);
// Writes a value from text, converted by its type code.
int64_t writeRegistryValue(const RegistryPath& path, uint32_t type, const std::string& valueName,
                           const std::string& value, RegistryView view);
// A value as text; empty when the key or value is missing.
std::string readRegistryValue(const RegistryPath& path, const std::string& valueName, RegistryView view);
// Deletes a value; 1 only when it is gone afterwards.
int64_t deleteRegistryValue(const RegistryPath& path, const std::string& valueName, RegistryView view);
// Deletes the sub-key with everything below it (never a whole root).
int64_t deleteRegistryTree(const RegistryPath& path, RegistryView view);
// The name of the value at index, empty past the last one.
std::string enumRegistryValueName(const RegistryPath& path, uint32_t index, RegistryView view);
// True when the machine ("." for the local one) is a 64-bit system.
bool isMachine64Bit(const std::string& machine);
// The view for registry work on a machine: 1 when the run bypasses
// redirection and the machine is 64-bit, else 0.
int runRegistryView(const Engine& engine, const std::string& machine);

// Value conversions (registry_values.cpp).
// The text of raw value data.
std::string registryDataToText(uint32_t type, const std::vector<uint8_t>& data);
// The raw data of a value written from text (multi-strings: one line).
std::vector<uint8_t> registryTextToData(uint32_t type, const std::string& text);
// The non-empty lines of REG_MULTI_SZ data.
std::vector<std::string> multiStringLines(const std::vector<uint8_t>& data);
// REG_MULTI_SZ data holding the lines.
std::vector<uint8_t> multiStringData(const std::vector<std::string>& lines);

}  // namespace orv
