// Path text helpers shared by both platforms.
#include "platform/files.h"

namespace orv::fs {

static size_t lastSeparator(const std::string& path) { return path.find_last_of("\\/"); }

std::string folderPart(const std::string& path) {
  size_t pos = lastSeparator(path);
  return pos == std::string::npos ? std::string() : path.substr(0, pos + 1);
}

std::string filePart(const std::string& path) {
  size_t pos = lastSeparator(path);
  return pos == std::string::npos ? path : path.substr(pos + 1);
}

}  // namespace orv::fs
