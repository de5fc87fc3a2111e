#include "framework/platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <optional>
#include <random>
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

std::optional<FileIdentity> StandardStreamIdentity(int fd) {
  struct stat status;
  if (fstat(fd, &status) != 0) return std::nullopt;
  return IdentityOf(status);
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
  bool isDirectory = false;
  int error = 0;  // an entry that cannot serve, and why
};

// Links to directories are never descended into, which rules out loops; a
// link to a regular file is read like one. Of the rest, what is named like a
// template but cannot be read as one (a fifo or a device would block or
// never end) is listed with its error, never opened.
std::optional<ListedEntry> ClassifyEntry(int directoryFd, const dirent& entry) {
  const bool json = HasJsonExtension(entry.d_name);
  unsigned char type = entry.d_type;
  struct stat status;
  if (type == DT_UNKNOWN) {
    if (fstatat(directoryFd, entry.d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
      // Gone since the directory was read: nothing was there to convert.
      if (errno == ENOENT) return std::nullopt;
      return ListedEntry{entry.d_name, false, errno};
    }
    type = S_ISDIR(status.st_mode)   ? DT_DIR
           : S_ISREG(status.st_mode) ? DT_REG
           : S_ISLNK(status.st_mode) ? DT_LNK
                                     : DT_FIFO;  // any other kind, only its name matters
  }
  if (type == DT_DIR) return ListedEntry{entry.d_name, true};
  if (!json) return std::nullopt;
  if (type == DT_REG) return ListedEntry{entry.d_name};
  if (type != DT_LNK) return ListedEntry{entry.d_name, false, kNotRegularFile};
  if (fstatat(directoryFd, entry.d_name, &status, 0) != 0) {
    return ListedEntry{entry.d_name, false, errno};
  }
  return ListedEntry{entry.d_name, false, S_ISREG(status.st_mode) ? 0 : kNotRegularFile};
}

// The directory that was opened, whatever path led to it: a mount point
// or a link on the way does not hide it.
bool HasIdentity(int directoryFd, const FileIdentity& identity) {
  struct stat status;
  return fstat(directoryFd, &status) == 0 && IdentityOf(status) == identity;
}

enum class DirectoryRead { Listed, LeftOut, Failed };

// The entries of one directory worth visiting, in byte order of their
// names; Failed, with `error`, for a directory that cannot be read whole.
// The directory is closed again before its subdirectories are opened, so
// the walk holds one descriptor at a time however deep the tree is.
DirectoryRead ReadListedEntries(const std::string& path, const FileIdentity* leaveOut,
                                std::vector<ListedEntry>& entries, int& error) {
  DIR* directory = opendir(path.c_str());
  if (directory == nullptr) {
    error = errno;
    return DirectoryRead::Failed;
  }
  const int directoryFd = dirfd(directory);
  if (leaveOut != nullptr && HasIdentity(directoryFd, *leaveOut)) {
    closedir(directory);
    return DirectoryRead::LeftOut;
  }
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(directory);
    if (entry == nullptr) break;
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) {
      continue;
    }
    if (std::optional<ListedEntry> listed = ClassifyEntry(directoryFd, *entry)) {
      entries.push_back(std::move(*listed));
    }
  }
  // A listing cut short would leave files out unseen.
  error = errno;
  closedir(directory);
  if (error != 0) {
    entries.clear();
    return DirectoryRead::Failed;
  }
  // std::string compares as unsigned bytes.
  std::sort(entries.begin(), entries.end(),
            [](const ListedEntry& a, const ListedEntry& b) { return a.name < b.name; });
  return DirectoryRead::Listed;
}

}  // namespace

std::string JoinPath(std::string_view directory, std::string_view name) {
  std::string_view base = directory;
  while (!base.empty() && base.back() == '/') base.remove_suffix(1);
  std::string path;
  path.reserve(base.size() + 1 + name.size());
  path.append(base).append(1, '/').append(name);
  return path;
}

