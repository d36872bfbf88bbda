// The file operations that write or destroy, behind one replaceable seam:
// the platform's own calls by default; a test installs a recorder that can
// fail a chosen call (a full disk, a denied deletion) without touching the
// machine's files.
#pragma once
#include <memory>
#include <string>

#include "platform/files.h"

namespace orv::fs {

class FileOps {
 public:
  virtual ~FileOps() = default;
  // Each operation does what the platform function of the same name does
  // (platform/files.h, platform/filelock.h).
  virtual bool removeFile(const std::string& path);
  virtual bool removeDirectory(const std::string& path);
  virtual bool removeLink(const std::string& path);
  virtual bool clearReadOnly(const std::string& path);
  virtual bool copyFile(const std::string& from, const std::string& to);
  virtual bool appendToFile(const std::string& path, const std::string& bytes);
  virtual RewriteOutcome writeAtStart(const std::string& path, const std::string& bytes);
  virtual bool replaceFileContent(const std::string& path, const std::string& bytes);
  virtual bool renamePath(const std::string& from, const std::string& to);
  virtual bool touchFile(const std::string& path);
  virtual bool makeDirectory(const std::string& path);
  virtual bool createDirectories(const std::string& path);
};

// The operations in use: the installed ones, else the platform's.
FileOps& fileOps();
// Installs ops (nullptr: the platform's again); returns the ones replaced.
std::unique_ptr<FileOps> installFileOps(std::unique_ptr<FileOps> ops);

}  // namespace orv::fs
