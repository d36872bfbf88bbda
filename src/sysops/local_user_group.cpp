#include "sysops/local_user_group.h"

#include <vector>

#include "engine/directive.h"
#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/text_util.h"
#include "platform/accounts.h"

namespace orv {

namespace {

using accounts::UserOutcome;

struct AccountRequest {
  std::string type, mode, user, password, group;
};

AccountRequest readRequest(Engine& engine, const AttributeMap& attrs) {
  AccountRequest r;
  r.type = toLower(attrs.get("type"));
  r.mode = toLower(attrs.get("mode"));
  r.user = expandAttribute(engine, attrs.get("username"));
  r.password = expandAttribute(engine, attrs.get("password"));
  r.group = expandAttribute(engine, attrs.get("groupname"));
  return r;
}

// The listed name equal to wanted without regard to case, or empty. Each
// check takes a fresh listing.
std::string findNoCase(const std::vector<std::string>& names, const std::string& wanted) {
  for (const std::string& name : names)
    if (equalsNoCase(name, wanted)) return name;
  return {};
}

int64_t memberOperation(Engine& engine, const AccountRequest& r) {
  accounts::AccountOps& ops = accounts::accountOps();
  if (r.group.empty() || r.user.empty()) {
    engine.log("Le nom de groupe est vide et/ou le nom cible est vide, l'opération est donc annulée", "ATT");
    return 0;
  }
  if (r.mode == "add") {
    engine.log("Ajout d'un membre " + r.user + " dans le groupe local " + r.group, "");
    return ops.addMember(r.group, r.user) ? 1 : 0;
  }
  if (r.mode == "delete") {
    engine.log("Suppression d'un membre " + r.user + " dans le groupe local " + r.group, "");
    return ops.deleteMember(r.group, r.user) ? 1 : 0;
  }
  if (r.mode != "check") return 0;
  engine.log("Vérification de l'existance de l'utilisateur " + r.user + " dans le groupe local " + r.group,
             "");
  std::vector<std::string> members;
  ops.listMembers(r.group, members);
  std::string found = findNoCase(members, r.user);
  if (found.empty()) return -2;
  engine.log("Utilisateur " + found + " trouvé dans le groupe local " + r.group, "");
  return 1;
}

int64_t groupOperation(Engine& engine, const AccountRequest& r) {
  accounts::AccountOps& ops = accounts::accountOps();
  if (r.group.empty()) {
    engine.log("Le nom de groupe est vide, l'opération est donc annulée", "ATT");
    return 0;
  }
  std::vector<std::string> groups;
  if (r.mode == "add") {
    engine.log("Création d'un groupe local nommée " + r.group, "");
    ops.addGroup(r.group);
    // Success is the group being there afterwards, whether new or not.
    ops.listGroups(groups);
    for (const std::string& name : groups)
      if (name == r.group) return 1;
    return 0;
  }
  if (r.mode == "delete") {
    engine.log("Suppression d'un groupe local nommée " + r.group, "");
    return ops.deleteGroup(r.group) ? 1 : 0;
  }
  if (r.mode != "check") return 0;
  engine.log("Vérification de l'existance du groupe local " + r.group, "");
  ops.listGroups(groups);
  std::string found = findNoCase(groups, r.group);
  if (found.empty()) return -2;
  engine.log("Groupe " + found + " trouvé", "");
  return 1;
}

int64_t addUser(Engine& engine, const AccountRequest& r) {
  engine.log("Création de l'utilisateur " + r.user, "");
  UserOutcome outcome =
      r.password.empty() ? UserOutcome::BadPassword : accounts::accountOps().addUser(r.user, r.password);
  switch (outcome) {
    case UserOutcome::Done: return 1;
    case UserOutcome::Failed:
      engine.log("Création de l'utilisateur " + r.user + " impossible !", "ATT");
      break;
    case UserOutcome::AccessDenied:
      engine.log("Impossible de créer l'utilisateur par manque de droit (accès refusé)", "ATT");
      break;
    case UserOutcome::Conflict: engine.log("L'utilisateur existe déja.", "ERR"); break;
    case UserOutcome::BadPassword:
      engine.log(
          "Impossible de créer l'utilsateur car le mot de passe est trop court, vide ou ne repecte pas "
          "la politique de sécutiré en vigeur.",
          "ATT");
      break;
  }
  return 0;
}

int64_t deleteUser(Engine& engine, const AccountRequest& r) {
  engine.log("Suppression de l'utilisateur " + r.user, "");
  switch (accounts::accountOps().deleteUser(r.user)) {
    case UserOutcome::Done: return 1;
    case UserOutcome::AccessDenied:
      engine.log("Impossible de supprimer l'utilisateur par manque de droit (accès refusé)", "ATT");
      break;
    case UserOutcome::Conflict: engine.log("Impossible de trouver l'utilsateur à supprimer.", "ATT"); break;
    default: engine.log("Suppresion de l'utilisateur " + r.user + " impossible !", "ATT"); break;
  }
  return 0;
}

int64_t userOperation(Engine& engine, const AccountRequest& r) {
  if (r.user.empty()) {
    engine.log("Le nom d'utilisateur est vide, l'opération est donc annulée", "ATT");
    return 0;
  }
  if (r.mode == "add") return addUser(engine, r);
  if (r.mode == "delete") return deleteUser(engine, r);
  if (r.mode != "check") return 0;
  engine.log("Vérification de l'existance de l'utilisateur " + r.user, "");
  std::vector<std::string> users;
  accounts::accountOps().listUsers(users);
  std::string found = findNoCase(users, r.user);
  if (found.empty()) return -2;
  engine.log("Utilisateur " + found + " trouvé", "");
  return 1;
}

int64_t operate(Engine& engine, const AttributeMap& attrs) {
  AccountRequest r = readRequest(engine, attrs);
  if (r.type == "member") return memberOperation(engine, r);
  if (r.type == "group") return groupOperation(engine, r);
  if (r.type == "user") return userOperation(engine, r);
  return 0;
}

}  // namespace

int64_t runLocalUserGroup(Engine& engine, const DirectiveNode& node) {
  // Its lines name it LOCALGROUP.
  return runDirective(
      engine, node, "LOCALGROUP",
      [](Engine& e, const DirectiveNode&, const AttributeMap& attrs) { return operate(e, attrs); },
      kNoAttributesNotice);
}

}  // namespace orv
