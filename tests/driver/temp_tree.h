#pragma once

// Scratch directories for the driver tests: made with mkdtemp under /tmp and
// removed with everything in them when the test ends.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace quorvane::testing {

class TempTree {
 public:
  TempTree() {
    std::string pattern = "/tmp/lumiflow-driver-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("mkdtemp failed");
    }
    root_ = pattern;
  }
  ~TempTree() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const std::string& Root() const { return root_; }
  std::string Path(const std::string& relative) const { return root_ + "/" + relative; }

  // Creates the missing directories on the way.
  std::string WriteFile(const std::string& relative, const std::string& content) const {
    const std::string path = Path(relative);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }
  std::string MakeDirectory(const std::string& relative) const {
    const std::string path = Path(relative);
    std::filesystem::create_directories(path);
    return path;
  }
  std::string MakeSymlink(const std::string& target, const std::string& relative) const {
    const std::string path = Path(relative);
    std::filesystem::create_symlink(target, path);
    return path;
  }
  std::string MakeFifo(const std::string& relative) const {
    const std::string path = Path(relative);
    if (mkfifo(path.c_str(), 0600) != 0) {
      throw std::runtime_error("mkfifo failed");
    }
    return path;
  }

 private:
  std::string root_;
};

// Reads a whole file for comparison; "<missing>" when it cannot be opened.
inline std::string FileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    return "<missing>";
  }
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Runs a scope in another working directory and comes back.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::string& path) : previous_(open(".", O_RDONLY | O_CLOEXEC)) {
    if (previous_ < 0 || chdir(path.c_str()) != 0) {
      if (previous_ >= 0) {
        close(previous_);
      }
      throw std::runtime_error("chdir failed");
    }
  }
  ~WorkingDirectory() {
    if (fchdir(previous_) != 0) {
      std::abort();
    }
    close(previous_);
  }
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

 private:
  int previous_;
};

}  // namespace quorvane::testing
