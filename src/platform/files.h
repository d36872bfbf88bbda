// Files and folders. Paths are UTF-8; the Windows twin widens them at the call.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orv::fs {

// True when a regular file (not a folder) exists at path.
bool fileExists(const std::string& path);
// True when a folder exists at path.
bool dirExists(const std::string& path);
// True when anything (file, folder, link) exists at path.
bool pathExists(const std::string& path);
// Creates path and every missing parent folder; true when the folder exists afterwards.
bool createDirectories(const std::string& path);
// Size in bytes of the file at path, or -1 when it does not exist.
int64_t fileSize(const std::string& path);
// Deletes a file; true on success.
bool removeFile(const std::string& path);
// Renames (moves) a file or folder; fails when `to` exists. True on success.
bool renamePath(const std::string& from, const std::string& to);
// Atomically replaces `to` by `from` (same folder); true on success.
bool replaceFile(const std::string& from, const std::string& to);
// Whole content of a file, or nothing when it cannot be opened or read.
std::optional<std::string> readFile(const std::string& path);
// Writes bytes to a new or truncated file; true on success.
bool writeFile(const std::string& path, const std::string& bytes);
// Opens path for reading and writing without truncating it (creating it when
// missing, others may read meanwhile), appends bytes at the end, closes it.
bool appendToFile(const std::string& path, const std::string& bytes);
// Opens an existing file read-write, or creates it empty; closes it. True on success.
bool touchFile(const std::string& path);
// Names (no folder) of the regular files directly inside folder.
std::vector<std::string> listFiles(const std::string& folder);

// The folder part of a path: everything up to and including its last "\" or "/".
std::string folderPart(const std::string& path);
// The file part of a path: everything after its last "\" or "/".
std::string filePart(const std::string& path);
// The platform's preferred separator ("\" on Windows, "/" elsewhere).
char separator();

}  // namespace orv::fs
