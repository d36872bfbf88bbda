// The LOCALUSERGROUP directive: local users, local groups and their members.
#pragma once
#include <cstdint>

namespace orv {

struct Engine;
class DirectiveNode;

// Handler of LOCALUSERGROUP: 1 done or found, 0 failure, -2 a check that
// found nothing (after the error policy).
int64_t runLocalUserGroup(Engine& engine, const DirectiveNode& node);

}  // namespace orv
