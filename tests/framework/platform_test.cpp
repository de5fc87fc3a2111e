#include "framework/platform.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <utility>
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

// A listed path as a line: the path, a '/' after a directory, and the
// reason of an entry that cannot be read.
std::vector<std::string> Described(const std::vector<ListedPath>& listed) {
  std::vector<std::string> lines;
  for (const ListedPath& path : listed) {
    std::string line = path.path + (path.isDirectory ? "/" : "");
    if (path.error != 0) line += " (" + FailureReason(path.error) + ")";
    lines.push_back(line);
  }
  return lines;
}

TEST(JoinPath, OneSeparatorBetweenDirectoryAndName) {
  const struct {
    std::string directory, name, path;
  } cases[] = {{"in", "x.json", "in/x.json"},   {"in/", "x.json", "in/x.json"},
               {"in//", "x.json", "in/x.json"}, {"/", "x.json", "/x.json"},
               {"a//b", "c", "a//b/c"},         {"in", "", "in/"}};
  for (const auto& c : cases) EXPECT_EQ(JoinPath(c.directory, c.name), c.path) << c.directory;
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
  tree.MakeFifo("pipe.txt");
  tree.MakeSymlink("a.json", "link.json");
  tree.MakeSymlink("missing.json", "dangling.json");
  tree.MakeSymlink("missing.txt", "dangling.txt");
  tree.MakeSymlink("/dev/zero", "zero.json");
  tree.MakeSymlink(".", "loop");
  tree.MakeSymlink("..", "sub/up");
  tree.MakeSymlink(tree.Root(), "sub/deeper/root.json");
  const std::string& r = tree.Root();
  // Whatever is named like a template is there, to be read or with why not.
  EXPECT_EQ(Described(ListJsonFiles(r)),
            (std::vector<std::string>{
                r + "/.hidden.json", r + "/.hiddendir/h.json", r + "/.json", r + "/Z.json",
                r + "/a.json", r + "/b.JSON", r + "/back\\slash.json", r + "/c.Json",
                r + "/dangling.json (No such file or directory)", r + "/link.json",
                r + "/pipe.json (not a regular file)",
                r + "/sub/deeper/root.json (not a regular file)", r + "/sub/deeper/y.json",
                r + "/sub/x.json", r + "/sub2.json/z.json", r + "/zero.json (not a regular file)"}));
  // The part below the listed directory, however it was named.
  for (const std::string& spelling : {r + "/sub", r + "/sub/", r + "/sub//"}) {
    const std::vector<ListedPath> listed = ListJsonFiles(spelling);
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[1].path, r + "/sub/deeper/y.json") << spelling;
    EXPECT_EQ(listed[1].Relative(), "deeper/y.json") << spelling;
  }
  EXPECT_TRUE(ListJsonFiles(tree.Path("empty")).empty());
  // A directory that cannot be listed is the one entry.
  for (const auto& [directory, error] :
       {std::pair{tree.Path("missing"), ENOENT}, std::pair{tree.Path("a.json"), ENOTDIR}}) {
    const std::vector<ListedPath> listed = ListJsonFiles(directory);
    ASSERT_EQ(listed.size(), 1u) << directory;
    EXPECT_TRUE(listed[0].isDirectory);
    EXPECT_EQ(listed[0].path, directory);
    EXPECT_EQ(listed[0].error, error);
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

// A subdirectory that cannot be read is named where it falls, and the walk
// goes on after it. Root reads everything, so the walk drops to nobody.
TEST(ListJsonFiles, NamesADirectoryItCannotRead) {
  testing::TempTree tree;
  tree.WriteFile("a/1.json", "{}");
  tree.WriteFile("b/2.json", "{}");
  tree.WriteFile("c/3.json", "{}");
  chmod(tree.Path("b").c_str(), 0);
  if (geteuid() != 0 && access(tree.Path("b").c_str(), R_OK) == 0) GTEST_SKIP();
  const std::string& r = tree.Root();
  const std::vector<std::string> expected = {r + "/a/1.json", r + "/b/ (Permission denied)",
                                             r + "/c/3.json"};
  if (geteuid() != 0) {
    EXPECT_EQ(Described(ListJsonFiles(r)), expected);
    return;
  }
  chmod(r.c_str(), 0755);
  const pid_t child = fork();
  if (child == 0) {
    const bool same =
        setgid(65534) == 0 && setuid(65534) == 0 && Described(ListJsonFiles(r)) == expected;
    _exit(same ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
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
  EXPECT_EQ(Described(ListJsonFiles(r, &out)),
            (std::vector<std::string>{r + "/a.json", r + "/sub/out/d.json"}));
  EXPECT_TRUE(ListJsonFiles(r, &root).empty());
}

// A chain of directories "d" deeper than the longest path the system opens:
// the reachable files are listed, and where the path gets too long the
// listing says so, once per directory and file it cannot name. Near the
// limit, a file whose whole path just fits is listed and one a byte longer
// is named with the reason.
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
  const std::string& r = tree.Root();
  std::string chain;
  std::string chainTo100;
  std::string tooLong = r;  // the first directory of the chain that cannot be named
  for (int level = 1; tooLong.size() < PATH_MAX; ++level) {
    if (level <= edgeLevel) chain += "/d";
    if (level == 100) chainTo100 = chain;
    tooLong += "/d";
  }
  const std::string reason = " (" + FailureReason(ENAMETOOLONG) + ")";
  const std::vector<ListedPath> listed = ListJsonFiles(r);
  EXPECT_EQ(Described(listed),
            (std::vector<std::string>{r + "/d/a.json", r + chainTo100 + "/b.json",
                                      tooLong + "/" + reason, r + chain + "/" + fits,
                                      r + chain + "/" + over + reason}));
  EXPECT_EQ(listed.size() < 4 ? 0 : listed[3].path.size(), longest);
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

// A file written on one thread and put in place on another: nothing shows
// at its path before the commit, and one never committed leaves nothing.
TEST(PendingFile, IsInPlaceOnlyOnceCommittedAndGoneWhenDropped) {
  testing::TempTree tree;
  const std::string path = tree.WriteFile("out/a.json", "before");
  const auto names = [&] {
    std::set<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(tree.Path("out"))) {
      found.insert(entry.path().filename().string());
    }
    return found;
  };
  {
    PendingFile dropped;
    ASSERT_EQ(dropped.Write(path, "dropped"), WriteOutcome::Written);
    EXPECT_TRUE(dropped.Pending());
    EXPECT_EQ(names().size(), 2u);
    PendingFile moved = std::move(dropped);
    EXPECT_FALSE(dropped.Pending());
    EXPECT_TRUE(moved.Pending());
  }
  EXPECT_EQ(names(), std::set<std::string>{"a.json"});
  EXPECT_EQ(testing::FileText(path), "before");
  PendingFile kept;
  ASSERT_EQ(kept.Write(path, "after"), WriteOutcome::Written);
  EXPECT_EQ(testing::FileText(path), "before");
  EXPECT_EQ(kept.Commit(), WriteOutcome::Written);
  EXPECT_FALSE(kept.Pending());
  EXPECT_EQ(testing::FileText(path), "after");
  EXPECT_EQ(names(), std::set<std::string>{"a.json"});
  int error = 0;
  EXPECT_EQ(kept.Commit(&error), WriteOutcome::WriteFailed);
}

// What a report written into something that is not a regular file meets:
// nothing is created or truncated, a fifo without a reader fails at once.
TEST(WriteIntoExisting, WritesIntoWhatIsThereAndNeverWaits) {
  testing::TempTree tree;
  const std::string fifo = tree.MakeFifo("pipe.json");
  EXPECT_EQ(WriteIntoExisting("/dev/null", "text"), 0);
  EXPECT_EQ(WriteIntoExisting(fifo, "text"), ENXIO);
  EXPECT_EQ(WriteIntoExisting(tree.Path("missing.json"), "text"), ENOENT);
  EXPECT_FALSE(std::filesystem::exists(tree.Path("missing.json")));
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_EQ(WriteIntoExisting(fifo, "through"), 0);
  char buffer[16] = {};
  EXPECT_EQ(read(reader, buffer, sizeof buffer), 7);
  EXPECT_STREQ(buffer, "through");
  close(reader);
  EXPECT_EQ(SyncDirectory(tree.Root()), 0);
  EXPECT_EQ(SyncDirectory(tree.Path("missing")), ENOENT);
}

// Console lines into a closed pipe fail with its reason, and nothing more is
// tried; the process is not ended by the signal.
TEST(DescriptorBuffer, KeepsTheReasonOfTheFirstFailedWrite) {
  IgnoreWriteSignals();
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  DescriptorBuffer buffer(ends[1]);
  std::ostream stream(&buffer);
  stream << "first line\n" << std::flush;
  EXPECT_EQ(StreamError(stream), 0);
  char text[32] = {};
  EXPECT_EQ(read(ends[0], text, sizeof text), 11);
  close(ends[0]);
  stream << std::string(100000, 'x') << std::flush;
  EXPECT_EQ(StreamError(stream), EPIPE);
  close(ends[1]);
  std::ostringstream other;
  EXPECT_EQ(StreamError(other), 0);
  other.setstate(std::ios::badbit);
  EXPECT_EQ(StreamError(other), EIO);
}

// A stop signal is recorded while a StopSignals lives, and handled as
// before once it is gone.
TEST(StopSignals, RecordsTheFirstSignalAndRestoresTheHandling) {
  struct sigaction before {};
  sigaction(SIGTERM, nullptr, &before);
  {
    const StopSignals signals;
    EXPECT_EQ(StopSignals::Received(), 0);
    raise(SIGHUP);
    raise(SIGTERM);
    EXPECT_EQ(StopSignals::Received(), SIGHUP);
  }
  {
    const StopSignals again;
    EXPECT_EQ(StopSignals::Received(), 0);
  }
  struct sigaction after {};
  sigaction(SIGTERM, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);
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
