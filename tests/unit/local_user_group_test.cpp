// LOCALUSERGROUP through a stand-in accounts database: every outcome and
// every line, on both targets, without touching the machine's accounts.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "engine/document.h"
#include "engine/engine.h"
#include "engine/interpreter.h"
#include "platform/accounts.h"
#include "test_support.h"

namespace orv {

namespace {

using accounts::UserOutcome;

// An in-memory accounts database; nextAdd/nextDelete force an outcome once.
struct FakeDatabase {
  std::set<std::string> users{"Administrator"};
  std::map<std::string, std::set<std::string>> groups{{"Users", {"bob"}}};
  std::vector<std::string> calls;
  std::optional<UserOutcome> nextAdd, nextDelete;
};

class FakeAccounts : public accounts::AccountOps {
 public:
  explicit FakeAccounts(FakeDatabase& db) : db_(db) {}
  UserOutcome addUser(const std::string& name, const std::string& password) override {
    db_.calls.push_back("addUser " + name + " " + password);
    if (db_.nextAdd) return std::exchange(db_.nextAdd, std::nullopt).value();
    return db_.users.insert(name).second ? UserOutcome::Done : UserOutcome::Conflict;
  }
  UserOutcome deleteUser(const std::string& name) override {
    db_.calls.push_back("deleteUser " + name);
    if (db_.nextDelete) return std::exchange(db_.nextDelete, std::nullopt).value();
    return db_.users.erase(name) ? UserOutcome::Done : UserOutcome::Conflict;
  }
  bool listUsers(std::vector<std::string>& names) override {
    names.assign(db_.users.begin(), db_.users.end());
    return true;
  }
  bool addGroup(const std::string& name) override {
    db_.calls.push_back("addGroup " + name);
    return db_.groups.emplace(name, std::set<std::string>{}).second;
  }
  bool deleteGroup(const std::string& name) override { return db_.groups.erase(name) == 1; }
  bool listGroups(std::vector<std::string>& names) override {
    for (const auto& [name, members] : db_.groups) names.push_back(name);
    return true;
  }
  bool addMember(const std::string& group, const std::string& account) override {
    auto it = db_.groups.find(group);
    return it != db_.groups.end() && it->second.insert(account).second;
  }
  bool deleteMember(const std::string& group, const std::string& account) override {
    auto it = db_.groups.find(group);
    return it != db_.groups.end() && it->second.erase(account) == 1;
  }
  bool listMembers(const std::string& group, std::vector<std::string>& names) override {
    auto it = db_.groups.find(group);
    if (it == db_.groups.end()) return false;
    names.assign(it->second.begin(), it->second.end());
    return true;
  }

