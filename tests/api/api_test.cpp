// The library through its public headers and its shared object alone, as a
// program that embeds it: the same bytes and messages as the programs, from
// C and C++, from one thread or several at once.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "driver/hostile_inputs.h"
#include "lumiflow/lumiflow.h"
#include "lumiflow/lumiflow.hpp"

namespace {

namespace fs = std::filesystem;

std::string FileText(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A scratch directory, removed with its contents.
struct Scratch {
  Scratch() {
    std::string pattern = (fs::temp_directory_path() / "lumiflow-api-XXXXXX").string();
    root = mkdtemp(pattern.data());
  }
  ~Scratch() { fs::remove_all(root); }
  fs::path root;
};

// Runs a program with its standard output and error in files; its exit status.
int RunProgram(const std::vector<std::string>& words, const fs::path& out, const fs::path& err) {
  const pid_t child = fork();
  if (child == 0) {
    if (!std::freopen("/dev/null", "r", stdin) || !std::freopen(out.c_str(), "w", stdout) ||
        !std::freopen(err.c_str(), "w", stderr)) {
      _exit(125);
    }
    std::vector<char*> argv;
    for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(126);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<fs::path> Examples() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(LUMIFLOW_TEST_DATA_DIR "/../examples")) {
    if (entry.path().extension() == ".json") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The examples convert to the bytes the converter writes, through C and C++.
TEST(LibraryApi, ConvertsTheExamplesAsTheConverter) {
  const std::vector<fs::path> examples = Examples();
  ASSERT_GE(examples.size(), 3u);
  for (const fs::path& example : examples) {
    SCOPED_TRACE(example.string());
    Scratch scratch;
    const fs::path written = scratch.root / "out.json";
    ASSERT_EQ(RunProgram({LUMIFLOW_CONVERT_EXE, example.string(), written.string()}, scratch.root / "o",
                  scratch.root / "e"),
              0);
    const std::string expected = FileText(written);
    const std::string text = FileText(example);

    lumiflow_result* result = lumiflow_convert(text.data(), text.size());
    ASSERT_NE(result, nullptr);
    EXPECT_TRUE(lumiflow_result_ok(result));
    EXPECT_EQ(lumiflow_result_code(result), 0);
    size_t length = 0;
    const char* output = lumiflow_result_output(result, &length);
    EXPECT_EQ(std::string(output, length), expected);
    EXPECT_EQ(output[length], '\0');
    EXPECT_STREQ(lumiflow_result_message(result, nullptr), "");
    const std::string report = lumiflow_result_report(result, nullptr);
    EXPECT_NE(report.find("\"status\" : \"converted\""), std::string::npos) << report;
    lumiflow_result_free(result);

    const lumiflow::Result converted = lumiflow::convert(text);
    EXPECT_TRUE(converted.ok());
    EXPECT_EQ(converted.output(), expected);
    EXPECT_TRUE(lumiflow::check(converted.output(), true).ok());
  }
}

// Every kind of failure gives the code and the lines the console gives the
// file after its first line.
TEST(LibraryApi, FailsAsTheConsoleDoes) {
  std::vector<std::string> texts = {"", "[1]", "{}", R"({"LumiflowTemplates": []})",
                                    R"({"ImageParameter": {"MaxAlgorithmThreadCount": 0}})",
                                    R"({"ImageParameter": {}} x)"};
  for (const auto& hostile : quorvane::testing::HostileTexts("ImageParameterContentArray")) {
    if (hostile.text.size() < 200000) texts.push_back(hostile.text);
  }
  Scratch scratch;
  const fs::path file = scratch.root / "in.json";
  for (const std::string& text : texts) {
    SCOPED_TRACE(text.substr(0, 60));
    std::ofstream(file, std::ios::binary) << text;
    const int status = RunProgram({LUMIFLOW_CONVERT_EXE, file.string(), (scratch.root / "out.json").string()},
                           scratch.root / "o", scratch.root / "e");
    const std::string console = FileText(scratch.root / "o");
    const lumiflow::Result result = lumiflow::convert(text);
    if (status == 0) {
      EXPECT_TRUE(result.ok() || console.rfind("Skip ", 0) == 0) << console;
      continue;
    }
    ASSERT_FALSE(result.ok()) << console;
    const std::string firstLine = "Fail to read Old Template: " + file.string() + ".\n";
    ASSERT_EQ(console.rfind(firstLine, 0), 0u) << console;
    EXPECT_EQ(std::string(result.message()) + "\n", console.substr(firstLine.size()));
    EXPECT_LT(result.code(), 0);
    EXPECT_NE(std::string(result.report()).find("\"code\" : " + std::to_string(result.code())),
              std::string::npos);
  }
}

// The checker's verdict and the schema, as the checker program gives them.
TEST(LibraryApi, ChecksAndDescribesAsTheChecker) {
  const lumiflow::Result plain = lumiflow::check(R"({"Foo": 1})");
  EXPECT_TRUE(plain.ok());
  EXPECT_EQ(plain.report(), "{\n  \"status\" : \"passed\"\n}\n");
  const lumiflow::Result strict = lumiflow::check(R"({"Foo": 1})", true);
  EXPECT_EQ(strict.code(), -10032);
  EXPECT_EQ(strict.message(), "Json key invalid. Foo");
  const lumiflow::Result parsed = lumiflow::check("{} {}");
  EXPECT_EQ(parsed.code(), -10030);

  Scratch scratch;
  ASSERT_EQ(RunProgram({LUMIFLOW_CHECK_EXE, "--schema"}, scratch.root / "o", scratch.root / "e"), 0);
  const lumiflow::Result schema = lumiflow::schema();
  EXPECT_TRUE(schema.ok());
  EXPECT_EQ(schema.output(), FileText(scratch.root / "o"));
  EXPECT_EQ(std::string(lumiflow::version()), LUMIFLOW_VERSION);
  // Null text is the empty text.
  lumiflow_result* empty = lumiflow_convert(nullptr, 5);
  EXPECT_EQ(lumiflow_result_code(empty), -10030);
  lumiflow_result_free(empty);
  lumiflow_result_free(nullptr);
}

// Threads converting at once get what one thread gets.
TEST(LibraryApi, ThreadsGetWhatOneThreadGets) {
  std::vector<std::string> texts;
  for (const fs::path& example : Examples()) texts.push_back(FileText(example));
  for (const auto& entry : fs::directory_iterator(LUMIFLOW_TEST_DATA_DIR "/legacy/golden")) {
    if (entry.path().string().ends_with(".legacy.json")) texts.push_back(FileText(entry.path()));
  }
  std::vector<std::string> alone;
  for (const std::string& text : texts) {
    const lumiflow::Result result = lumiflow::convert(text);
    alone.push_back(std::to_string(result.code()) + "\n" + std::string(result.message()) + "\n" +
                    std::string(result.output()) + std::string(result.report()));
  }
  std::vector<std::thread> threads;
  std::vector<int> mismatches(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 5; ++round) {
        for (std::size_t i = (t + round) % texts.size(), n = 0; n < texts.size();
             ++n, i = (i + 1) % texts.size()) {
          const lumiflow::Result result = lumiflow::convert(texts[i]);
          const std::string got = std::to_string(result.code()) + "\n" +
                                  std::string(result.message()) + "\n" +
                                  std::string(result.output()) + std::string(result.report());
          if (got != alone[i]) ++mismatches[t];
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

}  // namespace
