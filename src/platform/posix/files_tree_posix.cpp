// POSIX tree operations for the file directives.
#include <dirent.h>
#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "platform/files.h"
#include "platform/os_error.h"
#include "platform/posix/path_native.h"
// The portable wildcard rules (pure text functions) stand in for the Windows matchers.
#include "platform/pattern.h"

namespace orv::fs {

using posix::failed;
using posix::native;

namespace {

DirEntry describe(const std::string& full, const std::string& name) {
  DirEntry e;
  e.name = name;
  struct stat st;
  if (lstat(full.c_str(), &st) != 0) return e;
  e.isLink = S_ISLNK(st.st_mode);
  if (e.isLink) {
    struct stat target;
    e.isDir = stat(full.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
  } else {
    e.isDir = S_ISDIR(st.st_mode);
    e.readOnly = !(st.st_mode & S_IWUSR);
  }
  return e;
}

bool writeAllAt(int fd, const std::string& bytes, off_t offset) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = pwrite(fd, bytes.data() + done, bytes.size() - done, offset + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Kernel-side copy first (copy_file_range, then sendfile), plain reads last.
bool copyContent(int in, int out) {
  for (;;) {
    ssize_t n = copy_file_range(in, nullptr, out, nullptr, size_t{1} << 30, 0);
    if (n == 0) return true;
    if (n > 0) continue;
    if (errno == EINTR) continue;
    if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP) break;
    return false;
  }
  for (;;) {
    ssize_t n = sendfile(out, in, nullptr, size_t{1} << 30);
    if (n == 0) return true;
    if (n > 0) continue;
    if (errno == EINTR) continue;
    if (errno == EINVAL || errno == ENOSYS) break;
    return false;
  }
  // On the heap, only on this path: a thread-local array would be zeroed at every thread start.
  constexpr size_t kBuffer = size_t{1} << 20;
  std::unique_ptr<char[]> block(new char[kBuffer]);
  char* buf = block.get();
  for (;;) {
    ssize_t n = read(in, buf, kBuffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    for (ssize_t done = 0; done < n;) {
      ssize_t w = write(out, buf + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) return false;
      done += w;
    }
  }
}

}  // namespace

std::optional<std::vector<DirEntry>> findEntries(const std::string& folder, const std::string& pattern) {
  const std::string dir = folder.empty() ? std::string(".") : native(folder);
  DIR* d = opendir(dir.c_str());
  if (!d) return std::nullopt;
  std::vector<DirEntry> out;
  std::string base = dir.back() == '/' ? dir : dir + "/";
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == ".." || !matchFindPattern(name, pattern)) continue;
    out.push_back(describe(base + name, name));
  }
  closedir(d);
  // readdir's order depends on the file system's history: name order keeps runs reproducible.
  std::sort(out.begin(), out.end(), [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
  return out;
}

bool matchesFileFilter(const std::string& name, const std::string& filter) {
  return matchFileFilter(name, filter);
}

bool isLink(const std::string& path) {
  struct stat st;
  return lstat(native(path).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool makeDirectory(const std::string& path) {
  return mkdir(native(path).c_str(), 0777) == 0 || failed("mkdir", path);
}

bool removeDirectory(const std::string& path) {
  return rmdir(native(path).c_str()) == 0 || failed("rmdir", path);
}

bool removeLink(const std::string& path) {
  return unlink(native(path).c_str()) == 0 || failed("unlink", path);
}

bool clearReadOnly(const std::string& path) {
  std::string p = native(path);
  struct stat st;
  if (lstat(p.c_str(), &st) != 0 || S_ISLNK(st.st_mode)) return false;
  return chmod(p.c_str(), (st.st_mode & 07777) | S_IWUSR) == 0;
}

bool copyFile(const std::string& from, const std::string& to) {
  std::string src = native(from), dst = native(to);
  int in = open(src.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return failed("open", from);
  struct stat st, existing;
  bool ok = fstat(in, &st) == 0 && S_ISREG(st.st_mode);
  if (ok && stat(dst.c_str(), &existing) == 0)
    ok = !(existing.st_dev == st.st_dev && existing.st_ino == st.st_ino);
  int out = ok ? open(dst.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, st.st_mode & 0777) : -1;
  if (out < 0) {
    if (ok) failed("open", to);
    close(in);
    return false;
  }
  ok = copyContent(in, out) || failed("write", to);
  timespec times[2] = {st.st_atim, st.st_mtim};
  if (ok) futimens(out, times);
  ok = close(out) == 0 && ok;
  close(in);
  if (!ok) unlink(dst.c_str());
  return ok;
}

RewriteOutcome writeAtStart(const std::string& path, const std::string& bytes) {
  int fd = open(native(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) {
    failed("open", path);
    return RewriteOutcome::OpenFailed;
  }
  bool ok = writeAllAt(fd, bytes, 0);
  ok = close(fd) == 0 && ok;
  return ok ? RewriteOutcome::Written : RewriteOutcome::WriteFailed;
}

bool setVolumeLabel(const std::string&, const std::string&) {
  errno = ENOSYS;  // no portable call sets a volume label here
  return false;
}

}  // namespace orv::fs
