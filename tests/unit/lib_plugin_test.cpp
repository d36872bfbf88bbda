// LIB parameter blocks and results, and what plug-in tag functions see
// through their element handle.
#include <gtest/gtest.h>
#include <orvantis/plugin.h>

#include <cstring>

#include "engine/directive.h"
#include "engine/document.h"
#include "engine/engine.h"
#include "engine/interpreter.h"
#include "engine/utf16.h"
#include "platform/files.h"
#include "platform/library.h"
#include "sysops/lib.h"
#include "sysops/plugin.h"
#include "sysops/plugin_host.h"
#include "test_support.h"

namespace orv {

namespace {

template <typename T>
T blockValue(const std::string& type, const std::string& value) {
  LibParameter p;
  EXPECT_TRUE(makeLibParameter(type, value, p));
  T out{};
  std::memcpy(&out, p.data(), sizeof out);
  return out;
}

// The project's test library beside the test program (ctest runs in its folder).
std::string testLibrary() {
  for (const char* name : {"testlib/orvtestlib.so", "testlib/orvtestlib.dll"})
    if (fs::fileExists(name)) return name;
  return "";
}

}  // namespace

TEST(LibParameters, BlocksHoldExactValues) {
  EXPECT_EQ(blockValue<int64_t>("integer", " -$10"), -16);
  EXPECT_EQ(blockValue<int64_t>("quad", "9223372036854775807"), INT64_MAX);
  EXPECT_EQ(blockValue<int64_t>("integer", "abc"), 0);
  EXPECT_EQ(blockValue<double>("double", " -1.5e3"), -1500.0);
  EXPECT_EQ(blockValue<double>("double", "0.1"), 0.1);
  EXPECT_EQ(blockValue<double>("double", "+2.25xyz"), 2.25);
  EXPECT_EQ(blockValue<double>("double", "1,5"), 1.0);  // the decimal mark is "."
  EXPECT_EQ(blockValue<double>("double", "x"), 0.0);
  EXPECT_EQ(blockValue<float>("float", "0.1"), 0.1f);  // rounded once, as a float
  LibParameter text;
  ASSERT_TRUE(makeLibParameter("string", "Élan", text));
  std::string native = lib::nativeTextBlock("Élan");
  EXPECT_EQ(std::memcmp(text.data(), native.data(), native.size()), 0);
  EXPECT_EQ(native.back(), '\0');
  LibParameter none;
  EXPECT_FALSE(makeLibParameter("String", "x", none));
  EXPECT_FALSE(makeLibParameter("", "x", none));
  EXPECT_FALSE(makeLibParameter("long", "x", none));
}

class LibStore : public ::testing::Test {
 protected:
  void SetUp() override {
    engine.runLog.path = dir.file("run.log");
    library = testLibrary();
    if (library.empty()) GTEST_SKIP() << "run through ctest (needs the test library)";
  }
  int64_t run(const std::string& attrs) {
    doc = parseDocument("<ORVANTIS><LIB location=\"" + library + "\" " + attrs + "/></ORVANTIS>", "");
    return runEntry(engine, *findHandler("LIB"), *doc->root->children[0]);
  }
  test::TempDir dir;
  Engine engine;
  std::string library;
  std::unique_ptr<ParsedDocument> doc;
};

TEST_F(LibStore, ReturnValuesAreRecordedUnderTheLowerCasedName) {
  EXPECT_EQ(run("name=\"Echo\" function=\"EchoInteger\" ptype1=\"quad\" pvalue1=\"$7FFFFFFFFFFFFFFF\""), 1);
  EXPECT_EQ(engine.results.lib.at("echo"), INT64_MAX);
  // A refused value is still recorded; the directive fails.
  EXPECT_EQ(
      run("name=\"ECHO\" function=\"EchoInteger\" ptype1=\"integer\" pvalue1=\"-5\" validreturncode=\"0,5\""),
      0);
  EXPECT_EQ(engine.results.lib.at("echo"), -5);
  EXPECT_EQ(run("name=\"d\" function=\"DoubleBits\" ptype1=\"double\" pvalue1=\"-0.1\""), 1);
  double d = 0;
  std::memcpy(&d, &engine.results.lib.at("d"), sizeof d);
  EXPECT_EQ(d, -0.1);
}

TEST_F(LibStore, NothingIsRecordedWhenTheFunctionIsNotCalled) {
  EXPECT_EQ(run("name=\"a\" function=\"NotExported\""), 0);
  EXPECT_EQ(run("name=\"b\" function=\"EchoInteger\" ptype1=\"Integer\" pvalue1=\"1\""), 0);
  EXPECT_EQ(run("name=\"c\""), 0);
  EXPECT_TRUE(engine.results.lib.empty());
  EXPECT_EQ(test::logLines(engine.runLog.path).back(),
            "\tX-> Il est obligatoire de spécifier un nom de fonction.");
}

// ---- The element handle ----

struct Seen {
  std::string text, truncated, absent, tag, path, memo;
  std::u16string wide, wideCut;
  int64_t textLength = 0, absentLength = 0, wideLength = 0, missingMemo = 0;
  uint32_t version = 0, size = 0;
  int badMemo = -1;
};
Seen seen;

intptr_t probe(OrvElement* e) {
  const OrvHostApi* api = e->api;
  seen.version = api->version;
  seen.size = api->size;
  char buf[64];
  seen.textLength = api->attribute(e, "TEXT", buf, sizeof buf);
  seen.text = buf;
  api->attribute(e, "text", buf, 8);  // "monde é": the é does not fit in 7 bytes
  seen.truncated = buf;
  seen.absentLength = api->attribute(e, "nothere", buf, sizeof buf);
  seen.absent = buf;
  char16_t wide[16];
  seen.wideLength = api->attributeUtf16(e, "text", wide, 16);
  seen.wide = wide;
  api->attributeUtf16(e, "emoji", wide, 3);  // "a" and a surrogate pair that does not fit
  seen.wideCut = wide;
  api->tag(e, buf, sizeof buf);
  seen.tag = buf;
  api->path(e, buf, sizeof buf);
  seen.path = buf;
  api->memo(e, "who", buf, sizeof buf);
  seen.memo = buf;
  seen.missingMemo = api->memo(e, "nobody", buf, sizeof buf);
  api->setMemo(e, "out", "écrit");
  seen.badMemo = api->setMemo(e, nullptr, "x");
  api->log(e, "ERR+1", "erreur du plugin");
  api->log(e, "+99999999999", "niveau absurde");
  return 0x1FF;  // only the low byte counts: -1
}

class Handle : public ::testing::Test {
 protected:
  void SetUp() override {
    engine.runLog.path = dir.file("run.log");
    engine.memos.set("who", "monde");
  }
  int64_t call(const std::string& element, PluginTagBinding& binding) {
    doc = parseDocument("<ORVANTIS>" + element + "</ORVANTIS>", "");
    return binding(engine, *doc->root->children[0]);
  }
  std::vector<std::string> lines() { return test::logLines(engine.runLog.path); }
  test::TempDir dir;
  Engine engine;
  std::unique_ptr<ParsedDocument> doc;
};

TEST_F(Handle, TagFunctionsReadAndWriteThroughTheHostTable) {
  auto library = std::make_shared<PluginLibrary>();
  int marker = 0;
  library->handle = &marker;  // stands for a loaded library: never unloaded here
  PluginTagBinding binding{library, reinterpret_cast<void*>(&probe)};
  EXPECT_EQ(call("<PROBE Text=\"#who# é\" emoji=\"a&#x1F600;\"/>", binding), -1);
  EXPECT_EQ(seen.version, 1u);
  EXPECT_EQ(seen.size, sizeof(OrvHostApi));
  EXPECT_EQ(seen.text, "monde é");
  EXPECT_EQ(seen.textLength, 8);
  EXPECT_EQ(seen.truncated, "monde ");
  EXPECT_EQ(seen.absentLength, -1);
  EXPECT_EQ(seen.absent, "");
  EXPECT_EQ(seen.wide, u"monde é");
  EXPECT_EQ(seen.wideLength, 7);
  EXPECT_EQ(seen.wideCut, u"a");
  EXPECT_EQ(seen.tag, "PROBE");
  EXPECT_EQ(seen.path, "/ORVANTIS/PROBE");
  EXPECT_EQ(seen.memo, "monde");
  EXPECT_EQ(seen.missingMemo, -1);
  EXPECT_EQ(engine.memos.find("out")->value, "écrit");
  EXPECT_EQ(seen.badMemo, 0);
  std::vector<std::string> log = lines();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[log.size() - 2], "\tX-> erreur du plugin");
  EXPECT_EQ(log[log.size() - 1], "\tniveau absurde");
  library->handle = nullptr;
}

