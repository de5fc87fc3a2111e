#include "framework/platform.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "driver/temp_tree.h"

namespace quorvane {
namespace {

TEST(ContainsJsonExtension, FindsTheFirstMarkerAnywhere) {
  constexpr auto npos = std::string::npos;
  const struct {
    std::string path;
    std::string::size_type position;
  } cases[] = {{"a.json", 1},  {"x.json.txt", 1}, {"dir.json/a.bak", 3}, {"a.json/b.json", 1},
               {".json", 0},   {"x.JSON", npos},  {"x.Json", npos},      {"json", npos},
               {".jso", npos}, {"", npos}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(ContainsJsonExtension(c.path), c.position);
  }
}

TEST(ListJsonFiles, PreOrderWalkInByteOrderWithTheExtensionRuleAndKindsOfPaths) {
  testing::TempTree tree;
  for (const char* name : {"a.json", "b.JSON", "c.Json", ".json", ".hidden.json", "Z.json",
                           "a.json.bak", "noext", "json", "d.txt", "sub/x.json",
                           "sub/deeper/y.json", "sub/deeper/y.json~", "sub2.json/z.json",
                           ".hiddendir/h.json", "back\\slash.json"}) {
    tree.WriteFile(name, "{}");
  }
  tree.MakeDirectory("empty");
  tree.MakeFifo("pipe.json");
  tree.MakeSymlink("a.json", "link.json");
  tree.MakeSymlink("missing.json", "dangling.json");
  tree.MakeSymlink("/dev/zero", "zero.json");
  tree.MakeSymlink(".", "loop");
  tree.MakeSymlink("..", "sub/up");
  tree.MakeSymlink(tree.Root(), "sub/deeper/root.json");
  const std::string& r = tree.Root();
  EXPECT_EQ(ListJsonFiles(r), (std::vector<std::string>{
                                  r + "/.hidden.json", r + "/.hiddendir/h.json", r + "/.json",
                                  r + "/Z.json", r + "/a.json", r + "/b.JSON",
                                  r + "/back\\slash.json", r + "/c.Json", r + "/link.json",
                                  r + "/sub/deeper/y.json", r + "/sub/x.json",
                                  r + "/sub2.json/z.json"}));
  // Nothing to list.
  for (const std::string& directory :
       {tree.Path("empty"), tree.Path("missing"), tree.Path("a.json"), std::string()}) {
    EXPECT_TRUE(ListJsonFiles(directory).empty()) << directory;
  }
  // What the paths of the tree are, links followed.
  const struct {
    std::string path;
    PathKind kind;
  } cases[] = {
      {r + "/a.json", PathKind::RegularFile},    {r + "/sub", PathKind::Directory},
      {r + "/link.json", PathKind::RegularFile}, {r + "/loop", PathKind::Directory},
      {r + "/pipe.json", PathKind::Invalid},     {r + "/nothing", PathKind::Missing},
      {r + "/dangling.json", PathKind::Missing}, {"", PathKind::Missing},
      {r + "/a.json/below.json", PathKind::Invalid},  // not a directory
      {std::string(5000, 'n'), PathKind::Invalid},    // name too long
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetPathKind(c.path.c_str()), c.kind) << c.path.substr(0, 80);
  }
  EXPECT_EQ(GetPathKind(nullptr), PathKind::Invalid);
}

// However the directory to leave out is named, the walk knows it by identity.
TEST(ListJsonFiles, LeavesOutOneDirectoryKnownByItsIdentity) {
  testing::TempTree tree;
  for (const char* name : {"a.json", "out/b.json", "out/deeper/c.json", "sub/out/d.json"}) {
    tree.WriteFile(name, "{}");
  }
  tree.MakeSymlink("out", "link");
  const std::string& r = tree.Root();
  FileIdentity out;
  FileIdentity throughLink;
  FileIdentity root;
  ASSERT_TRUE(GetFileIdentity(r + "/sub/../out/", out));
  ASSERT_TRUE(GetFileIdentity(tree.Path("link"), throughLink));
  ASSERT_TRUE(GetFileIdentity(r, root));
  EXPECT_EQ(out, throughLink);
  EXPECT_FALSE(out == root);
  FileIdentity none;
  EXPECT_FALSE(GetFileIdentity(tree.Path("missing"), none));
  EXPECT_EQ(ListJsonFiles(r, &out), (std::vector<std::string>{r + "/a.json", r + "/sub/out/d.json"}));
  EXPECT_EQ(ListJsonFiles(r, &root), std::vector<std::string>{});
}

// A chain of directories "d" deeper than the longest path the system opens:
// the reachable files are listed, the rest is left out without a failure.
// Near the limit, a file whose whole path just fits is listed and one a byte
// longer is left out, since it could not be opened by that path.
TEST(ListJsonFiles, ChainDeeperThanThePathLimit) {
  constexpr int kDepth = 3000;
  testing::TempTree tree;
  const std::size_t longest = PATH_MAX - 1;  // the terminating NUL counts
  const int edgeLevel = static_cast<int>((longest - tree.Root().size() - 20) / 2);
  const std::size_t edgeRoom = longest - (tree.Root().size() + 2 * edgeLevel) - 1;
  const std::string fits = std::string(edgeRoom - 5, 'f') + ".json";
  const std::string over = std::string(edgeRoom - 4, 'g') + ".json";
  const auto filesAt = [&](int level) -> std::vector<std::string> {
    if (level == 1) return {"a.json"};
    if (level == 100) return {"b.json"};
    if (level == edgeLevel) return {fits, over};
    if (level == kDepth) return {"c.json"};
    return {};
  };
  testing::WorkingDirectory inside(tree.Root());
  for (int level = 1; level <= kDepth; ++level) {
    ASSERT_EQ(mkdir("d", 0700), 0);
    ASSERT_EQ(chdir("d"), 0);
    for (const std::string& name : filesAt(level)) std::ofstream{name};
  }
  std::string chain;
  std::string chainTo100;
  for (int level = 1; level <= edgeLevel; ++level) {
    chain += "/d";
    if (level == 100) chainTo100 = chain;
  }
  const std::string& r = tree.Root();
  const std::vector<std::string> listed = ListJsonFiles(r);
  EXPECT_EQ(listed, (std::vector<std::string>{r + "/d/a.json", r + chainTo100 + "/b.json",
                                              r + chain + "/" + fits}));
  EXPECT_EQ(listed.empty() ? 0 : listed.back().size(), longest);
  // Removed from the bottom up, since the deep paths cannot be named whole.
  for (int level = kDepth; level >= 1; --level) {
    for (const std::string& name : filesAt(level)) unlink(name.c_str());
    ASSERT_EQ(chdir(".."), 0);
    ASSERT_EQ(rmdir("d"), 0);
  }
}

TEST(FileBytes, ReadAndWrittenWholeAndNothingReadButFiles) {
  testing::TempTree tree;
  const std::string bytes("line\r\nnext\n\0after\xff", 19);
  const std::string path = tree.WriteFile("out.json", "an older and longer content");
  EXPECT_EQ(WriteFileAtomically(path, bytes), WriteOutcome::Written);
  std::string content = "stale";
  EXPECT_EQ(ReadFileBytes(path, content, bytes.size()), ReadOutcome::Read);
  EXPECT_EQ(content, bytes);
  EXPECT_EQ(ReadFileBytes(path, content, bytes.size() - 1), ReadOutcome::TooLarge);
  EXPECT_EQ(content, "");
  EXPECT_EQ(WriteFileAtomically(path, ""), WriteOutcome::Written);
  EXPECT_EQ(testing::FileText(path), "");

  tree.MakeDirectory("dir.json");
  tree.MakeFifo("pipe.json");  // no writer: a blocking open would hang here
  const struct {
    std::string path;
    int error;
  } unreadable[] = {{tree.Path("dir.json"), EISDIR},
                    {tree.Path("pipe.json"), kNotRegularFile},
                    {tree.Path("missing.json"), ENOENT},
                    {tree.Path("out.json/below.json"), ENOTDIR},
                    {"/dev/zero", kNotRegularFile}};
  for (const auto& c : unreadable) {
    content = "stale";
    int error = 0;
    EXPECT_EQ(ReadFileBytes(c.path, content, SIZE_MAX, &error), ReadOutcome::Failed) << c.path;
    EXPECT_EQ(content, "") << c.path;
    EXPECT_EQ(error, c.error) << c.path;
  }
  EXPECT_EQ(FailureReason(kNotRegularFile), "not a regular file");
  EXPECT_EQ(FailureReason(EACCES), "Permission denied");
}

// What is at the output path before, and what it is after: the file
// written, or the outcome and reason with the old content kept. Nothing else
// is left in the directory either way.
TEST(WriteFileAtomically, ReplacesOnlyRegularFilesAndLinksAndLeavesNoTemporaryFile) {
  const mode_t mask = umask(0);
  umask(mask);
  testing::TempTree tree;
  const std::string target = tree.WriteFile("target.json", "target");
  const struct {
    std::string name;
    std::function<void(const std::string&)> before;
    WriteOutcome outcome;
    int error;
    mode_t mode = 0;  // of the file written
  } cases[] = {
      {"new.json", [](const std::string&) {}, WriteOutcome::Written, 0, 0666 & ~mask},
      {"kept-mode.json",
       [](const std::string& path) {
         std::ofstream(path) << "older";
         chmod(path.c_str(), 0640);
         if (geteuid() == 0) chown(path.c_str(), 65534, 65534);  // root gives it back
       },
       WriteOutcome::Written, 0, 0640},
      {"link.json", [&](const std::string& path) { symlink(target.c_str(), path.c_str()); },
       WriteOutcome::Written, 0, 0666 & ~mask},
      {"dir.json", [](const std::string& path) { mkdir(path.c_str(), 0700); },
       WriteOutcome::OpenFailed, EISDIR},
      {"fifo.json", [](const std::string& path) { mkfifo(path.c_str(), 0600); },
       WriteOutcome::OpenFailed, kNotRegularFile},
      {"missing/new.json", [](const std::string&) {}, WriteOutcome::OpenFailed, ENOENT},
  };
  const auto entries = [](const std::string& directory) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string directory = tree.MakeDirectory(c.name + ".d");
    const std::string path = directory + "/" + c.name;
    c.before(path);
    struct stat status;
    const uid_t owner = lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode)
                            ? status.st_uid
                            : geteuid();
    std::set<std::string> expected = entries(directory);
    if (c.outcome == WriteOutcome::Written) expected.insert(c.name);
    int error = 0;
    EXPECT_EQ(WriteFileAtomically(path, "written", &error), c.outcome);
    EXPECT_EQ(entries(directory), expected);
    if (c.outcome != WriteOutcome::Written) {
      EXPECT_EQ(error, c.error);
      continue;
    }
    ASSERT_EQ(lstat(path.c_str(), &status), 0);
    EXPECT_TRUE(S_ISREG(status.st_mode));
    EXPECT_EQ(status.st_mode & 0777, c.mode);
    EXPECT_EQ(status.st_uid, owner);
    EXPECT_EQ(testing::FileText(path), "written");
  }
  EXPECT_EQ(testing::FileText(target), "target") << "a link is replaced, not written through";
}

TEST(ModuleLookup, DirectoryOfALoadedModule) {
  const std::string libc = LoadedModuleDirectory("libc.so");
  ASSERT_FALSE(libc.empty());
  EXPECT_EQ(libc.back(), '/');
  EXPECT_EQ(GetPathKind(libc.c_str()), PathKind::Directory);
  EXPECT_EQ(LoadedModuleDirectory("NoModuleIsNamedLikeThis"), "");
  EXPECT_EQ(LoadedModuleDirectory(""), "");
  // No core library in the tests: presets come from the current directory.
  EXPECT_EQ(PresetDirectory(), "");
}

}  // namespace
}  // namespace quorvane
