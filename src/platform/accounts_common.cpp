// The choice of accounts operations.
#include "platform/accounts.h"

namespace orv::accounts {

namespace {

std::unique_ptr<AccountOps>& installed() {
  static std::unique_ptr<AccountOps> ops;
  return ops;
}

}  // namespace

AccountOps& accountOps() {
  std::unique_ptr<AccountOps>& ops = installed();
  if (!ops) ops = makeSystemAccountOps();
  return *ops;
}

void installAccountOps(std::unique_ptr<AccountOps> ops) { installed() = std::move(ops); }

}  // namespace orv::accounts
