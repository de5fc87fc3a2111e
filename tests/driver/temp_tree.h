#pragma once

// Scratch directories for the driver and document tests: made with mkdtemp
// under /tmp and removed with everything in them when the test ends.

#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace quorvane::testing {

class TempTree {
 public:
  TempTree() {
    std::string pattern = "/tmp/lumiflow-driver-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
  }
  ~TempTree() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  const std::string& Root() const { return root_; }
  std::string Path(const std::string& relative) const { return root_ + "/" + relative; }

  // Each creates the missing directories on the way and returns the path.
  std::string WriteFile(const std::string& relative, const std::string& content) const {
    const std::string path = MakeParent(relative);
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }
  // A file of `size` bytes that takes no disk space.
  std::string MakeSparseFile(const std::string& relative, std::uintmax_t size) const {
    const std::string path = WriteFile(relative, "");
    std::filesystem::resize_file(path, size);
    return path;
  }
  std::string MakeDirectory(const std::string& relative) const {
    std::filesystem::create_directories(Path(relative));
    return Path(relative);
  }
  std::string MakeSymlink(const std::string& target, const std::string& relative) const {
    std::filesystem::create_symlink(target, MakeParent(relative));
    return Path(relative);
  }
  std::string MakeFifo(const std::string& relative) const {
    if (mkfifo(MakeParent(relative).c_str(), 0600) != 0) throw std::runtime_error("mkfifo failed");
    return Path(relative);
  }

 private:
  std::string MakeParent(const std::string& relative) const {
    std::filesystem::create_directories(std::filesystem::path(Path(relative)).parent_path());
    return Path(relative);
  }
  std::string root_;
};

// Reads a whole file for comparison; "<missing>" when it cannot be opened.
inline std::string FileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Runs a scope in another working directory and comes back.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::string& path) { std::filesystem::current_path(path); }
  ~WorkingDirectory() { std::filesystem::current_path(previous_); }
 private:
  const std::filesystem::path previous_ = std::filesystem::current_path();
};

}  // namespace quorvane::testing
