#include "driver/file_outcome.h"

namespace quorvane {

void FileOutcome::Fail(FileStatus failure, const std::string& reason, int errorCode) {
  status = failure;
  code = errorCode;
  // A failure to read names the file read; one to write, the file written.
  switch (failure) {
    case FileStatus::NotListed:
      message = "Fail to list the directory: " + file->source;
      break;
    case FileStatus::NotRead:
      message = "Fail to read Old Template: " + file->source;
      break;
    case FileStatus::NotChecked:
      message = "Fail to check the converted template: " + file->source;
      break;
    case FileStatus::NotOpened:
      message = "Fail to open file: " + file->output;
      break;
    case FileStatus::NotWritten:
    case FileStatus::Converted:
    case FileStatus::Skipped:
      message = "Fail to write file: " + file->output;
      break;
  }
  message += ".\n" + reason + "\n";
}

}  // namespace quorvane
