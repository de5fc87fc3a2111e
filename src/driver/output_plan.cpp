#include "driver/output_plan.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <unordered_map>

#include "framework/json_text_limits.h"

namespace quorvane {

namespace {

std::string Quoted(const std::string& path) { return '"' + path + '"'; }

// Where a write to a path lands, however the path is spelled: the entry of
// its last name in its directory, the directory resolved (links, "." and
// ".."), so that two spellings of one place compare equal before either
// exists. Directories are resolved once each.
class EntryResolver {
 public:
  const std::string& Entry(const std::string& path) {
    const std::string directory = DirectoryOf(path);
    const auto [known, isNew] = directories_.try_emplace(directory);
    if (isNew) {
      std::error_code error;
      const std::filesystem::path resolved = std::filesystem::weakly_canonical(directory, error);
      known->second = error ? directory : resolved.string();
    }
    const auto slash = path.rfind('/');
    entry_ = JoinPath(known->second, std::string_view(path).substr(
                                         slash == std::string::npos ? 0 : slash + 1));
    return entry_;
  }

 private:
  std::unordered_map<std::string, std::string> directories_;
  std::string entry_;
};

struct IdentityHash {
  std::size_t operator()(const FileIdentity& identity) const {
    return std::hash<std::uint64_t>()(identity.inode * 31 + identity.device);
  }
};

// What a path is as an entry (a link itself) and what it leads to; one or
// both may be missing.
struct PathIdentities {
  std::optional<FileIdentity> entry;
  std::optional<FileIdentity> target;
  struct stat entryStatus {};
  struct stat targetStatus {};
  int targetError = 0;
};

PathIdentities IdentitiesOf(const std::string& path) {
  PathIdentities ids;
  if (lstat(path.c_str(), &ids.entryStatus) != 0) return ids;
  ids.entry = FileIdentity{static_cast<std::uint64_t>(ids.entryStatus.st_dev),
                           static_cast<std::uint64_t>(ids.entryStatus.st_ino)};
  if (!S_ISLNK(ids.entryStatus.st_mode)) {
    ids.target = ids.entry;
    ids.targetStatus = ids.entryStatus;
  } else if (stat(path.c_str(), &ids.targetStatus) == 0) {
    ids.target = FileIdentity{static_cast<std::uint64_t>(ids.targetStatus.st_dev),
                              static_cast<std::uint64_t>(ids.targetStatus.st_ino)};
  } else {
    ids.targetError = errno;
  }
  return ids;
}

// Every file a run reads, by each identity it has (a link's own and the
// file it leads to), with the index of its entry in the plan.
using SourceIdentities = std::unordered_multimap<FileIdentity, std::size_t, IdentityHash>;

SourceIdentities IdentitiesOfSources(const std::vector<PlannedFile>& plan) {
  SourceIdentities sources;
  sources.reserve(plan.size());
  for (std::size_t i = 0; i < plan.size(); ++i) {
    if (!plan[i].Readable() || IsStandardStream(plan[i].source)) continue;
    const PathIdentities ids = IdentitiesOf(plan[i].source);
    if (ids.entry) sources.emplace(*ids.entry, i);
    if (ids.target && ids.target != ids.entry) sources.emplace(*ids.target, i);
  }
  return sources;
}

// The source a path would reach as entry or target, other than `self`
// first; `self` when only it; none when no source.
std::optional<std::size_t> SourceAt(const SourceIdentities& sources, const PathIdentities& ids,
                                    std::size_t self) {
  std::optional<std::size_t> found;
  for (const std::optional<FileIdentity>& id : {ids.entry, ids.target}) {
    if (!id) continue;
    const auto [first, last] = sources.equal_range(*id);
    for (auto source = first; source != last; ++source) {
      if (source->second != self) return source->second;
      found = self;
    }
  }
  return found;
}

// What is at an existing output path that a run may not replace, in words
// ("a legacy template"); empty when it may: an earlier output.
std::string WhatMayNotBeReplaced(const std::string& path, const PathIdentities& ids,
                                 FormatOfTemplateText formatOf) {
  const bool link = S_ISLNK(ids.entryStatus.st_mode);
  const std::string prefix = link ? "a link to " : "";
  if (!ids.target) {
    return ids.targetError == ENOENT ? "a link that leads nowhere"
                                     : "a link that cannot be followed (" +
                                           FailureReason(ids.targetError) + ")";
  }
  const mode_t mode = ids.targetStatus.st_mode;
  if (S_ISDIR(mode)) return prefix + "a directory";
  if (S_ISFIFO(mode)) return prefix + "a named pipe";
  if (S_ISSOCK(mode)) return prefix + "a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return prefix + "a device";
  if (!S_ISREG(mode)) return prefix + "a file that is not a regular file";
  std::string text;
  int error = 0;
  switch (ReadFileBytes(path, text, kMaxTemplateFileBytes, &error)) {
    case ReadOutcome::Read:
      break;
    case ReadOutcome::TooLarge:
      return prefix + "a file larger than " + std::to_string(kMaxTemplateFileBytes >> 20) +
             " MiB";
    case ReadOutcome::Failed:
      return prefix + "a file that cannot be read (" + FailureReason(error) + ")";
  }
  switch (formatOf(text)) {
    case TemplateFormat::Current:
      return {};
    case TemplateFormat::Legacy:
      return prefix + "a legacy template";
    case TemplateFormat::OtherJson:
      return prefix + "a JSON file that is not a template";
    case TemplateFormat::NotJson:
      break;
  }
  return prefix + "a file that is not JSON";
}

std::string ReplacesText(const PlannedFile& file, const std::string& what,
                         std::string_view hint) {
  return "Fail to plan the output: " + file.output + ", the output of " + file.source +
         ", would replace " + what + ".\n" + std::string(hint) + "\n";
}

constexpr std::string_view kOtherDestinationHint =
    "Give a destination directory that does not hold the source directory.";
constexpr std::string_view kInPlaceHint =
    "To convert in place, give the same path twice; otherwise give another destination.";
constexpr std::string_view kMoveAwayHint =
    "A run replaces only its earlier outputs (templates in the current format): move that "
    "file away, or give another destination.";

std::string ClashText(const std::vector<PlannedFile>& plan,
                      std::pair<std::size_t, std::size_t> clash, OutputLayout layout) {
  const PlannedFile& earlier = plan[clash.first];
  const PlannedFile& later = plan[clash.second];
  return "Fail to plan the output: " + earlier.output + " is the output of both " +
         earlier.source + " and " + later.source + ".\n" +
         (layout != OutputLayout::File
              ? "Convert the subfolders one at a time, each into a destination of its own, or "
                "keep them apart with --keep-tree.\n"
              : "Give a destination directory to convert more than one file.\n");
}

}  // namespace

std::string DirectoryOf(std::string_view path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : std::string(path.substr(0, slash));
}

bool IsStandardStream(std::string_view path) { return path == "-"; }

SourceListing ListSources(const std::string& sourcePath, const std::string& destinationPath,
                          bool keepTree) {
  SourceListing listing;
  const bool fromInput = IsStandardStream(sourcePath);
  const bool toOutput = IsStandardStream(destinationPath);
  const PathKind sourceKind = fromInput ? PathKind::RegularFile : GetPathKind(sourcePath.c_str());
  const PathKind destinationKind =
      toOutput ? PathKind::Missing : GetPathKind(destinationPath.c_str());
  if (sourceKind == PathKind::Missing || sourceKind == PathKind::Invalid) {
    listing.refusal = "Source path error: " + Quoted(sourcePath) + " is invalid.";
    return listing;
  }
  const bool destinationNeedsMarker =
      !toOutput &&
      (destinationKind == PathKind::Missing || destinationKind == PathKind::RegularFile);
  if ((destinationNeedsMarker && ContainsJsonExtension(destinationPath) == std::string::npos) ||
      destinationKind == PathKind::Invalid) {
    listing.refusal = "Destination path error: " + Quoted(destinationPath) + " is invalid.";
    return listing;
  }
  // One template in or out through a standard stream: that one file.
  if (fromInput || toOutput) {
    listing.layout = OutputLayout::File;
    if (!fromInput && ContainsJsonExtension(sourcePath) == std::string::npos) {
      listing.refusal = "Source file type error: " + Quoted(sourcePath) + " is invalid.";
    } else {
      listing.files.push_back({sourcePath, sourcePath.size()});
    }
    return listing;
  }
  FileIdentity source;
  FileIdentity destination;
  const bool known = destinationKind != PathKind::Missing &&
                     GetFileIdentity(sourcePath, source) &&
                     GetFileIdentity(destinationPath, destination);
  listing.inPlace = known && source == destination;
  const bool destinationIsDirectory = destinationKind == PathKind::Directory;
  listing.layout = destinationIsDirectory ? OutputLayout::Flat : OutputLayout::File;
  if (sourceKind == PathKind::RegularFile) {
    if (ContainsJsonExtension(sourcePath) == std::string::npos) {
      listing.refusal = "Source file type error: " + Quoted(sourcePath) + " is invalid.";
    } else {
      listing.files.push_back({sourcePath, sourcePath.size()});
    }
    return listing;
  }
  // Outputs written into the source tree are not read back as legacy files
  // by a later run. Converting in place lists the whole tree, and each file
  // goes back where it was, so that two files of one name in different
  // folders stay apart.
  if (listing.inPlace) {
    listing.layout = OutputLayout::Tree;
    listing.files = ListJsonFiles(sourcePath);
  } else {
    if (destinationIsDirectory && keepTree) listing.layout = OutputLayout::Tree;
    listing.files = ListJsonFiles(sourcePath, known ? &destination : nullptr);
  }
  return listing;
}

std::vector<PlannedFile> PlanOutputs(const std::vector<ListedPath>& files,
                                     const std::string& destinationPath, OutputLayout layout) {
  std::vector<PlannedFile> plan;
  plan.reserve(files.size());
  for (const ListedPath& file : files) {
    PlannedFile& planned = plan.emplace_back();
    planned.source = file.path;
    planned.listingError = file.error;
    planned.isDirectory = file.isDirectory;
    if (file.isDirectory) continue;
    switch (layout) {
      case OutputLayout::File:
        planned.output = destinationPath;
        break;
      case OutputLayout::Flat: {
        const auto slash = file.path.rfind('/');
        planned.output = JoinPath(destinationPath, std::string_view(file.path).substr(
                                                       slash == std::string::npos ? 0 : slash + 1));
        break;
      }
      case OutputLayout::Tree:
        planned.output = JoinPath(destinationPath, file.Relative());
        break;
    }
  }
  return plan;
}

std::optional<std::pair<std::size_t, std::size_t>> FindOutputClash(
    const std::vector<PlannedFile>& plan) {
  EntryResolver resolver;
  std::unordered_map<std::string, std::size_t> firstWriter;
  firstWriter.reserve(plan.size());
  for (std::size_t i = 0; i < plan.size(); ++i) {
    if (!plan[i].Readable()) continue;
    const auto [entry, isNew] = firstWriter.emplace(resolver.Entry(plan[i].output), i);
    if (!isNew) return std::pair{entry->second, i};
  }
  return std::nullopt;
}

std::string RefuseOutputs(const std::vector<PlannedFile>& plan, OutputLayout layout,
                          bool inPlace, FormatOfTemplateText formatOf) {
  if (const auto clash = FindOutputClash(plan)) return ClashText(plan, *clash, layout);
  const SourceIdentities sources = IdentitiesOfSources(plan);
  for (std::size_t i = 0; i < plan.size(); ++i) {
    const PlannedFile& file = plan[i];
    if (!file.Readable() || IsStandardStream(file.output)) continue;
    // Nothing there (or a way there the write will fail on, with its reason).
    const PathIdentities ids = IdentitiesOf(file.output);
    if (!ids.entry) continue;
    if (const auto source = SourceAt(sources, ids, i)) {
      if (*source != i) {
        return ReplacesText(file, "the source file " + plan[*source].source,
                            kOtherDestinationHint);
      }
      if (inPlace) continue;
      return ReplacesText(file, "its own source file", kInPlaceHint);
    }
    const std::string what = WhatMayNotBeReplaced(file.output, ids, formatOf);
    if (!what.empty()) return ReplacesText(file, what, kMoveAwayHint);
  }
  return {};
}

std::optional<ReportTarget> PlanReport(const std::string& path) {
  if (path == "-") return ReportTarget{ReportTarget::Kind::StandardOutput, path};
  if (path.empty() || path.back() == '/') return std::nullopt;
  struct stat status;
  if (stat(path.c_str(), &status) == 0) {
    if (S_ISDIR(status.st_mode)) return std::nullopt;
    const FileIdentity identity{static_cast<std::uint64_t>(status.st_dev),
                                static_cast<std::uint64_t>(status.st_ino)};
    if (StandardStreamIdentity(1) == identity) {
      return ReportTarget{ReportTarget::Kind::StandardOutput, path};
    }
    if (StandardStreamIdentity(2) == identity) {
      return ReportTarget{ReportTarget::Kind::StandardError, path};
    }
    if (!S_ISREG(status.st_mode)) return ReportTarget{ReportTarget::Kind::Existing, path};
    // A link is followed: the file it names is replaced, never the link.
    int error = 0;
    std::string resolved = RealPath(path, error);
    if (resolved.empty()) return std::nullopt;
    return ReportTarget{ReportTarget::Kind::File, std::move(resolved)};
  }
  struct stat entry;
  if (errno != ENOENT || lstat(path.c_str(), &entry) == 0) return std::nullopt;
  // A new file: the run does not create its directory.
  if (GetPathKind(DirectoryOf(path).c_str()) != PathKind::Directory) return std::nullopt;
  return ReportTarget{ReportTarget::Kind::File, path};
}

std::string RefuseReport(const std::string& givenPath, const ReportTarget& target,
                         const std::vector<PlannedFile>& plan) {
  if (target.kind == ReportTarget::Kind::StandardOutput ||
      target.kind == ReportTarget::Kind::StandardError) {
    return {};
  }
  const std::string start = "Fail to plan the report: " + givenPath + " would replace ";
  const PathIdentities ids = IdentitiesOf(target.path);
  if (ids.target) {
    const SourceIdentities sources = IdentitiesOfSources(plan);
    if (const auto source = SourceAt(sources, PathIdentities{ids.target, ids.target}, plan.size())) {
      return start + "the source file " + plan[*source].source + ".\n";
    }
  }
  EntryResolver resolver;
  const std::string entry = resolver.Entry(target.path);
  for (const PlannedFile& file : plan) {
    if (!file.Readable() || IsStandardStream(file.output)) continue;
    if (resolver.Entry(file.output) == entry) return start + "the output of " + file.source + ".\n";
    if (ids.target) {
      const PathIdentities output = IdentitiesOf(file.output);
      if (output.target == ids.target) return start + "the output of " + file.source + ".\n";
    }
  }
  return {};
}

std::string RefuseReportInSourceTree(const std::string& givenPath, const ReportTarget& target,
                                     const std::string& sourcePath) {
  if (target.kind != ReportTarget::Kind::File) return {};
  if (IsStandardStream(sourcePath) || GetPathKind(sourcePath.c_str()) != PathKind::Directory) {
    return {};
  }
  struct stat status;
  if (stat(target.path.c_str(), &status) != 0) return {};
  int error = 0;
  const std::string source = RealPath(sourcePath, error);
  // target.path of an existing file has every link resolved already.
  if (source.empty() || !target.path.starts_with(source == "/" ? source : source + "/")) return {};
  return "Fail to plan the report: " + givenPath + " would replace a file in the source directory " +
         sourcePath + ".\n";
}

}  // namespace quorvane
