#pragma once

// The converter executable run as a child process on scratch trees, with a
// standard input, file size limit and user chosen by the test.

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <json/json.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "driver/legacy_conversion.h"
#include "driver/temp_tree.h"
#include "support/json_text.h"

namespace quorvane::testing {

constexpr int kNobody = 65534;

struct Child {
  std::vector<std::string> arguments;
  int input = -1;   // the child's standard input; -1: /dev/null
  int output = -1;  // the child's standard output; -1: captured
  rlim_t fileSizeLimit = RLIM_INFINITY;
  bool unprivileged = false;  // run as the user and group nobody
  std::vector<std::string> environment = {};  // "NAME=value", added to the test's own
};

struct Outcome {
  int status = -1;  // the exit status; -1 when killed or never ended
  std::string out;
  std::string err;
};

class Process {
 public:
  // Starts the converter in `directory`; its output goes to files of a
  // scratch tree of its own.
  Process(const Child& child, const std::string& directory) {
    std::vector<char*> argv{const_cast<char*>(LUMIFLOW_CONVERT_EXE)};
    for (const std::string& argument : child.arguments) {
      argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    const int input = child.input >= 0 ? child.input : open("/dev/null", O_RDONLY);
    const int out = child.output >= 0
                        ? child.output
                        : open(capture_.Path("out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(capture_.Path("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    // The test's own environment, less what the child's replaces.
    std::vector<char*> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
      const std::string_view own(*variable);
      const bool replaced = std::any_of(
          child.environment.begin(), child.environment.end(), [&own](const std::string& given) {
            return own.substr(0, own.find('=') + 1) == given.substr(0, given.find('=') + 1);
          });
      if (!replaced) environment.push_back(*variable);
    }
    for (const std::string& variable : child.environment) {
      environment.push_back(const_cast<char*>(variable.c_str()));
    }
    environment.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
      // Only async-signal-safe calls until the exec.
      dup2(input, 0);
      dup2(out, 1);
      dup2(err, 2);
      // The converter must guard itself against the signals of failed writes.
      signal(SIGPIPE, SIG_DFL);
      signal(SIGXFSZ, SIG_DFL);
      const rlimit limit{child.fileSizeLimit, child.fileSizeLimit};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0 || chdir(directory.c_str()) != 0) _exit(125);
      if (child.unprivileged && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 ||
                                 setuid(kNobody) != 0)) {
        _exit(125);
      }
      execve(argv[0], argv.data(), environment.data());
      _exit(126);
    }
    if (child.input < 0) close(input);
    if (child.output < 0) close(out);
    close(err);
  }
  ~Process() {
    if (pid_ > 0 && !ended_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

  bool Running() {
    if (ended_) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_) return true;
    ended_ = true;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return false;
  }

  void Signal(int number) { kill(pid_, number); }

  // Waits for the end, at most a time no healthy run comes near (sanitizer
  // builds included), then kills.
  Outcome Wait() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (Running() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(Running()) << "the run did not end";
    return {status_, FileText(capture_.Path("out")), FileText(capture_.Path("err"))};
  }

  // The standard output so far.
  std::string OutputSoFar() const { return FileText(capture_.Path("out"));
  }

 private:
  TempTree capture_;
  pid_t pid_ = -1;
  bool ended_ = false;
  int status_ = -1;
};

inline Outcome RunToEnd(const Child& child, const std::string& directory) {
  return Process(child, directory).Wait();
}

using Files = std::map<std::string, std::string>;

// A legacy template that converts, and one the reader refuses.
inline const std::string kLegacy =
    FileText(LUMIFLOW_TEST_DATA_DIR "/legacy/golden/single_image_parameter.legacy.json");
inline const std::string kRefused = R"({"ImageParameter": {"MaxAlgorithmThreadCount": 0}})";

// An earlier output at an output path, which a run may replace.
inline const std::string kEarlierOutput = "{\"LumiflowTemplates\": null}\n";

// The console's lines for a file that converted, and for kRefused.
inline std::string Converted(const std::string& source) {
  return "Convert " + source + " successfully.\n";
}
inline std::string Refused(const std::string& source) {
  return "Fail to read Old Template: " + source +
         ".\nold barcodeSetting read failed : "
         "BarcodeReaderTaskSetting:MaxAlgorithmThreadCount: out of range.\n";
}

// What the converter writes for a legacy text.
inline std::string Output(const std::string& legacy) {
  TemplateConversion conversion = ConvertLegacyTemplate(legacy);
  EXPECT_FALSE(conversion.failure) << conversion.failure.Message();
  return std::move(conversion.outputText);
}

// Every file below `root` with its content, by path relative to `root`;
// with `directories`, every directory too, as "<directory>".
inline Files Snapshot(const std::string& root, bool directories = false) {
  Files files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    const std::string path = std::filesystem::relative(entry.path(), root).string();
    if (entry.is_regular_file()) {
      files[path] = FileText(entry.path().string());
    } else if (directories && entry.is_directory()) {
      files[path] = "<directory>";
    }
  }
  return files;
}

// A JSON file, such as a run's report; one that does not parse fails the test.
inline Json::Value ReadJsonFile(const std::string& path) { return ParseJson(FileText(path)); }

// "source status" per file of a report, in its order.
inline std::vector<std::string> Statuses(const Json::Value& report) {
  std::vector<std::string> statuses;
  for (const Json::Value& file : report["files"]) {
    statuses.push_back(file["source"].asString() + " " + file["status"].asString());
  }
  return statuses;
}

inline std::string Summary(const Json::Value& report) {
  const Json::Value& summary = report["summary"];
  return std::to_string(summary["listed"].asUInt()) + " listed, " +
         std::to_string(summary["converted"].asUInt()) + " converted, " +
         std::to_string(summary["failed"].asUInt()) + " failed, " +
         std::to_string(summary["skipped"].asUInt()) + " skipped, " +
         std::to_string(summary["notConverted"].asUInt()) + " not converted";
}

inline std::string ReadAll(int fd) {
  std::string text;
  char buffer[256];
  for (ssize_t count; (count = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, count);
  return text;
}

}  // namespace quorvane::testing
