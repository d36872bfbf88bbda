#include <gtest/gtest.h>

#include "engine/document.h"
#include "engine/engine.h"
#include "engine/interpreter.h"
#include "flow/loops.h"
#include "flow/wait.h"
#include "platform/files.h"
#include "platform/net.h"
#include "test_support.h"

namespace orv {

TEST(WaitDecision, FollowsTheBlocktagTable) {
  struct Row {
    int8_t policy;
    bool met;
    int64_t result;
    bool internal;
  };
  const Row rows[] = {
      {0, true, 1, false},  {0, false, -2, false}, {1, true, -2, false},
      {1, false, 1, false}, {2, true, 1, false},   {2, false, -3, false},
      {7, true, 1, true},   {7, false, 0, true},   {-1, false, 0, true},
  };
  for (const Row& row : rows) {
    WaitDecision d = decideWait(row.policy, row.met);
    EXPECT_EQ(d.result, row.result) << int(row.policy) << " " << row.met;
    EXPECT_EQ(d.internalError, row.internal) << int(row.policy);
  }
}

TEST(HostProbe, AddressFieldsAndPayload) {
  auto bytes = [](uint32_t a) {
    const auto* b = reinterpret_cast<const unsigned char*>(&a);
    return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." +
           std::to_string(b[3]);
  };
  EXPECT_EQ(bytes(net::parseDottedAddress("10.1.2.254")), "10.1.2.254");
  EXPECT_EQ(bytes(net::parseDottedAddress("nohost.invalid")), "0.0.0.0");
  EXPECT_EQ(bytes(net::parseDottedAddress("192.168.1")), "192.168.1.0");
  EXPECT_EQ(bytes(net::parseDottedAddress("1.2.3.4.5")), "1.2.3.4");
  std::string payload = net::pingPayload();
  ASSERT_EQ(payload.size(), 33u);
  EXPECT_EQ(payload.substr(0, 4), std::string("Q\0U\0", 4));
  EXPECT_EQ(payload.back(), 'E');  // the 17th character's low byte
}

TEST(HostProbe, UnresolvedHostsAreNeverPinged) {
  EXPECT_EQ(net::resolveHostAddress("").status, 0);
  net::HostAddress local = net::resolveHostAddress("127.0.0.1");
  EXPECT_EQ(local.status, 1);
  EXPECT_EQ(local.address, "127.0.0.1");
  EXPECT_LT(net::resolveHostAddress("nohost.invalid").status, 1);
  net::PingOutcome zero = net::pingAddress("nohost.invalid", 100);
  EXPECT_LE(zero.result, 0);
  EXPECT_TRUE(zero.failedCall.empty());
}

TEST(LoopFile, LinesEndsAndCharacterSets) {
  auto lines = [](const std::string& bytes) { return loopFileLines(bytes).lines; };
  using V = std::vector<std::string>;
  EXPECT_EQ(lines("a\nb\nc"), (V{"a", "b", "c"}));
  EXPECT_EQ(lines("a\r\n\r\nc\r\n"), (V{"a", "", "c"}));
  EXPECT_EQ(lines(std::string("a\rb\0c", 5)), (V{"a", "b", "c"}));
  EXPECT_EQ(lines("\xEF\xBB\xBF"
                  "caf\xC3\xA9\n"),
            (V{"caf\xC3\xA9"}));
  EXPECT_TRUE(lines("").empty());
  EXPECT_FALSE(loopFileLines("b\xC3\xA9ta\n").ansi);
  // One ANSI line makes the whole file ANSI: every accented line is converted.
  LoopFileLines ansi = loopFileLines("caf\xE9\nna\xEFve\n\x80");
  EXPECT_TRUE(ansi.ansi);
  EXPECT_EQ(ansi.lines, (V{"caf\xC3\xA9", "na\xC3\xAFve", "\xE2\x82\xAC"}));
  // Overlong forms, surrogates and cut sequences are not UTF-8.
  EXPECT_TRUE(loopFileLines("\xC0\xAF").ansi);
  EXPECT_TRUE(loopFileLines("\xED\xA0\x80").ansi);
  EXPECT_TRUE(loopFileLines("ab\xE2\x82").ansi);
  EXPECT_FALSE(loopFileLines("\xF0\x9F\x98\x80").ansi);
  // Notepad's "Unicode": UTF-16LE after its mark, surrogate pairs included.
  LoopFileLines wide = loopFileLines(std::string("\xFF\xFEp\0\xE9\0\r\0\n\0\x3D\xD8\x00\xDE", 14));
  EXPECT_FALSE(wide.ansi);
  EXPECT_EQ(wide.lines, (V{"p\xC3\xA9", "\xF0\x9F\x98\x80"}));
}

TEST(LoopFile, DirectoryPathsHaveOneSeparator) {
  EXPECT_EQ(loopFilePath("C:\\data", "a.txt", '\\'), "C:\\data\\a.txt");
  EXPECT_EQ(loopFilePath("C:\\data\\", "a.txt", '\\'), "C:\\data\\a.txt");
  EXPECT_EQ(loopFilePath("/srv/data//", "a.txt", '/'), "/srv/data/a.txt");
  EXPECT_EQ(loopFilePath("/", "a.txt", '/'), "/a.txt");
}

TEST(WhileTest, NumericAndTextComparisons) {
  EXPECT_TRUE(whileGoesOn("numeric", "equal", "0", "0"));
  EXPECT_TRUE(whileGoesOn("numeric", "equal", "  +7x", "7"));
  EXPECT_FALSE(whileGoesOn("numeric", "equal", "1", "0"));
  EXPECT_TRUE(whileGoesOn("numeric", "dif", "1", "0"));
  EXPECT_FALSE(whileGoesOn("numeric", "dif", "abc", "0"));  // not a number reads as 0
  // Any other type compares text: "equal" runs until the texts are equal.
  EXPECT_TRUE(whileGoesOn("Numeric", "equal", "0", "00"));
  EXPECT_FALSE(whileGoesOn("text", "equal", "done", "done"));
  EXPECT_TRUE(whileGoesOn("text", "dif", "same", "same"));
  EXPECT_FALSE(whileGoesOn("text", "dif", "a", "b"));
  EXPECT_FALSE(whileGoesOn("numeric", "Equal", "0", "0"));
  EXPECT_FALSE(whileGoesOn("text", "", "a", "b"));
}

// Runs elements through the interpreter with plug-in tags that record the
// loop variables (REC), fail (FAIL) or end the action (QUIT).
class LoopRun : public ::testing::Test {
 protected:
  void SetUp() override {
    engine.runLog.path = dir.file("run.log");
    engine.pluginTags["REC"] = [this](Engine& e, const DirectiveNode&) {
      const MemoEntry* v = e.memos.find("_valueline_");
      const MemoEntry* n = e.memos.find("_linenumber_");
      seen.push_back((n ? n->value : "-") + ":" + (v ? v->value : "-"));
      return int64_t{1};
    };
    engine.pluginTags["FAIL"] = [this](Engine&, const DirectiveNode&) {
      seen.push_back("fail");
      return int64_t{0};
    };
    engine.pluginTags["QUIT"] = [](Engine&, const DirectiveNode&) { return int64_t{-5}; };
  }
  int64_t run(const std::string& body) {
    doc = parseDocument("<ORVANTIS><A>" + body + "</A></ORVANTIS>", "");
    EXPECT_EQ(doc->status, 0);
    const DirectiveNode& element = *doc->root->children[0]->children[0];
    return interpretNode(engine, element);
  }
  bool logged(const std::string& line) { return test::logHas(engine.runLog.path, line); }
  test::TempDir dir;
  Engine engine;
  std::unique_ptr<ParsedDocument> doc;
  std::vector<std::string> seen;
};

TEST_F(LoopRun, CountPublishesThePassAndCleansUp) {
  EXPECT_EQ(run("<FOR type=\"count\" value=\"3\"><REC/></FOR>"), -4);
  EXPECT_EQ(seen, (std::vector<std::string>{"1:1", "2:2", "3:3"}));
  EXPECT_EQ(engine.memos.find("_valueline_"), nullptr);
  EXPECT_TRUE(logged("--> FOR fin de traitement de boucle."));
  seen.clear();
  EXPECT_EQ(run("<FOR type=\"count\" value=\"x\"><REC/></FOR>"), 0);
  EXPECT_TRUE(seen.empty());
}

TEST_F(LoopRun, NestedLoopsShareOnePairOfVariables) {
  EXPECT_EQ(
      run("<FOR type=\"count\" value=\"2\"><REC/><FOR type=\"count\" value=\"1\"><REC/></FOR><REC/></FOR>"),
      -4);
  EXPECT_EQ(seen, (std::vector<std::string>{"1:1", "1:1", "-:-", "2:2", "1:1", "-:-"}));
}

TEST_F(LoopRun, AFailingChildSkipsTheRestOfItsPassOnly) {
  EXPECT_EQ(run("<FOR type=\"count\" value=\"2\"><FAIL/><REC/></FOR>"), 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"fail", "fail"}));
  EXPECT_EQ(engine.run.exitCode, -994);
}

