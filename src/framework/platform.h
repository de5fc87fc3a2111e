#pragma once

// The few operating-system services the converter needs: what a path names,
// the legacy files under a directory, whole-file reading and writing, the
// reasons of failures, whether standard input is a terminal, and the
// directory of the core library that may hold preset templates. Depends on
// nothing else of the project.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

enum class PathKind {
  RegularFile = 0,
  Directory = 1,
  Invalid = 2,  // exists but is neither (device, fifo, socket), or cannot be queried
  Missing = 3,
};

// Why a file operation failed: a system error number (errno), or one of the
// reasons below that the system has no number for.
inline constexpr int kNotRegularFile = -1;

// The text of `error` for a message, without a final period: the system's
// own text for an errno, "not a regular file" for kNotRegularFile.
std::string FailureReason(int error);

// Follows symbolic links. Only "no such file or directory" counts as Missing;
// any other failure of the query (permission, a file used as a directory,
// a name too long) is Invalid, as is a null path.
PathKind GetPathKind(const char* path);

// What tells two paths of one directory or file apart from two paths of
// different ones, however each is spelled: its device and inode.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool operator==(const FileIdentity&) const = default;
};

// Follows symbolic links. False when the path cannot be queried.
bool GetFileIdentity(const std::string& path, FileIdentity& identity);

// What the open file descriptor `fd` (1 for standard output) writes to;
// none when it is closed.
std::optional<FileIdentity> StandardStreamIdentity(int fd);

// Position of the first ".json" anywhere in `path` (case-sensitive), or
// std::string::npos. This is the marker test for paths given by the user.
std::string::size_type ContainsJsonExtension(const std::string& path);

// `directory` + "/" + `name`, with one separator however many `directory`
// ends with ("in/" and "in//" give "in/x.json", "/" gives "/x.json").
std::string JoinPath(std::string_view directory, std::string_view name);

// One path the listing found: a file to read, or one that cannot serve and why.
struct ListedPath {
  std::string path;
  // Where the part below the listed directory starts in `path`.
  std::size_t relative = 0;
  // 0 for a file to read; otherwise why it cannot be: an errno, or
  // kNotRegularFile for a *.json entry that is not a regular file (a fifo,
  // a device, a socket, a link to a directory).
  int error = 0;
  // A directory that could not be listed (the listed one included).
  bool isDirectory = false;

  std::string_view Relative() const { return std::string_view(path).substr(relative); }
};

// The legacy template files under `directory` and its subdirectories, as
// directory + "/" + name, in a pre-order walk with the entries of each
// directory in byte order of their names. An entry is taken when the text
// from the last '.' of its name, lower-cased, is ".json". Regular files and
// links to them are listed to be read; links to directories are not
// followed. Nothing found is left out in silence: a *.json entry that is not
// a regular file (a dangling link, a fifo, a device, a socket), a path too
// long for the system to open, and a directory that cannot be listed are
// listed with their error where they fall. Only the directory whose identity
// is `leaveOut`, when one is given, is passed over without a word.
std::vector<ListedPath> ListJsonFiles(const std::string& directory,
                                      const FileIdentity* leaveOut = nullptr);

enum class ReadOutcome {
  Read,
  Failed,    // missing, unreadable, a directory, a fifo, a device
  TooLarge,  // longer than the caller's bound; nothing beyond it was read
};

// Reads the whole regular file at `path` into `content`, byte for byte, when
// it holds at most `maxBytes` bytes. Any other outcome leaves `content` empty;
// it never blocks on a fifo. On Failed, `error` (when given) tells why.
ReadOutcome ReadFileBytes(const std::string& path, std::string& content,
                          std::size_t maxBytes = SIZE_MAX, int* error = nullptr);

enum class WriteOutcome {
  Written,
  OpenFailed,   // the file could not be created, truncated or replaced
  WriteFailed,  // opened, but the bytes or the close failed (disk full, ...)
};

// Creates or truncates `path` and stores `content` byte for byte: the plain
// write the benchmark baseline measures. The converter writes atomically.
WriteOutcome WriteFileBytes(const std::string& path, const std::string& content);

