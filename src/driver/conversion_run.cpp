#include "driver/conversion_run.h"

#include <algorithm>
#include <istream>
#include <ostream>
#include <string_view>
#include <vector>

#include "framework/platform.h"
#include "framework/error_codes.h"
#include "framework/json_text_limits.h"

namespace quorvane {

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;

constexpr char kUsage[] =
    "Usage: lumiflow-convert [SOURCE DESTINATION]\n"
    "Converts legacy \"ImageParameter\" templates into capture-flow templates.\n"
    "\n"
    "  SOURCE       a legacy template file (its path contains \".json\"), or a\n"
    "               directory searched with its subdirectories for *.json files\n"
    "  DESTINATION  a directory, or a file path that contains \".json\"\n"
    "\n"
    "Without arguments both paths are asked for at the console. Each file is\n"
    "reported on its own line; the first failure ends the run. The program then\n"
    "waits for one keystroke.\n"
    "\n"
    "  -h, --help   show this text\n"
    "  --version    show the version\n";

void WriteLine(std::ostream& stream, std::string_view text) {
  stream << text << '\n' << std::flush;
}

// A path typed or dropped at the console: the rest of the line, without any
// double quote and without the carriage return of a pasted Windows line. A
// last line ended by the end of input still counts.
std::string AskForPath(std::istream& in, std::ostream& out, std::string_view prompt) {
  WriteLine(out, prompt);
  std::string line;
  std::getline(in, line);
  if (!line.empty() && line.back() == '\r') {
    line.pop_back();
  }
  line.erase(std::remove(line.begin(), line.end(), '"'), line.end());
  return line;
}

// Returns at once at the end of input.
void WaitForKeystroke(std::istream& in) { in.get(); }

std::string Quoted(const std::string& path) { return '"' + path + '"'; }

// Ends a run that has reached the checks: the keystroke wait comes after
// every message, success or not.
int Finish(std::istream& in, int status) {
  WaitForKeystroke(in);
  return status;
}

// Where the converted text of `sourceFile` goes: into the destination
// directory under the source file's own name (only '/' separates names
// here), or to the destination file.
std::string OutputPathFor(const std::string& sourceFile, const std::string& destinationPath,
                          bool destinationIsDirectory) {
  if (!destinationIsDirectory) {
    return destinationPath;
  }
  const auto slash = sourceFile.rfind('/');
  const auto name = slash == std::string::npos ? std::string_view(sourceFile)
                                               : std::string_view(sourceFile).substr(slash + 1);
  std::string outputPath = destinationPath;
  outputPath += '/';
  outputPath += name;
  return outputPath;
}

}  // namespace

int RunConverter(int argc, const char* const* argv, std::istream& in, std::ostream& out,
                 std::ostream& err, ConvertTemplateText convert) {
  std::string sourcePath;
  std::string destinationPath;
  if (argc <= 1) {
    sourcePath = AskForPath(in, out, "Input source path:");
    destinationPath = AskForPath(in, out, "Input destination path:");
  } else if (argc == 3) {
    sourcePath = argv[1];
    destinationPath = argv[2];
  } else {
    if (argc == 2) {
      const std::string_view option = argv[1];
      if (option == "--help" || option == "-h") {
        out << kUsage << std::flush;
        return kExitSuccess;
      }
      if (option == "--version") {
        WriteLine(out, "lumiflow-convert " LUMIFLOW_VERSION);
        return kExitSuccess;
      }
    }
    WriteLine(err, "The number of argument is invalid.");
    return kExitFailure;
  }

  const PathKind sourceKind = GetPathKind(sourcePath.c_str());
  const PathKind destinationKind = GetPathKind(destinationPath.c_str());
  if (sourceKind == PathKind::Missing || sourceKind == PathKind::Invalid) {
    WriteLine(out, "Source path error: " + Quoted(sourcePath) + " is invalid.");
    return Finish(in, kExitFailure);
  }
  const bool destinationNeedsMarker =
      destinationKind == PathKind::Missing || destinationKind == PathKind::RegularFile;
  if ((destinationNeedsMarker && ContainsJsonExtension(destinationPath) == std::string::npos) ||
      destinationKind == PathKind::Invalid) {
    WriteLine(out, "Destination path error: " + Quoted(destinationPath) + " is invalid.");
    return Finish(in, kExitFailure);
  }
  std::vector<std::string> fileList;
  if (sourceKind == PathKind::RegularFile) {
    if (ContainsJsonExtension(sourcePath) == std::string::npos) {
      WriteLine(out, "Source file type error: " + Quoted(sourcePath) + " is invalid.");
      return Finish(in, kExitFailure);
    }
    fileList.push_back(sourcePath);
  } else {
    fileList = ListJsonFiles(sourcePath);
  }

  const bool destinationIsDirectory = destinationKind == PathKind::Directory;
  std::string text;
  std::string outputText;
  for (const std::string& file : fileList) {
    // An unreadable file leaves the text empty, which the conversion refuses.
    std::string errorMessage;
    outputText.clear();
    const int code = ReadFileBytes(file, text, kMaxTemplateFileBytes) == ReadOutcome::TooLarge
                         ? errors::kTemplateComplex
                         : convert(text, errorMessage, outputText);
    if (code != errors::kSuccess) {
      WriteLine(out, "Fail to read Old Template: " + file + ".");
      if (errorMessage.empty()) {
        WriteLine(out, std::string("Error: ") + GetErrorString(code));
      } else {
        WriteLine(out, errorMessage);
      }
      return Finish(in, kExitFailure);
    }
    const std::string outputPath = OutputPathFor(file, destinationPath, destinationIsDirectory);
    switch (WriteFileBytes(outputPath, outputText)) {
      case WriteOutcome::Written:
        break;
      case WriteOutcome::OpenFailed:
        WriteLine(out, "Fail to open file: " + outputPath + ".");
        return Finish(in, kExitFailure);
      case WriteOutcome::WriteFailed:
        WriteLine(out, "Fail to write file: " + outputPath + ".");
        return Finish(in, kExitFailure);
    }
    WriteLine(out, "Convert " + file + " successfully.");
  }
  return Finish(in, kExitSuccess);
}

}  // namespace quorvane
