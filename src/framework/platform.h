#pragma once

// The few operating-system services the converter needs: what a path names,
// the legacy files under a directory, whole-file reading and writing, and the
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

// Follows symbolic links. Only "no such file or directory" counts as Missing;
// any other failure of the query (permission, a file used as a directory,
// a name too long) is Invalid, as is a null path.
PathKind GetPathKind(const char* path);

// Position of the first ".json" anywhere in `path` (case-sensitive), or
// std::string::npos. This is the marker test for paths given by the user.
std::string::size_type ContainsJsonExtension(const std::string& path);

// The legacy template files under `directory` and its subdirectories, as
// directory + "/" + name, in a pre-order walk with the entries of each
// directory in byte order of their names. A file is taken when the text from
// the last '.' of its name, lower-cased, is ".json". Regular files and links
// to them are listed; links to directories are not followed, and fifos,
// devices and sockets are never listed. A directory that cannot be read, and
// an entry whose path is too long for the system to open, contribute nothing.
std::vector<std::string> ListJsonFiles(const std::string& directory);

enum class ReadOutcome {
  Read,
  Failed,    // missing, unreadable, a directory, a fifo, a device
  TooLarge,  // longer than the caller's bound; nothing beyond it was read
};

// Reads the whole regular file at `path` into `content`, byte for byte, when
// it holds at most `maxBytes` bytes. Any other outcome leaves `content` empty;
// it never blocks on a fifo.
ReadOutcome ReadFileBytes(const std::string& path, std::string& content,
                          std::size_t maxBytes = SIZE_MAX);

enum class WriteOutcome {
  Written,
  OpenFailed,   // the file could not be created or truncated
  WriteFailed,  // opened, but the bytes or the close failed (disk full, ...)
};

// Creates or truncates `path` and stores `content` byte for byte.
WriteOutcome WriteFileBytes(const std::string& path, const std::string& content);

// The directory, with its trailing '/', of the first loaded shared object
// whose file name contains `marker`; empty when none is loaded.
std::string LoadedModuleDirectory(const char* marker);

// Where preset templates are looked for: next to the core library when it is
// loaded, else the current directory (the empty prefix).
std::string PresetDirectory();

}  // namespace quorvane