std::vector<ListedPath> ListJsonFiles(const std::string& directory,
                                      const FileIdentity* leaveOut) {
  // An explicit stack of the directories being visited keeps the pre-order
  // without a call per level; the current path is one string that grows and
  // shrinks, so a deep tree does not store a copy of its path per level.
  struct Frame {
    std::vector<ListedEntry> entries;
    std::size_t next = 0;
    std::size_t pathLength = 0;
  };
  std::vector<ListedPath> result;
  std::string path = JoinPath(directory, "");
  path.pop_back();
  // Below the listed directory, names start after its path and one '/'.
  const std::size_t relative = JoinPath(directory, "").size();
  std::vector<Frame> stack(1);
  int error = 0;
  switch (ReadListedEntries(directory, leaveOut, stack.back().entries, error)) {
    case DirectoryRead::Listed:
      break;
    case DirectoryRead::LeftOut:
      return result;
    case DirectoryRead::Failed:
      result.push_back({directory, directory.size(), error, true});
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
    // The system opens no path this long.
    if (path.size() >= PATH_MAX) {
      result.push_back({path, relative, ENAMETOOLONG, entry.isDirectory});
      continue;
    }
    if (!entry.isDirectory) {
      result.push_back({path, relative, entry.error});
      continue;
    }
    Frame child;
    switch (ReadListedEntries(path, leaveOut, child.entries, error)) {
      case DirectoryRead::Listed:
        child.pathLength = path.size();
        stack.push_back(std::move(child));
        break;
      case DirectoryRead::LeftOut:
        break;
      case DirectoryRead::Failed:
        result.push_back({path, relative, error, true});
        break;
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

// Writes all of `left` bytes at `data` to `fd`; 0, or the errno of the
// failing write.
int WriteAll(int fd, const char* data, std::size_t left) {
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

int WriteAll(int fd, const std::string& content) {
  return WriteAll(fd, content.data(), content.size());
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

namespace {

// A name of the form ".lumiflow-XXXXXX" beside `path` that nothing has yet,
// created with `mode` (less the umask, as the system applies it). Short and
// fixed, so that it fits whatever the output's name is, and never taken for
// a legacy file by a later listing.
int CreateTemporary(const std::string& path, mode_t mode, std::string& temporary) {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937_64 random{std::random_device{}()};
  const std::string directory = path.substr(0, path.rfind('/') + 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = directory + ".lumiflow-";
    std::uint64_t bits = random();
    for (int i = 0; i < 6; ++i, bits >>= 6) temporary += kLetters[bits % (sizeof kLetters - 1)];
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

}  // namespace

PendingFile::PendingFile(PendingFile&& other) noexcept
    : temporary_(std::move(other.temporary_)), path_(std::move(other.path_)) {
  other.temporary_.clear();
}

PendingFile& PendingFile::operator=(PendingFile&& other) noexcept {
  if (this != &other) {
    Discard();
    temporary_ = std::move(other.temporary_);
    path_ = std::move(other.path_);
    other.temporary_.clear();
  }
  return *this;
}

PendingFile::~PendingFile() { Discard(); }

void PendingFile::Discard() {
  if (!temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
}

WriteOutcome PendingFile::Write(const std::string& path, const std::string& content, int* error) {
  Discard();
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
  bool replaces = false;
  if (lstat(path.c_str(), &existing) == 0) {
    replaces = true;
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
  // Created with its final permissions: 0666 less the umask, or those of
  // the file it replaces, with its owner where the user may give it away.
  const mode_t mode = replacesFile ? existing.st_mode & 0777 : 0666;
  std::string temporary;
  const int fd = CreateTemporary(path, mode, temporary);
  if (fd < 0) {
    return failed(WriteOutcome::OpenFailed, errno);
  }
  temporary_ = std::move(temporary);
  path_ = path;
  int reason = 0;
  if (replacesFile) {
    if (fchown(fd, existing.st_uid, existing.st_gid) != 0) {
      // Only root may give a file away; anyone else's output stays theirs.
    }
    // The umask may have taken bits the replaced file had.
    if ((mode & ~ProcessUmask()) != mode && fchmod(fd, mode) != 0) reason = errno;
  }
  if (reason == 0) reason = WriteAll(fd, content);
  // Only a replacement risks data: a new file lost to a power cut leaves
  // what was there before, nothing.
  if (reason == 0 && replaces && fdatasync(fd) != 0) {
    reason = errno;
  }
  if (close(fd) != 0 && reason == 0) {
    reason = errno;
  }
  if (reason != 0) {
    Discard();
    return failed(WriteOutcome::WriteFailed, reason);
  }
  return WriteOutcome::Written;
}

WriteOutcome PendingFile::Commit(int* error) {
  if (temporary_.empty()) {
    if (error != nullptr) *error = ENOENT;
    return WriteOutcome::WriteFailed;
  }
  if (rename(temporary_.c_str(), path_.c_str()) != 0) {
    if (error != nullptr) *error = errno;
    Discard();
    return WriteOutcome::WriteFailed;
  }
  temporary_.clear();
  return WriteOutcome::Written;
}

WriteOutcome WriteFileAtomically(const std::string& path, const std::string& content,
                                 int* error) {
  PendingFile file;
  const WriteOutcome written = file.Write(path, content, error);
  return written == WriteOutcome::Written ? file.Commit(error) : written;
}

int WriteIntoExisting(const std::string& path, const std::string& content) {
  // Never created or truncated; non-blocking, so that a fifo nobody reads
  // fails at once rather than holding the run.
  const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return errno;
  const int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  int reason = WriteAll(fd, content);
  if (close(fd) != 0 && reason == 0) reason = errno;
  return reason;
}

int SyncDirectory(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  int reason = fsync(fd) != 0 ? errno : 0;
  // Some file systems cannot sync a directory; nothing more can be done there.
  if (reason == EINVAL || reason == ENOTSUP) reason = 0;
  close(fd);
  return reason;
}

std::string RealPath(const std::string& path, int& error) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) {
    error = errno;
    return {};
  }
  std::string result(resolved);
  std::free(resolved);
  return result;
}

void IgnoreWriteSignals() {
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
}

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
std::atomic<int> receivedStop{0};
struct sigaction previousActions[std::size(kStopSignals)];

extern "C" void RecordStop(int signal) {
  int none = 0;
  receivedStop.compare_exchange_strong(none, signal);
}

}  // namespace

StopSignals::StopSignals() {
  receivedStop = 0;
  struct sigaction action {};
  action.sa_handler = RecordStop;
  sigemptyset(&action.sa_mask);
  // Interrupted system calls go on: the run stops between files, not inside
  // a write.
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
    sigaction(kStopSignals[i], &action, &previousActions[i]);
  }
}

StopSignals::~StopSignals() {
  for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
    sigaction(kStopSignals[i], &previousActions[i], nullptr);
  }
}

int StopSignals::Received() { return receivedStop.load(); }

bool DescriptorBuffer::Flush() {
  const std::size_t length = static_cast<std::size_t>(pptr() - pbase());
  setp(buffer_, buffer_ + sizeof buffer_);
  // After a failure the rest goes nowhere, as into a closed pipe.
  if (error_ == 0) error_ = WriteAll(fd_, buffer_, length);
  return error_ == 0;
}

DescriptorBuffer::int_type DescriptorBuffer::overflow(int_type c) {
  if (!Flush()) return traits_type::eof();
  if (!traits_type::eq_int_type(c, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
  }
  return traits_type::not_eof(c);
}

int DescriptorBuffer::sync() { return Flush() ? 0 : -1; }

std::streamsize DescriptorBuffer::xsputn(const char* data, std::streamsize count) {
  std::streamsize done = 0;
  while (done < count) {
    if (pptr() == epptr() && !Flush()) return done;
    const std::streamsize room = std::min<std::streamsize>(epptr() - pptr(), count - done);
    std::memcpy(pptr(), data + done, static_cast<std::size_t>(room));
    pbump(static_cast<int>(room));
    done += room;
  }
  return done;
}

int StreamError(std::ostream& stream) {
  stream.flush();
  if (const auto* buffer = dynamic_cast<const DescriptorBuffer*>(stream.rdbuf())) {
    if (buffer->Error() != 0) return buffer->Error();
  }
  return stream.fail() ? EIO : 0;
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
