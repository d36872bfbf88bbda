#include "test_support.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/files.h"

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

}  // namespace orv::test