TEST_F(LoopRun, AForcedEndLeavesTheLoop) {
  EXPECT_EQ(run("<FOR type=\"count\" value=\"5\"><REC/><QUIT/></FOR>"), -5);
  EXPECT_EQ(seen, std::vector<std::string>{"1:1"});
}

TEST_F(LoopRun, FileAndFolderPasses) {
  test::spit(dir.file("list.txt"), "one\n\ntw\xE9\n");
  EXPECT_EQ(run("<FOR type=\"filetext\" location=\"" + dir.file("list.txt") + "\"><REC/></FOR>"), -4);
  EXPECT_EQ(seen, (std::vector<std::string>{"1:one", "2:", "3:tw\xC3\xA9"}));
  EXPECT_TRUE(logged("!-> Le fichier n'est pas en UTF-8"));
  seen.clear();
  ASSERT_TRUE(fs::createDirectories(dir.file("d") + fs::separator() + "sub"));
  test::spit(dir.file("d") + fs::separator() + "b.txt", "");
  test::spit(dir.file("d") + fs::separator() + "a", "");
  EXPECT_EQ(run("<FOR type=\"filedir\" location=\"" + dir.file("d") + fs::separator() + "\"><REC/></FOR>"),
            -4);
  std::string base = dir.file("d") + fs::separator();
  EXPECT_EQ(seen, (std::vector<std::string>{"1:" + base + "a", "2:" + base + "b.txt"}));
  EXPECT_EQ(run("<FOR type=\"filedir\" location=\"" + dir.file("d") + fs::separator() + "sub\"><REC/></FOR>"),
            0);
  EXPECT_TRUE(logged("X-> Pas de fichier à traiter"));
  EXPECT_EQ(run("<FOR type=\"file\" location=\"" + dir.file("none.txt") + "\"><REC/></FOR>"), 0);
  EXPECT_TRUE(logged("X-> Impossible d'ouvrir le fichier !"));
}

