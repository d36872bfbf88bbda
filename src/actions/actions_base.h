// The actions base: versions and dates of executed actions, kept in an INI
// file and/or a registry location.
#pragma once
#include <cstdint>
#include <string>

namespace orv {

struct Engine;
struct ActionContext;

enum class RecordKind { Version, Date };

// Where a stored record is read from.
enum class BaseLocation { Ini, Registry };

// The stored text of a record ("0" for a missing INI record, empty when the
// location cannot be read or a registry record is missing).
std::string readStoredRecord(Engine& engine, const std::string& name, RecordKind kind, BaseLocation where);
// The stored version, and the stored date number, of an action.
inline std::string readStoredVersion(Engine& engine, const std::string& name, BaseLocation where) {
  return readStoredRecord(engine, name, RecordKind::Version, where);
}
inline std::string readStoredDate(Engine& engine, const std::string& name, BaseLocation where) {
  return readStoredRecord(engine, name, RecordKind::Date, where);
}
// True when an INI file or a registry location is configured.
bool actionsBaseConfigured(const Engine& engine);
// Writes a record to every configured location; 1 unless the registry write failed.
int writeActionRecord(Engine& engine, const std::string& name, RecordKind kind, const std::string& value);
// Records an action that completed with result 1 or -1.
void recordExecutedAction(Engine& engine, ActionContext& action, int64_t result);

}  // namespace orv
