#include "test_support.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "platform/file_ops.h"
#include "platform/files.h"
#include "platform/system.h"

namespace orv::test {

TempDir::TempDir() {
  std::random_device rd;
  auto base = std::filesystem::temp_directory_path();
  for (;;) {
    auto candidate = base / ("orvantis-test-" + std::to_string(rd()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate.string();
      break;
    }
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

PrivateRegistry::PrivateRegistry(const TempDir& dir) : saved_(sys::getEnv("ORVANTIS_REGISTRY")) {
  sys::setEnv("ORVANTIS_REGISTRY", dir.file("registry.sqlite3"));
}

PrivateRegistry::~PrivateRegistry() { sys::setEnv("ORVANTIS_REGISTRY", saved_); }

bool logHas(const std::string& path, const std::string& text) {
  for (const std::string& line : logLines(path))
    if (line.find(text) != std::string::npos) return true;
  return false;
}

std::string TempDir::file(const std::string& name) const { return path_ + fs::separator() + name; }

std::string slurp(const std::string& path) { return fs::readFile(path).value_or(""); }

void spit(const std::string& path, const std::string& text) { fs::writeFile(path, text); }

std::vector<std::string> logLines(const std::string& path) {
  std::vector<std::string> lines;
  std::string text = slurp(path);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    size_t sep = line.find(" : ");
    lines.push_back(sep == std::string::npos ? line : line.substr(sep + 3));
    start = end + 2;
  }
  return lines;
}

struct FileOpsRecorder::State {
  std::vector<std::string> calls;
  std::string failOp;
  size_t failNth = 0;
  bool failLater = false;
  std::map<std::string, size_t> counts;

  // Records the call; true when it must fail.
  bool fails(const std::string& op, const std::string& path) {
    calls.push_back(op + " " + path);
    size_t n = ++counts[failOp.empty() ? std::string() : op];
    if (failNth == 0 || (!failOp.empty() && op != failOp)) return false;
    return n == failNth || (failLater && n > failNth);
  }
};

namespace {

class Recording : public fs::FileOps {
 public:
  explicit Recording(std::shared_ptr<FileOpsRecorder::State> state) : s_(std::move(state)) {}
  bool removeFile(const std::string& p) override {
    return !s_->fails("removeFile", p) && FileOps::removeFile(p);
  }
  bool removeDirectory(const std::string& p) override {
    return !s_->fails("removeDirectory", p) && FileOps::removeDirectory(p);
  }
  bool removeLink(const std::string& p) override {
    return !s_->fails("removeLink", p) && FileOps::removeLink(p);
  }
  bool clearReadOnly(const std::string& p) override {
    return !s_->fails("clearReadOnly", p) && FileOps::clearReadOnly(p);
  }
  bool copyFile(const std::string& from, const std::string& to) override {
    return !s_->fails("copyFile", to) && FileOps::copyFile(from, to);
  }
  bool appendToFile(const std::string& p, const std::string& bytes) override {
    return !s_->fails("appendToFile", p) && FileOps::appendToFile(p, bytes);
  }
  fs::RewriteOutcome writeAtStart(const std::string& p, const std::string& bytes) override {
    if (s_->fails("writeAtStart", p)) return fs::RewriteOutcome::WriteFailed;
    return FileOps::writeAtStart(p, bytes);
  }
  bool replaceFileContent(const std::string& p, const std::string& bytes) override {
    return !s_->fails("replaceFileContent", p) && FileOps::replaceFileContent(p, bytes);
  }
  bool renamePath(const std::string& from, const std::string& to) override {
    return !s_->fails("renamePath", from) && FileOps::renamePath(from, to);
  }
  bool touchFile(const std::string& p) override {
    return !s_->fails("touchFile", p) && FileOps::touchFile(p);
  }
  bool makeDirectory(const std::string& p) override {
    return !s_->fails("makeDirectory", p) && FileOps::makeDirectory(p);
  }
  bool createDirectories(const std::string& p) override {
    return !s_->fails("createDirectories", p) && FileOps::createDirectories(p);
  }

 private:
  std::shared_ptr<FileOpsRecorder::State> s_;
};

}  // namespace

FileOpsRecorder::FileOpsRecorder() : state_(std::make_shared<State>()) {
  fs::installFileOps(std::make_unique<Recording>(state_));
}

FileOpsRecorder::~FileOpsRecorder() { fs::installFileOps(nullptr); }

void FileOpsRecorder::failCall(const std::string& op, size_t nth, bool andLater) {
  state_->failOp = op;
  state_->failNth = nth;
  state_->failLater = andLater;
  state_->counts.clear();
}

std::vector<std::string> FileOpsRecorder::calls(const std::string& op) const {
  std::vector<std::string> out;
  for (const std::string& call : state_->calls)
    if (op.empty() || call.compare(0, op.size() + 1, op + " ") == 0) out.push_back(call);
  return out;
}

}  // namespace orv::test