 private:
  FakeDatabase& db_;
};

}  // namespace

class LocalUserGroup : public ::testing::Test {
 protected:
  void SetUp() override {
    engine.runLog.path = dir.file("run.log");
    accounts::installAccountOps(std::make_unique<FakeAccounts>(db));
  }
  void TearDown() override { accounts::installAccountOps(nullptr); }
  int64_t run(const std::string& attrs) {
    doc = parseDocument("<LOCALUSERGROUP " + attrs + "/>", "");
    return runEntry(engine, *findHandler("LOCALUSERGROUP"), *doc->root);
  }
  std::vector<std::string> lines() { return test::logLines(engine.runLog.path); }
  bool logged(const std::string& text) {
    auto l = lines();
    return std::find(l.begin(), l.end(), text) != l.end();
  }
  test::TempDir dir;
  Engine engine;
  FakeDatabase db;
  std::unique_ptr<ParsedDocument> doc;
};

TEST_F(LocalUserGroup, UsersAreAddedCheckedAndDeletedInAnyCaseOfTheKeywords) {
  EXPECT_EQ(run(R"(type="USER" mode="ADD" username="svc" password="S3cret!")"), 1);
  EXPECT_TRUE(logged("Création de l'utilisateur svc"));
  EXPECT_EQ(run(R"(type="user" mode="check" username="SVC")"), 1);
  EXPECT_TRUE(logged("Utilisateur svc trouvé")) << "the listed spelling is logged";
  EXPECT_EQ(run(R"(type="user" mode="check" username="SVC")"), 1) << "a check carries no state";
  EXPECT_EQ(run(R"(type="user" mode="delete" username="svc")"), 1);
  EXPECT_EQ(run(R"(type="user" mode="check" username="svc")"), -2);
}

TEST_F(LocalUserGroup, EveryAddOutcomeHasItsLineAndFails) {
  EXPECT_EQ(run(R"(type="user" mode="add" username="Administrator" password="x")"), 0);
  EXPECT_EQ(lines().back(), "X-> L'utilisateur existe déja.");
  db.nextAdd = UserOutcome::AccessDenied;
  EXPECT_EQ(run(R"(type="user" mode="add" username="a" password="x")"), 0);
  EXPECT_EQ(lines().back(), "Impossible de créer l'utilisateur par manque de droit (accès refusé)");
  db.nextAdd = UserOutcome::BadPassword;
  EXPECT_EQ(run(R"(type="user" mode="add" username="a" password="x")"), 0);
  EXPECT_EQ(lines().back(),
            "Impossible de créer l'utilsateur car le mot de passe est trop court, vide ou "
            "ne repecte pas la politique de sécutiré en vigeur.");
  db.nextAdd = UserOutcome::Failed;
  EXPECT_EQ(run(R"(type="user" mode="add" username="a" password="x")"), 0);
  EXPECT_EQ(lines().back(), "Création de l'utilisateur a impossible !");
}

TEST_F(LocalUserGroup, AnEmptyPasswordNeverReachesTheSystem) {
  EXPECT_EQ(run(R"(type="user" mode="add" username="a" password="")"), 0);
  EXPECT_TRUE(db.calls.empty());
  EXPECT_EQ(lines().back(),
            "Impossible de créer l'utilsateur car le mot de passe est trop court, vide ou "
            "ne repecte pas la politique de sécutiré en vigeur.");
}

TEST_F(LocalUserGroup, EveryDeleteOutcomeHasItsLineAndFails) {
  EXPECT_EQ(run(R"(type="user" mode="delete" username="ghost")"), 0);
  EXPECT_EQ(lines().back(), "Impossible de trouver l'utilsateur à supprimer.");
  db.nextDelete = UserOutcome::AccessDenied;
  EXPECT_EQ(run(R"(type="user" mode="delete" username="x")"), 0);
  EXPECT_EQ(lines().back(), "Impossible de supprimer l'utilisateur par manque de droit (accès refusé)");
  db.nextDelete = UserOutcome::Failed;
  EXPECT_EQ(run(R"(type="user" mode="delete" username="x")"), 0);
  EXPECT_EQ(lines().back(), "Suppresion de l'utilisateur x impossible !");
}

TEST_F(LocalUserGroup, GroupsAndMembers) {
  EXPECT_EQ(run(R"(type="group" mode="add" groupname="Users")"), 1)
      << "an existing group is listed afterwards";
  EXPECT_EQ(run(R"(type="group" mode="add" groupname="Staff")"), 1);
  EXPECT_EQ(run(R"(type="group" mode="check" groupname="STAFF")"), 1);
  EXPECT_TRUE(logged("Groupe Staff trouvé"));
  EXPECT_EQ(run(R"(type="member" mode="check" groupname="Users" username="Bob")"), 1);
  EXPECT_TRUE(logged("Utilisateur bob trouvé dans le groupe local Users"));
  EXPECT_EQ(run(R"(type="member" mode="check" groupname="Staff" username="bob")"), -2);
  EXPECT_EQ(run(R"(type="member" mode="add" groupname="Staff" username="bob")"), 1);
  EXPECT_EQ(run(R"(type="member" mode="check" groupname="Staff" username="bob")"), 1);
  EXPECT_EQ(run(R"(type="member" mode="delete" groupname="Staff" username="bob")"), 1);
  EXPECT_EQ(run(R"(type="member" mode="delete" groupname="Staff" username="bob")"), 0);
  EXPECT_EQ(run(R"(type="group" mode="delete" groupname="Staff")"), 1);
  EXPECT_EQ(run(R"(type="group" mode="check" groupname="Staff")"), -2);
}

TEST_F(LocalUserGroup, MissingNamesAndUnknownKeywordsFail) {
  EXPECT_EQ(run(R"(type="member" mode="add" groupname="Users")"), 0);
  EXPECT_EQ(lines().back(),
            "Le nom de groupe est vide et/ou le nom cible est vide, l'opération est donc annulée");
  EXPECT_EQ(run(R"(type="group" mode="add")"), 0);
  EXPECT_EQ(lines().back(), "Le nom de groupe est vide, l'opération est donc annulée");
  EXPECT_EQ(run(R"(type="user" mode="add")"), 0);
  EXPECT_EQ(lines().back(), "Le nom d'utilisateur est vide, l'opération est donc annulée");
  EXPECT_EQ(run(R"(type="computer" mode="add" username="a")"), 0);
  EXPECT_EQ(run(R"(type="user" mode="rename" username="a")"), 0);
}

TEST_F(LocalUserGroup, ThePasswordIsMaskedInTheLog) {
  run(R"(type="user" mode="add" username="svc" password="S3cret!")");
  EXPECT_NE(test::slurp(engine.runLog.path).find("\tpassword => ********\r\n"), std::string::npos);
  EXPECT_EQ(test::slurp(engine.runLog.path).find("S3cret!"), std::string::npos);
  EXPECT_EQ(db.calls.back(), "addUser svc S3cret!") << "the system still gets the real password";
}

TEST_F(LocalUserGroup, WithoutAttributesTheTagIsNamedLocalgroup) {
  EXPECT_EQ(run(""), 0);
  auto l = lines();
  ASSERT_GE(l.size(), 2u);
  EXPECT_NE(l.front().find("LOCALGROUP"), std::string::npos);
  EXPECT_EQ(l.back(), "Erreur au chargement des paramètres de la balise");
}

}  // namespace orv
