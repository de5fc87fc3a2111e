#include "framework/platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <system_error>
#include <utility>

namespace quorvane {

namespace {

FileIdentity IdentityOf(const struct stat& status) {
  return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

}  // namespace

std::string FailureReason(int error) {
  if (error == kNotRegularFile) {
    return "not a regular file";
  }
  return std::generic_category().message(error);
}

bool GetFileIdentity(const std::string& path, FileIdentity& identity) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0) {
    return false;
  }
  identity = IdentityOf(status);
  return true;
}

PathKind GetPathKind(const char* path) {
  if (path == nullptr) {
    return PathKind::Invalid;
  }
  struct stat status;
  if (stat(path, &status) != 0) {
    return errno == ENOENT ? PathKind::Missing : PathKind::Invalid;
  }
  if (S_ISDIR(status.st_mode)) {
    return PathKind::Directory;
  }
  if (S_ISREG(status.st_mode)) {
    return PathKind::RegularFile;
  }
  return PathKind::Invalid;
}

std::string::size_type ContainsJsonExtension(const std::string& path) {
  return path.find(".json");
}

namespace {

// The listing's own rule, unlike the user-path marker test: the extension
// proper, in any letter case.
bool HasJsonExtension(const std::string& name) {
  const auto dot = name.rfind('.');
  if (dot == std::string::npos || name.size() - dot != 5) {
    return false;
  }
  static constexpr char kExtension[] = ".json";
  for (std::size_t i = 0; i < 5; ++i) {
    const auto c = static_cast<unsigned char>(name[dot + i]);
    if (std::tolower(c) != kExtension[i]) {
      return false;
    }
  }
  return true;
}

struct ListedEntry {
  std::string name;
  bool isDirectory;
};

enum class EntryUse { Skip, File, Directory };

// Links to directories are never descended into, which rules out loops; a
// link is listed only when it leads to a regular file, since reading a fifo
// or a device named *.json would block or never end.
EntryUse ClassifyEntry(int directoryFd, const dirent& entry) {
  unsigned char type = entry.d_type;
  struct stat status;
  if (type == DT_UNKNOWN) {
    if (fstatat(directoryFd, entry.d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
      return EntryUse::Skip;
    }
    type = S_ISDIR(status.st_mode) ? DT_DIR
           : S_ISREG(status.st_mode) ? DT_REG
           : S_ISLNK(status.st_mode) ? DT_LNK
                                     : DT_UNKNOWN;
  }
  if (type == DT_DIR) {
    return EntryUse::Directory;
  }
  if (type != DT_REG && type != DT_LNK) {
    return EntryUse::Skip;
  }
  if (!HasJsonExtension(entry.d_name)) {
    return EntryUse::Skip;
  }
  if (type == DT_LNK &&
      (fstatat(directoryFd, entry.d_name, &status, 0) != 0 || !S_ISREG(status.st_mode))) {
    return EntryUse::Skip;
  }
  return EntryUse::File;
}

// The directory that was opened, whatever path led to it: a mount point
// or a link on the way does not hide it.
bool HasIdentity(int directoryFd, const FileIdentity& identity) {
  struct stat status;
  return fstat(directoryFd, &status) == 0 && IdentityOf(status) == identity;
}

// The entries of one directory worth visiting, in byte order of their names;
// false for a directory that cannot be read or is the one to leave out.
// The directory is closed again before its subdirectories are opened, so the
// walk holds one descriptor at a time however deep the tree is.
bool ReadListedEntries(const std::string& path, const FileIdentity* leaveOut,
                       std::vector<ListedEntry>& entries) {
  DIR* directory = opendir(path.c_str());
  if (directory == nullptr) {
    return false;
  }
  const int directoryFd = dirfd(directory);
  if (leaveOut != nullptr && HasIdentity(directoryFd, *leaveOut)) {
    closedir(directory);
    return false;
  }
  while (const dirent* entry = readdir(directory)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) {
      continue;
    }
    const EntryUse use = ClassifyEntry(directoryFd, *entry);
    if (use != EntryUse::Skip) {
      entries.push_back({entry->d_name, use == EntryUse::Directory});
    }
  }
  closedir(directory);
  // std::string compares as unsigned bytes.
  std::sort(entries.begin(), entries.end(),
            [](const ListedEntry& a, const ListedEntry& b) { return a.name < b.name; });
  return true;
}

}  // namespace

