// File-system helpers shared by the file directives (COPY, DELETE, CREATE, ...).
// None of them follows a symbolic link or junction into what it points to.
#pragma once
#include <string>
#include <vector>

namespace orv {

// The path with its trailing "/" and "\" characters removed.
std::string withoutTrailingSeparator(const std::string& path);
// folder + the platform's separator + name.
std::string joinPath(const std::string& folder, const std::string& name);

// The prefixes createDirectoryTree creates, in order: for "\\server\share\d"
// "\\server", "\\server\share", "\\server\share\d"; otherwise from the first part
// ("C:", "C:\a", ...). Parts are joined with sep.
std::vector<std::string> directoryTreePrefixes(const std::string& path, char sep);
// Creates every missing folder along path (failures on the way ignored); true
// when path is a folder afterwards.
bool createDirectoryTree(const std::string& path);

// Sub-folders of folder whose names match pattern (enumeration rules), as
// folder + separator + name; with recursive each real folder's own listing
// follows it (a parent precedes its children). Links to folders are listed, never entered.
std::vector<std::string> listSubDirectories(const std::string& folder, const std::string& pattern,
                                            bool recursive);

// What deleteMatchingFiles did.
struct DeleteTally {
  size_t deleted = 0;
  bool failed = false;
  // True when files were deleted and none failed.
  bool succeeded() const { return deleted > 0 && !failed; }
};
// Deletes the files of folder whose names match pattern (read-only marks
// cleared first); with recursive, matching sub-folders are processed the same
// way. The first failed deletion stops the walk.
DeleteTally deleteMatchingFiles(const std::string& folder, const std::string& pattern, bool recursive);

// True when path names the root of a volume or share ("/", "C:\", "\\server\share").
bool isVolumeRoot(const std::string& path);

// Deletes one file (or link), clearing its read-only mark first; true on success.
bool deleteFileForced(const std::string& path);
// Removes a folder and everything in it; links inside are removed, not
// followed; read-only files are deleted only with force. True on success.
bool removeTree(const std::string& path, bool force);

// Copies the files of source whose names match filter (PathMatchSpecW rules;
// empty: all) into target, creating it; with recursive every sub-folder is
// created and copied too. True when everything was copied.
bool copyDirectory(const std::string& source, const std::string& target, const std::string& filter,
                   bool recursive);

}  // namespace orv