TEST_F(LoopRun, WhileStopsWhenTheVariableChanges) {
  engine.memos.set("n", "0");
  engine.pluginTags["BUMP"] = [](Engine& e, const DirectiveNode&) {
    e.memos.set("n", std::to_string(std::stoi(e.memos.find("n")->value) + 1));
    return int64_t{1};
  };
  EXPECT_EQ(run("<WHILE type=\"numeric\" mode=\"dif\" valuename=\"n\" value=\"3\"><REC/><BUMP/></WHILE>"),
            -4);
  EXPECT_EQ(seen, (std::vector<std::string>{"-:1", "-:2", "-:3"}));
  EXPECT_EQ(engine.memos.find("_valueline_"), nullptr);
}

TEST_F(LoopRun, WhileWithAnUnknownModeNeverStarts) {
  EXPECT_EQ(run("<WHILE type=\"text\" mode=\"Equal\" valuename=\"n\" value=\"x\"><REC/></WHILE>"), 0);
  EXPECT_TRUE(seen.empty());
  EXPECT_TRUE(logged("X-> Mode de boucle non reconnu"));
}

TEST_F(LoopRun, WaitsThatCouldNeverEndStopAtOnce) {
  // No positive time-out and a mode that can never be met: the time-out outcome now.
  EXPECT_EQ(run("<WAIT type=\"process\" value=\"x\"><REC/></WAIT>"), 1);
  EXPECT_TRUE(logged("X-> L'attribut mode n'est pas spécifié ou n'est pas remplis correctement."));
  EXPECT_TRUE(logged("Les sous-directives ne seront pas executées"));
  EXPECT_EQ(
      run("<WAIT type=\"regvalue\" mode=\"gone\" location=\"HKCU\\Software\\X\" blocktag=\"pne\"><REC/></WAIT>"),
      1);
  EXPECT_EQ(seen, std::vector<std::string>{"-:-"});
}

TEST_F(LoopRun, WaitMeetsAPresentFileAndReportsAnOddPolicy) {
  test::spit(dir.file("here.txt"), "x");
  EXPECT_EQ(run("<WAIT type=\"file\" location=\"" + dir.file("here.txt") +
                "\" blocktag=\"7\" timeout=\"5\"><REC/></WAIT>"),
            1);
  EXPECT_TRUE(logged("Fichier détecté."));
  EXPECT_TRUE(
      logged("X-> Erreur interne de la fonction ! La condition d'attente ne fonctionne pas correctement."));
  EXPECT_EQ(seen.size(), 1u);
  // An unknown type is never met, without a message; signalerror turns that into an error.
  EXPECT_EQ(run("<WAIT type=\"nothing\" blocktag=\"SignalError\"><REC/></WAIT>"), 0);
  EXPECT_TRUE(logged("--> WAIT fin des opérations."));
}

}  // namespace orv