TEST_F(Handle, UnloadedLibraryOrNoAttributesMeansNoCall) {
  auto library = std::make_shared<PluginLibrary>();
  PluginTagBinding binding{library, reinterpret_cast<void*>(&probe)};
  seen = {};
  EXPECT_EQ(call("<PROBE a=\"1\"/>", binding), 0);
  EXPECT_EQ(lines().back(), "\tX-> La librairie n'est plus disponible, impossible d'appeler la balise.");
  int marker = 0;
  library->handle = &marker;
  EXPECT_EQ(call("<PROBE/>", binding), 0);
  EXPECT_EQ(lines().back(), "\tChargement des paramètres de la directive :");
  EXPECT_EQ(seen.version, 0u);  // never called
  library->handle = nullptr;
}

TEST(PluginHost, LevelTokensFromPlugInsAreBounded) {
  EXPECT_EQ(safeLevel("ERR+2"), "ERR+2");
  EXPECT_EQ(safeLevel("wrn+1"), "wrn+1");
  EXPECT_EQ(safeLevel("LVL"), "LVL");
  EXPECT_EQ(safeLevel("+12"), "+12");
  EXPECT_EQ(safeLevel("+123"), "+1");
  EXPECT_EQ(safeLevel("NIV2"), "+1");
  EXPECT_EQ(safeLevel(""), "+1");
  EXPECT_EQ(safeLevel(nullptr), "+1");
}

TEST(Utf16, ConversionsReplaceMalformedInput) {
  EXPECT_EQ(utf8ToUtf16("é€\xF0\x9F\x98\x80"), u"é€\U0001F600");
  EXPECT_EQ(utf16ToUtf8(u"é€\U0001F600"), "é€\xF0\x9F\x98\x80");
  EXPECT_EQ(utf8ToUtf16("a\xFFz"), u"a\uFFFDz");
  EXPECT_EQ(utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // an encoded surrogate
  std::u16string lone = u"a";
  lone += char16_t(0xD800);
  EXPECT_EQ(utf16ToUtf8(lone), "a\xEF\xBF\xBD");
  const char16_t field[4] = {u'a', u'b', u'c', u'd'};  // a full field has no NUL
  EXPECT_EQ(boundedUtf16(field, 4), u"abcd");
}

}  // namespace orv
