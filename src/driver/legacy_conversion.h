#pragma once

// The conversion of one legacy template text, as the converter executable
// runs it for each file.

#include <string>
#include <vector>

#include "framework/error_codes.h"
#include "framework/failure.h"
#include "legacy/legacy_reader.h"

namespace quorvane {

// What a run wants of a conversion beyond the output text.
struct ConversionRequest {
  // Fill the record, the keys not carried over and the values changed, for
  // the run's report and its -v lines.
  bool record = false;
  // Read the output back as the template checker does; a text that fails
  // the check is a failure of the conversion.
  bool check = false;
};

// What one conversion gave.
struct TemplateConversion {
  // None, or the conversion's failure: its code and, when it has one, its
  // own text (a bare failure is told by its code).
  Failure failure;
  // Set when the conversion succeeded and its output failed the check:
  // then `failure` is the checker's.
  bool checkFailed = false;
  // Set when the text was not converted because it is a template in the
  // current format already: nothing to do, rather than a failure.
  bool alreadyCurrent = false;
  std::string outputText;
  // With ConversionRequest::record, after a success.
  ConversionRecord record;
  std::vector<std::string> notCarriedOver;
  std::vector<KeyAccounting::NamedChange> changes;
};

// The conversion behind ConvertTemplateText (driver/file_io.h). Throws
// only a failure to get memory (or a misuse of a JSON value), which the
// guard of its entry point (PrepareFile, the C API) reports as this
// conversion's failure; a reader per thread, cleared by each read, so calls may run on
// several threads and nothing carries over from one call to the next.
TemplateConversion ConvertLegacyTemplate(const std::string& text,
                                         const ConversionRequest& request = {});

}  // namespace quorvane
