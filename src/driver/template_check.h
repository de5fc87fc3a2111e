#pragma once

// The template checker: reads current-format template files the way the
// template document does, and also builds each barcode reader task and
// format specification the document only records, so that a template the
// checker passes reads without error anywhere.

#include <string>
#include <vector>

#include "framework/failure.h"

namespace quorvane {

struct CheckOptions {
  // Also follow every name a section gives to another and every chain of
  // bases, those the document leaves alone included; then refuse every
  // top-level key that is not one of the sections a converted template
  // holds, and a file without any of them.
  bool strict = false;
};

// The checks of one template text, as for a file: none, or the first
// failure, whose text is the whole message (line breaks kept; the code's
// text where nothing else tells it). A legacy template fails. With
// `notRead`, a text that passes also gives the JSON path of every key no
// reader of the model took (in key order).
Failure CheckTemplateText(const std::string& content, std::vector<std::string>* notRead = nullptr,
                          CheckOptions options = {});

}  // namespace quorvane
