#include "log/events_writer.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "engine/document.h"
#include "engine/engine.h"
#include "engine/interpreter.h"
#include "engine/os_error_line.h"
#include "platform/outfile.h"
#include "test_support.h"

namespace orv {

using nlohmann::json;

// Runs documents with the events written to a file. Plug-in tags stand in for
// directives: R1 succeeds, R0 fails, SYS fails after explaining a system error.
class Events : public ::testing::Test {
 protected:
  void SetUp() override { prepare(engine); }
  void prepare(Engine& e) {
    e.runLog.path = dir.file(&e == &engine ? "run.log" : "plain.log");
    e.run.directiveFile = "site.xml";
    e.pluginTags["R1"] = [](Engine&, const DirectiveNode&) -> int64_t { return 1; };
    e.pluginTags["R0"] = [](Engine&, const DirectiveNode&) -> int64_t { return 0; };
    e.pluginTags["SYS"] = [](Engine& en, const DirectiveNode&) -> int64_t {
      sys::recordOsError("CreateFileW", 5, "C:\\x");
      logOsError(en, "ERR+2");
      return 0;
    };
  }
  // Runs the document (the root's children) with events; returns the lines.
  std::vector<json> run(const std::string& body) {
    auto writer = std::make_unique<EventsWriter>(engine, fs::createOutputFile(dir.file("e.jsonl")));
    EventsWriter* w = writer.get();
    engine.events = std::move(writer);
    w->runStarted();
    docs.push_back(parseDocument("<ORVANTIS>\n" + body + "</ORVANTIS>", ""));
    interpretNode(engine, *docs.back()->root);
    w->runEnded();
    w->runEnded();  // a second end (exit hook after a normal end) writes nothing
    std::vector<json> out;
    std::string text = test::slurp(dir.file("e.jsonl"));
    for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
      out.push_back(json::parse(text.substr(at, end - at)));
    return out;
  }
  static std::vector<json> ofKind(const std::vector<json>& events, const std::string& kind) {
    std::vector<json> out;
    for (const json& e : events)
      if (e["event"] == kind) out.push_back(e);
    return out;
  }
  test::TempDir dir;
  Engine engine;
  std::vector<std::unique_ptr<ParsedDocument>> docs;
};

TEST_F(Events, ElementsCarryTheirPositionResultAndMaskedAttributes) {
  auto events =
      run("<ACTION name=\"A\" version=\"1\">\n  <R1 Password=\"s3cret\" x=\"y\"/>\n  <R0/>\n</ACTION>\n");
  ASSERT_GE(events.size(), 6u);
  EXPECT_EQ(events.front()["event"], "run_start");
  EXPECT_EQ(events.front()["file"], "site.xml");
  for (size_t i = 0; i < events.size(); ++i) EXPECT_EQ(events[i]["seq"], i + 1);
  auto directives = ofKind(events, "directive");
  // Finished elements come innermost first: R1, R0, the action, the root.
  ASSERT_EQ(directives.size(), 4u);
  EXPECT_EQ(directives[0]["path"], "/ORVANTIS/ACTION/R1");
  EXPECT_EQ(directives[0]["position"], "site.xml:3:3");
  EXPECT_EQ(directives[0]["action"], "A");
  EXPECT_EQ(directives[0]["attributes"], (json{{"password", "********"}, {"x", "y"}}));
  EXPECT_EQ(directives[1]["status"], "error");
  EXPECT_EQ(directives[1]["line"], 4);
  EXPECT_EQ(directives[2]["tag"], "ACTION");
  EXPECT_EQ(directives[2]["result"], 1);  // the decision, as "Retour de ACTION : 1" says
  EXPECT_EQ(directives[2]["passed"], 0);  // what the walk made of it
  EXPECT_EQ(test::slurp(dir.file("e.jsonl")).find("s3cret"), std::string::npos);
}

TEST_F(Events, ActionsAreDecidedClosedAndSummed) {
  auto events =
      run("<ACTION name=\"Good\" version=\"1\"><R1/></ACTION>"
          "<ACTION name=\"Off\" version=\"disabled\"><R1/></ACTION>"
          "<ACTION name=\"Bad\" version=\"2\"><R0/></ACTION>"
          "<ACTION name=\"Later\" version=\"1\"/>");
  auto decided = ofKind(events, "action");
  ASSERT_EQ(decided.size(), 3u);  // the failure stops the walk before Later
  EXPECT_EQ(decided[1]["reason"], "disabled");
  EXPECT_EQ(decided[1]["status"], "skipped");
  EXPECT_EQ(decided[2]["version"], "2");
  auto ends = ofKind(events, "action_end");
  ASSERT_EQ(ends.size(), 2u);
  EXPECT_EQ(ends[0]["outcome"], "completed");
  EXPECT_EQ(ends[0]["recorded"], true);
  EXPECT_EQ(ends[1]["outcome"], "failed");
  EXPECT_EQ(ends[1]["recorded"], false);
  const json& last = events.back();
  EXPECT_EQ(last["event"], "summary");
  EXPECT_EQ(last["completed"], json{"Good"});
  EXPECT_EQ(last["failed"], json{"Bad"});
  EXPECT_EQ(last["skipped"], json{"Off"});
  EXPECT_EQ(last["exit_code"], -994);
  EXPECT_EQ(events[events.size() - 2]["event"], "run_end");
  EXPECT_EQ(events[events.size() - 2]["exit_code"], -994);
}

TEST_F(Events, SystemErrorsBelongToTheElementThatExplainedThem) {
  auto directives = ofKind(run("<R1><SYS/></R1>"), "directive");
  ASSERT_EQ(directives.size(), 3u);
  EXPECT_EQ(
      directives[0]["system_error"],
      (json{{"call", "CreateFileW"}, {"code", 5}, {"message", sys::systemMessage(5)}, {"path", "C:\\x"}}));
  EXPECT_FALSE(directives[1].contains("system_error"));  // the parent only stopped
}

TEST_F(Events, TheRunLogIsTheSameWithOrWithoutEvents) {
  const std::string body = "<ACTION name=\"A\" version=\"1\"><R1 password=\"p\"/><SYS/></ACTION>";
  run(body);
  Engine plain;
  prepare(plain);
  auto doc = parseDocument("<ORVANTIS>\n" + body + "</ORVANTIS>", "");
  interpretNode(plain, *doc->root);
  EXPECT_EQ(test::logLines(engine.runLog.path), test::logLines(plain.runLog.path));
  EXPECT_EQ(engine.run.exitCode, plain.run.exitCode);
}

TEST_F(Events, AFileThatCannotBeCreatedIsReportedAndTheRunGoesOn) {
  engine.run.journalPath = dir.file("journal.log");
  engine.run.eventsPath = dir.file("missing") + "/e.jsonl";
  EXPECT_FALSE(startEvents(engine));
  auto lines = test::logLines(engine.run.journalPath);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("\t\tX-> Impossible de créer le fichier d'événements " + engine.run.eventsPath +
                               " : Erreur système : ",
                           0),
            0u)
      << lines[0];
  // The default hooks stay: walking still works and writes nothing anywhere.
  auto doc = parseDocument("<ORVANTIS><R1/></ORVANTIS>", "");
  EXPECT_EQ(interpretNode(engine, *doc->root), 1);
  engine.run.eventsPath = "\x02";  // the switch without its value
  EXPECT_FALSE(startEvents(engine));
  EXPECT_NE(test::slurp(engine.run.journalPath).find("aucun chemin après /events"), std::string::npos);
}

}  // namespace orv
