// The default file operations: straight calls of the platform functions.
#include "platform/file_ops.h"

#include "platform/filelock.h"

namespace orv::fs {

bool FileOps::removeFile(const std::string& path) { return fs::removeFile(path); }
bool FileOps::removeDirectory(const std::string& path) { return fs::removeDirectory(path); }
bool FileOps::removeLink(const std::string& path) { return fs::removeLink(path); }
bool FileOps::clearReadOnly(const std::string& path) { return fs::clearReadOnly(path); }
bool FileOps::copyFile(const std::string& from, const std::string& to) { return fs::copyFile(from, to); }
bool FileOps::appendToFile(const std::string& path, const std::string& bytes) {
  return fs::appendToFile(path, bytes);
}
RewriteOutcome FileOps::writeAtStart(const std::string& path, const std::string& bytes) {
  return fs::writeAtStart(path, bytes);
}
bool FileOps::replaceFileContent(const std::string& path, const std::string& bytes) {
  return fs::replaceFileContent(path, bytes);
}
bool FileOps::renamePath(const std::string& from, const std::string& to) { return fs::renamePath(from, to); }
bool FileOps::touchFile(const std::string& path) { return fs::touchFile(path); }
bool FileOps::makeDirectory(const std::string& path) { return fs::makeDirectory(path); }
bool FileOps::createDirectories(const std::string& path) { return fs::createDirectories(path); }

namespace {

std::unique_ptr<FileOps>& installed() {
  static std::unique_ptr<FileOps> ops;
  return ops;
}

}  // namespace

FileOps& fileOps() {
  static FileOps platform;
  std::unique_ptr<FileOps>& ops = installed();
  return ops ? *ops : platform;
}

std::unique_ptr<FileOps> installFileOps(std::unique_ptr<FileOps> ops) {
  std::unique_ptr<FileOps> previous = std::move(installed());
  installed() = std::move(ops);
  return previous;
}

}  // namespace orv::fs
