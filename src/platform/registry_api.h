// The registry seam: keys and raw values (type code and bytes). On Windows it
// is advapi32; elsewhere a registry store of our own in an SQLite file named by
// ORVANTIS_REGISTRY (default: a file in the user's data folder).
// Results: 1 on success, otherwise 0 (nothing attempted) or the negated system
// error code. String data is UTF-16LE with its NUL, as Windows stores it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace orv::regapi {

// A key handle: 0 means none. Root handles stand for the predefined keys.
using Handle = intptr_t;

enum class Root { None, LocalMachine, ClassesRoot, Users, CurrentUser, CurrentConfig };

// Access masks (mapped to KEY_READ, KEY_WRITE, KEY_ALL_ACCESS, KEY_QUERY_VALUE).
enum Access : uint32_t { kRead = 1, kWrite = 2, kAll = 3, kQueryValue = 4 };

// System error codes the portable code compares with.
constexpr int64_t kErrorFileNotFound = 2;
constexpr int64_t kErrorInvalidParameter = 87;
constexpr int64_t kErrorBadNetPath = 53;

// The handle of a predefined root key on the local machine (0 for Root::None).
Handle rootHandle(Root root);
// The root of a machine: the local root for ".", else a remote connection
// (closed with closeKey). 1 or a failure value.
int64_t connect(Root root, const std::string& machine, Handle& out);
// Opens subKey below key (empty: the key itself) with access and view (0, 1 or 2).
int64_t openKey(Handle key, const std::string& subKey, uint32_t access, int view, Handle& out);
// Opens subKey, creating every missing key along the path (full access).
int64_t createKey(Handle key, const std::string& subKey, int view, Handle& out);
// Reads a value's type and bytes ("" is the default value).
int64_t queryValue(Handle key, const std::string& name, uint32_t& type, std::vector<uint8_t>& data);
// Writes a value's type and bytes.
int64_t setValue(Handle key, const std::string& name, uint32_t type, const std::vector<uint8_t>& data);
// Deletes a value.
int64_t deleteValue(Handle key, const std::string& name);
// The name of the value at index; kErrorNoMoreItems-style failure past the end.
int64_t enumValueName(Handle key, uint32_t index, std::string& name);
// Deletes subKey of key with all its sub-keys and values.
int64_t deleteTree(Handle key, const std::string& subKey);
// Closes the process's connection to the registry store (nothing on Windows);
// the next call opens it again.
void closeStore();
// Closes a handle from connect (remote), openKey or createKey; roots are ignored.
void closeKey(Handle key);

}  // namespace orv::regapi
