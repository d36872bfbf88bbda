// EXEC of a child writing far more than any pipe holds on both streams: the
// whole output reaches the file and nothing blocks.
#include <gtest/gtest.h>

#include "engine/document.h"
#include "engine/engine.h"
#include "engine/interpreter.h"
#include "platform/files.h"
#include "platform/system.h"
#include "test_support.h"

namespace orv {

// Under Wine the pipes are much slower; 20 MB per stream keeps the test short there.
constexpr long long kBytes = sys::kWindowsBuild ? 20'000'000 : 100'000'000;

static std::string helper() {
  std::string dir = fs::folderPart(sys::selfPath());
  return fs::fileExists(dir + "orvhelper.exe") ? dir + "orvhelper.exe" : dir + "orvhelper";
}

TEST(ExecReliability, HundredsOfMegabytesOnBothStreams) {
  test::TempDir dir;
  Engine engine;
  engine.runLog.path = dir.file("run.log");
  std::string out = dir.file("out.txt");
  auto doc =
      parseDocument("<ORVANTIS><EXEC name=\"big\" programlocation=\"" + helper() + "\" parameters=\"out " +
                        std::to_string(kBytes) + " err " + std::to_string(kBytes) +
                        " exit 3\" mode=\"wait\" output=\"" + out + "\" validreturncode=\"3\"/></ORVANTIS>",
                    "");
  ASSERT_EQ(doc->status, 0);
  EXPECT_EQ(interpretNode(engine, *doc->root->children[0]), 1);
  EXPECT_EQ(engine.results.exec["big"], 3);
  // Lines of 64 bytes keep their length: the LF becomes a CR; the BOM is added.
  EXPECT_EQ(fs::fileSize(out), kBytes + 3);
  std::string tail = test::slurp(out).substr(static_cast<size_t>(kBytes) - 61);
  EXPECT_EQ(tail, std::string(63, 'x') + "\r");
}

}  // namespace orv