// Stores `content` byte for byte at `path` without ever leaving a partial
// file there: the text goes to a new file of an unpredictable name in the
// same directory, which is renamed over `path` once written and closed. On
// any failure that file is removed, and what was at `path` stays as it was;
// `error` (when given) tells why. What is at `path` is replaced only when it
// is a regular file its user may write, or a symbolic link (the link
// itself, never the file it leads to); a directory, fifo, device or socket
// there fails the open. The new file keeps the permissions (and, where the
// user may give it away, the owner) of the regular file it replaces, else
// gets 0666 less the process's umask. When something is replaced, the new
// file's data reach the disk (fdatasync) before the rename, so that a power
// loss leaves the old file or the new one, never an empty one; the rename
// itself is made durable by SyncDirectory on the directory.
WriteOutcome WriteFileAtomically(const std::string& path, const std::string& content,
                                 int* error = nullptr);

// The two halves of WriteFileAtomically, for writing a file on one thread
// and putting it in place on another: a complete file under a temporary name
// beside its path, which Commit renames over the path. One that is never
// committed is removed when it goes, so that nothing is left behind.
class PendingFile {
 public:
  PendingFile() = default;
  PendingFile(PendingFile&& other) noexcept;
  PendingFile& operator=(PendingFile&& other) noexcept;
  ~PendingFile();

  // Writes `content` as WriteFileAtomically does, all but the rename.
  WriteOutcome Write(const std::string& path, const std::string& content, int* error = nullptr);
  // Renames the file over its path (WriteFailed, and removed, when that fails).
  WriteOutcome Commit(int* error = nullptr);
  // Written and not yet committed.
  bool Pending() const { return !temporary_.empty(); }

 private:
  void Discard();
  std::string temporary_;
  std::string path_;
};

// Writes `content` into what already exists at `path` and is not a regular
// file (a device, a fifo with a reader, a pipe named under /proc), without
// creating, truncating or replacing anything. A fifo without a reader fails
// (ENXIO) instead of waiting for one. 0, or the errno of the failure.
int WriteIntoExisting(const std::string& path, const std::string& content);

// Flushes a directory's entries (files created, renamed or removed in it)
// to the disk: 0, or the errno of the failure.
int SyncDirectory(const std::string& path);

// The path with every link resolved ("." and ".." too); empty, with
// `error`, when it does not lead to anything.
std::string RealPath(const std::string& path, int& error);

// Signals for a run. Writes past the file size limit or into a closed pipe
// fail with EFBIG or EPIPE instead of ending the process.
void IgnoreWriteSignals();

// While one exists, SIGINT, SIGTERM and SIGHUP do not end the process: they
// are recorded, for the run to stop between two files. The earlier handling
// comes back when it ends. One at a time.
class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // The first stop signal received since construction, or 0.
  static int Received();
};

// A stream buffer that writes straight to a file descriptor (standard
// output, standard error), keeping the errno of the first write that
// failed: a closed pipe or a full disk is told apart from success.
class DescriptorBuffer : public std::streambuf {
 public:
  explicit DescriptorBuffer(int fd) : fd_(fd) { setp(buffer_, buffer_ + sizeof buffer_); }
  ~DescriptorBuffer() override { sync(); }
  // 0 while every write succeeded.
  int Error() const { return error_; }

 protected:
  int_type overflow(int_type c) override;
  int sync() override;
  std::streamsize xsputn(const char* data, std::streamsize count) override;

 private:
  bool Flush();
  int fd_;
  int error_ = 0;
  char buffer_[4096];
};

// The errno of the first failed write to `stream`, when it writes through a
// DescriptorBuffer; EIO for another stream in a failed state; else 0.
int StreamError(std::ostream& stream);

// Whether standard input is a terminal, where a person can press a key.
bool StandardInputIsTerminal();

// The directory, with its trailing '/', of the first loaded shared object
// whose file name contains `marker`; empty when none is loaded.
std::string LoadedModuleDirectory(const char* marker);

// Where preset templates are looked for: next to the core library when it is
// loaded, else the current directory (the empty prefix).
std::string PresetDirectory();

}  // namespace quorvane
