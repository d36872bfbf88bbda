// Files and folders. Paths are UTF-8; the Windows twin widens them at the call.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
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
// Reads a file from its start in blocks (64 KiB at most), handing each to sink,
// which returns false to stop early. Large files never sit whole in memory.
// False when the file cannot be opened or a read fails.
bool readBlocks(const std::string& path, const std::function<bool(std::string_view)>& sink);
// Writes bytes to a new or truncated file; true on success.
bool writeFile(const std::string& path, const std::string& bytes);
// Opens path for reading and writing without truncating it (creating it when
// missing, others may read meanwhile), appends bytes at the end, closes it.
bool appendToFile(const std::string& path, const std::string& bytes);
// Opens an existing file read-write, or creates it empty; closes it. True on success.
bool touchFile(const std::string& path);

// The folder part of a path: everything up to and including its last "\" or "/".
std::string folderPart(const std::string& path);
// The file part of a path: everything after its last "\" or "/".
std::string filePart(const std::string& path);
// The platform's preferred separator ("\" on Windows, "/" elsewhere).
char separator();

// ---- Tree operations used by the file directives ----

// One entry of a folder listing. A link to a folder (symbolic link, junction)
// has isDir and isLink both set, as Windows reports it.
struct DirEntry {
  std::string name;
  bool isDir = false;
  bool isLink = false;
  bool readOnly = false;
};
// Entries directly inside folder whose names match pattern the way the platform
// enumerates (FindFirstFileW on Windows, the same rules elsewhere); an empty
// pattern lists all; "." and ".." are left out. Nothing when the folder cannot be listed.
std::optional<std::vector<DirEntry>> findEntries(const std::string& folder, const std::string& pattern);
// True when name matches a shell file filter (PathMatchSpecW on Windows, the same rules elsewhere).
bool matchesFileFilter(const std::string& name, const std::string& filter);
// True when path itself is a symbolic link, junction or other reparse point.
bool isLink(const std::string& path);
// Creates one folder (its parent must exist); true on success.
bool makeDirectory(const std::string& path);
// Removes an empty folder; true on success.
bool removeDirectory(const std::string& path);
// Removes a link itself (never what it points to); true on success.
bool removeLink(const std::string& path);
// Clears the read-only mark of a file or folder; true on success.
bool clearReadOnly(const std::string& path);
// Copies a file over `to` (replacing an existing file, keeping the times) at
// disk speed; copying a file onto itself fails. No partial target is left on failure.
bool copyFile(const std::string& from, const std::string& to);
// What writeAtStart managed.
enum class RewriteOutcome { OpenFailed, WriteFailed, Written };
// Opens path read-write without truncating it (creating it when absent) and
// writes bytes at its start; longer old content stays after them.
RewriteOutcome writeAtStart(const std::string& path, const std::string& bytes);
// Sets the label of the volume whose root is given; false where there is no such call.
bool setVolumeLabel(const std::string& root, const std::string& label);

}  // namespace orv::fs