std::vector<std::string> ListJsonFiles(const std::string& directory,
                                       const FileIdentity* leaveOut) {
  // An explicit stack of the directories being visited keeps the pre-order
  // without a call per level; the current path is one string that grows and
  // shrinks, so a deep tree does not store a copy of its path per level.
  struct Frame {
    std::vector<ListedEntry> entries;
    std::size_t next = 0;
    std::size_t pathLength = 0;
  };
  std::vector<std::string> result;
  std::string path = directory;
  std::vector<Frame> stack(1);
  if (!ReadListedEntries(path, leaveOut, stack.back().entries)) {
    return result;
  }
  stack.back().pathLength = path.size();
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.next == top.entries.size()) {
      stack.pop_back();
      continue;
    }
    const ListedEntry& entry = top.entries[top.next++];
    path.resize(top.pathLength);
    path += '/';
    path += entry.name;
    // The system opens no path this long: such a file could only fail the
    // run, and such a directory holds nothing that can be opened.
    if (path.size() >= PATH_MAX) {
      continue;
    }
    if (!entry.isDirectory) {
      result.push_back(path);
      continue;
    }
    Frame child;
    if (ReadListedEntries(path, leaveOut, child.entries)) {
      child.pathLength = path.size();
      stack.push_back(std::move(child));
    }
  }
  return result;
}

ReadOutcome ReadFileBytes(const std::string& path, std::string& content, std::size_t maxBytes,
                          int* error) {
  content.clear();
  const auto failed = [&content, error](int reason) {
    content.clear();
    if (error != nullptr) {
      *error = reason;
    }
    return ReadOutcome::Failed;
  };
  // Non-blocking open so that a fifo cannot stall the run; it is refused below.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    return failed(errno);
  }
  struct stat status;
  if (fstat(fd, &status) != 0) {
    const int reason = errno;
    close(fd);
    return failed(reason);
  }
  if (!S_ISREG(status.st_mode)) {
    close(fd);
    return failed(S_ISDIR(status.st_mode) ? EISDIR : kNotRegularFile);
  }
  // Refused before a byte is stored: a huge (or sparse) file must not take
  // the memory it claims.
  if (static_cast<std::uintmax_t>(status.st_size) > maxBytes) {
    close(fd);
    return ReadOutcome::TooLarge;
  }
  content.reserve(static_cast<std::size_t>(status.st_size));
  char buffer[1 << 16];
  for (;;) {
    const ssize_t count = read(fd, buffer, sizeof buffer);
    if (count > 0) {
      // The file may grow while it is read.
      if (static_cast<std::size_t>(count) > maxBytes - content.size()) {
        content.clear();
        close(fd);
        return ReadOutcome::TooLarge;
      }
      content.append(buffer, static_cast<std::size_t>(count));
    } else if (count == 0) {
      break;
    } else if (errno != EINTR) {
      const int reason = errno;
      close(fd);
      return failed(reason);
    }
  }
  close(fd);
  return ReadOutcome::Read;
}

namespace {

// Writes all of `content` to `fd`; 0, or the errno of the failing write.
int WriteAll(int fd, const std::string& content) {
  const char* data = content.data();
  std::size_t left = content.size();
  while (left > 0) {
    const ssize_t count = write(fd, data, left);
    if (count > 0) {
      data += count;
      left -= static_cast<std::size_t>(count);
    } else if (count < 0 && errno == EINTR) {
      continue;
    } else {
      return count < 0 ? errno : EIO;
    }
  }
  return 0;
}

// Read once: the only way to learn the mask is to set it for a moment, and
// a file another thread created in that moment would miss the mask.
mode_t ProcessUmask() {
  static const mode_t mask = [] {
    const mode_t current = umask(0);
    umask(current);
    return current;
  }();
  return mask;
}

}  // namespace

