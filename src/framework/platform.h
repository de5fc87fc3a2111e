#pragma once

// The few operating-system services the converter needs: what a path names,
// the legacy files under a directory, whole-file reading and writing, the
// reasons of failures, whether standard input is a terminal, and the
// directory of the core library that may hold preset templates. Depends on
// nothing else of the project.

#include <cstddef>
#include <cstdint>
#include <string>
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

// Position of the first ".json" anywhere in `path` (case-sensitive), or
// std::string::npos. This is the marker test for paths given by the user.
std::string::size_type ContainsJsonExtension(const std::string& path);

// The legacy template files under `directory` and its subdirectories, as
// directory + "/" + name, in a pre-order walk with the entries of each
// directory in byte order of their names. A file is taken when the text from
// the last '.' of its name, lower-cased, is ".json". Regular files and links
// to them are listed; links to directories are not followed, and fifos,
// devices and sockets are never listed. A directory that cannot be read, and
// an entry whose path is too long for the system to open, contribute nothing;
// so does the directory whose identity is `leaveOut`, when one is given.
std::vector<std::string> ListJsonFiles(const std::string& directory,
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
// gets 0666 less the process's umask. Nothing is synced to the disk.
WriteOutcome WriteFileAtomically(const std::string& path, const std::string& content,
                                 int* error = nullptr);

// Whether standard input is a terminal, where a person can press a key.
bool StandardInputIsTerminal();

// The directory, with its trailing '/', of the first loaded shared object
// whose file name contains `marker`; empty when none is loaded.
std::string LoadedModuleDirectory(const char* marker);

// Where preset templates are looked for: next to the core library when it is
// loaded, else the current directory (the empty prefix).
std::string PresetDirectory();

}  // namespace quorvane
