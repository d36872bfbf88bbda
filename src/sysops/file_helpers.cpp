#include "sysops/file_helpers.h"

#include "platform/file_ops.h"
#include "platform/files.h"

namespace orv {

std::string withoutTrailingSeparator(const std::string& path) {
  size_t end = path.find_last_not_of("\\/");
  return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

std::string joinPath(const std::string& folder, const std::string& name) {
  return folder + fs::separator() + name;
}

std::vector<std::string> directoryTreePrefixes(const std::string& path, char sep) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t pos; (pos = path.find_first_of("\\/", start)) != std::string::npos; start = pos + 1)
    parts.push_back(path.substr(start, pos - start));
  parts.push_back(path.substr(start));
  std::vector<std::string> out;
  std::string prefix;
  size_t next = 1;
  bool unc = path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/');
  if (unc && parts.size() > 2) {
    prefix = std::string(2, sep) + parts[2];
    next = 3;
  } else {
    prefix = parts[0];
  }
  if (!prefix.empty()) out.push_back(prefix);
  for (; next < parts.size(); ++next) {
    if (parts[next].empty()) continue;
    prefix += sep + parts[next];
    out.push_back(prefix);
  }
  return out;
}

bool isVolumeRoot(const std::string& path) {
  std::string p = withoutTrailingSeparator(path);
  if (p.empty()) return !path.empty();
  if (p.size() == 2 && p[1] == ':') return true;
  bool unc = p.size() > 2 && (p[0] == '\\' || p[0] == '/') && (p[1] == '\\' || p[1] == '/');
  if (!unc) return false;
  size_t server = p.find_first_of("\\/", 2);  // end of the server name
  return server == std::string::npos || p.find_first_of("\\/", server + 1) == std::string::npos;
}

bool createDirectoryTree(const std::string& path) {
  for (const std::string& prefix : directoryTreePrefixes(path, fs::separator()))
    fs::fileOps().makeDirectory(prefix);
  return fs::dirExists(path);
}

static void listInto(const std::string& folder, const std::string& pattern, bool recursive,
                     std::vector<std::string>& out) {
  std::optional<std::vector<fs::DirEntry>> entries = fs::findEntries(folder, pattern);
  if (!entries) return;
  for (const fs::DirEntry& e : *entries) {
    if (!e.isDir) continue;
    std::string path = joinPath(folder, e.name);
    out.push_back(path);
    if (recursive && !e.isLink) listInto(path, pattern, true, out);
  }
}

std::vector<std::string> listSubDirectories(const std::string& folder, const std::string& pattern,
                                            bool recursive) {
  std::vector<std::string> out;
  listInto(folder, pattern, recursive, out);
  return out;
}

static void deleteInto(const std::string& folder, const std::string& pattern, bool recursive,
                       DeleteTally& tally) {
  std::optional<std::vector<fs::DirEntry>> entries = fs::findEntries(folder, pattern);
  if (!entries) return;
  for (const fs::DirEntry& e : *entries) {
    if (tally.failed) return;
    std::string path = joinPath(folder, e.name);
    if (!e.isDir) {
      if (deleteFileForced(path))
        ++tally.deleted;
      else
        tally.failed = true;
    } else if (recursive && !e.isLink) {
      deleteInto(path, pattern, true, tally);
    }
  }
}

DeleteTally deleteMatchingFiles(const std::string& folder, const std::string& pattern, bool recursive) {
  DeleteTally tally;
  deleteInto(folder, pattern, recursive, tally);
  return tally;
}

bool deleteFileForced(const std::string& path) {
  if (!fs::isLink(path)) fs::fileOps().clearReadOnly(path);
  return fs::fileOps().removeFile(path);
}

bool removeTree(const std::string& given, bool force) {
  // "dir/" would name what a link points to, not the link.
  std::string path = withoutTrailingSeparator(given).empty() ? given : withoutTrailingSeparator(given);
  if (fs::isLink(path)) return fs::fileOps().removeLink(path);
  if (!fs::dirExists(path)) return force ? deleteFileForced(path) : fs::fileOps().removeFile(path);
  if (force) fs::fileOps().clearReadOnly(path);
  std::optional<std::vector<fs::DirEntry>> entries = fs::findEntries(path, "");
  bool ok = entries.has_value();
  for (const fs::DirEntry& e : entries.value_or(std::vector<fs::DirEntry>())) {
    std::string child = joinPath(path, e.name);
    if (e.isLink)
      ok = fs::fileOps().removeLink(child) && ok;
    else if (e.isDir)
      ok = removeTree(child, force) && ok;
    else if (e.readOnly && !force)
      ok = false;  // a read-only mark protects the file
    else
      ok = (force ? deleteFileForced(child) : fs::fileOps().removeFile(child)) && ok;
  }
  return fs::fileOps().removeDirectory(path) && ok;
}

bool copyDirectory(const std::string& source, const std::string& target, const std::string& filter,
                   bool recursive) {
  if (!fs::dirExists(source) || !createDirectoryTree(target)) return false;
  std::optional<std::vector<fs::DirEntry>> entries = fs::findEntries(source, "");
  if (!entries) return false;
  bool ok = true;
  for (const fs::DirEntry& e : *entries) {
    std::string from = joinPath(source, e.name), to = joinPath(target, e.name);
    if (e.isDir) {
      // Links to folders are not entered: they could lead out of the tree or loop.
      if (recursive && !e.isLink) ok = copyDirectory(from, to, filter, true) && ok;
    } else if (fs::matchesFileFilter(e.name, filter)) {
      ok = fs::fileOps().copyFile(from, to) && ok;
    }
  }
  return ok;
}

}  // namespace orv