WriteOutcome WriteFileBytes(const std::string& path, const std::string& content) {
  // Non-blocking open: a fifo without a reader fails here instead of hanging.
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) {
    return WriteOutcome::OpenFailed;
  }
  const int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) {
    fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  }
  const bool failed = WriteAll(fd, content) != 0;
  return close(fd) != 0 || failed ? WriteOutcome::WriteFailed : WriteOutcome::Written;
}

WriteOutcome WriteFileAtomically(const std::string& path, const std::string& content,
                                 int* error) {
  const auto failed = [error](WriteOutcome outcome, int reason) {
    if (error != nullptr) {
      *error = reason;
    }
    return outcome;
  };
  // Only what is there decides; nothing at `path` is ever opened, so a fifo
  // or a device cannot stall or swallow the output.
  struct stat existing;
  bool replacesFile = false;
  if (lstat(path.c_str(), &existing) == 0) {
    if (S_ISDIR(existing.st_mode)) {
      return failed(WriteOutcome::OpenFailed, EISDIR);
    }
    if (!S_ISREG(existing.st_mode) && !S_ISLNK(existing.st_mode)) {
      return failed(WriteOutcome::OpenFailed, kNotRegularFile);
    }
    replacesFile = S_ISREG(existing.st_mode);
  } else if (errno != ENOENT) {
    return failed(WriteOutcome::OpenFailed, errno);
  }
  // A file its user may not write stays as it is, as from a plain write.
  if (replacesFile && faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
    return failed(WriteOutcome::OpenFailed, errno);
  }

  // A short fixed name, so that it fits whatever the output's name is, and
  // never taken for a legacy file by a later listing.
  std::string temporary = path.substr(0, path.rfind('/') + 1) + ".lumiflow-XXXXXX";
  const int fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) {
    return failed(WriteOutcome::OpenFailed, errno);
  }
  // The replaced file's owner and permissions carry over to its successor.
  mode_t mode = 0666 & ~ProcessUmask();
  if (replacesFile) {
    mode = existing.st_mode & 0777;
    if (fchown(fd, existing.st_uid, existing.st_gid) != 0) {
      // Only root may give a file away; anyone else's output stays theirs.
    }
  }
  int reason = WriteAll(fd, content);
  if (reason == 0 && fchmod(fd, mode) != 0) {
    reason = errno;
  }
  if (close(fd) != 0 && reason == 0) {
    reason = errno;
  }
  if (reason == 0 && rename(temporary.c_str(), path.c_str()) != 0) {
    reason = errno;
  }
  if (reason != 0) {
    unlink(temporary.c_str());
    return failed(WriteOutcome::WriteFailed, reason);
  }
  return WriteOutcome::Written;
}

bool StandardInputIsTerminal() { return isatty(STDIN_FILENO) == 1; }

namespace {

struct ModuleSearch {
  const char* marker;
  std::string directory;
};

int FindModule(dl_phdr_info* info, std::size_t, void* data) {
  auto* search = static_cast<ModuleSearch*>(data);
  const char* name = info->dlpi_name;
  if (name == nullptr || *name == '\0') {
    return 0;
  }
  const char* slash = std::strrchr(name, '/');
  const char* fileName = slash != nullptr ? slash + 1 : name;
  if (std::strstr(fileName, search->marker) == nullptr) {
    return 0;
  }
  search->directory.assign(name, slash != nullptr ? static_cast<std::size_t>(slash + 1 - name) : 0);
  return 1;
}

}  // namespace

std::string LoadedModuleDirectory(const char* marker) {
  ModuleSearch search{marker, {}};
  if (marker != nullptr && *marker != '\0') {
    dl_iterate_phdr(FindModule, &search);
  }
  return search.directory;
}

std::string PresetDirectory() { return LoadedModuleDirectory("QuorvaneCore"); }

}  // namespace quorvane
