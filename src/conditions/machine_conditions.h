// CHECK conditions on the machine's state: directory, file, groups, process,
// free space. Each logs its steps and returns 1 (true) or 0 (false).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace orv {

struct Engine;

// Size of the file at path; -1 when nothing is there, -2 for a directory.
int64_t pathSize(const std::string& path);

int checkDirectory(Engine& engine, const std::string& location);
int checkFile(Engine& engine, const std::string& location, const std::string& mode, const std::string& value);
// Membership of one of the listed groups for an account (the user's or "HOST$").
int checkGroups(Engine& engine, const std::string& value, const std::string& account);
// The group walk on a known list of groups (sorted here); the logging of checkGroups.
int matchGroups(Engine& engine, const std::string& value, std::vector<std::string> groups);
int checkProcess(Engine& engine, const std::string& value);
int checkFreeSpace(Engine& engine, const std::string& location, int64_t number, const std::string& mode);
// The free-space decision on whole mebibytes.
bool freeSpaceHolds(int64_t freeMib, int64_t number, const std::string& mode);

// The registry condition (registry_condition.cpp).
int checkRegistry(Engine& engine, const std::string& location, const std::string& mode,
                  const std::string& value);

// The date condition (date_condition.cpp).
int checkDate(Engine& engine, const std::string& value, const std::string& mode);
// The date number built from date fields such as "y=2030,d=25", starting from now; 0 for "".
int64_t dateFromFields(const std::string& fields, int64_t now);
// A date written dd/mm/yyyy as a date number at midnight; -1 when it does not fit.
int64_t parseDayDate(const std::string& text);

}  // namespace orv
