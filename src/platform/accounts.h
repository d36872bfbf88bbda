// The local accounts database behind a seam: users, local groups and their
// members. The product uses the system's own facilities (netapi32 on
// Windows, the shadow utilities and the account database on Linux); tests
// install a stand-in.
//
// Environment (Linux only): ORVANTIS_ACCOUNTS_ROOT names a folder holding
// etc/passwd, etc/group, etc/shadow and etc/gshadow that is used instead of
// the machine's own (the tools' --prefix). Tests always set it.
#pragma once
#include <memory>
#include <string>
#include <vector>

namespace orv::accounts {

// Outcome of adding or deleting a user account.
enum class UserOutcome : int {
  Done = 1,           // the account was added or deleted
  Failed = 0,         // any other failure
  AccessDenied = -1,  // the caller may not change the accounts database
  Conflict = -2,      // add: the account exists; delete: it does not exist
  BadPassword = -3,   // the password is refused (too short, empty, policy)
};

class AccountOps {
 public:
  virtual ~AccountOps() = default;
  // Adds a local user account with this password.
  virtual UserOutcome addUser(const std::string& name, const std::string& password) = 0;
  // Deletes a local user account.
  virtual UserOutcome deleteUser(const std::string& name) = 0;
  // Names of the local user accounts; false when they cannot be listed.
  virtual bool listUsers(std::vector<std::string>& names) = 0;
  // Creates a local group; true when the system reports success.
  virtual bool addGroup(const std::string& name) = 0;
  // Deletes a local group; true on success.
  virtual bool deleteGroup(const std::string& name) = 0;
  // Names of the local groups; false when they cannot be listed.
  virtual bool listGroups(std::vector<std::string>& names) = 0;
  // Adds an account to a local group; true on success.
  virtual bool addMember(const std::string& group, const std::string& account) = 0;
  // Removes an account from a local group; true on success.
  virtual bool deleteMember(const std::string& group, const std::string& account) = 0;
  // Names of a local group's members; false when they cannot be listed.
  virtual bool listMembers(const std::string& group, std::vector<std::string>& names) = 0;
};

// The system's own accounts database.
std::unique_ptr<AccountOps> makeSystemAccountOps();

// The operations in use: the one installed, else the system's.
AccountOps& accountOps();
// Replaces the operations in use (nullptr: back to the system's).
void installAccountOps(std::unique_ptr<AccountOps> ops);

}  // namespace orv::accounts
