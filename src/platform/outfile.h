// A file written in pieces, for data that arrives over time (downloads).
#pragma once
#include <cstddef>
#include <memory>
#include <string>

namespace orv::fs {

// A file opened for writing; destroying it without close() just closes it.
class OutputFile {
 public:
  struct Impl;
  explicit OutputFile(std::unique_ptr<Impl> impl);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Appends n bytes; false on any failure.
  bool write(const char* data, size_t n);
  // Flushes the data to the disk and closes the file; true when all went well.
  bool close();

 private:
  std::unique_ptr<Impl> impl_;
};

// Creates path (or truncates an existing file) for writing; nothing on failure
// (the failure recorded as the thread's last OsError).
std::unique_ptr<OutputFile> createOutputFile(const std::string& path);

}  // namespace orv::fs
