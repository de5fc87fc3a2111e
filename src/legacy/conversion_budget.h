#pragma once

#include <json/json.h>

#include <cstddef>

#include "framework/failure.h"

namespace quorvane {

// Bounds what one file may make. A few bytes of legacy text ("{}" in an
// image parameter list, a region name in a list, a bare mode name) each make
// whole sections or list elements of many keys, and every image parameter
// may copy its task into each region it names, so a small file could
// otherwise ask for gigabytes. A unit stands for about one JSON value of
// the converted template, counted from above: sections made and kept, list
// elements written or copied, names compared. Every section costs at least
// 64 units, so the limit keeps a converted template within the document's
// section limit; its values are held to the document's limit when it is
// written. No real template comes near it.
class ConversionBudget {
 public:
  // Twice what the template document reads: a file of a few thousand
  // ordinary image parameters converts (the count from above is about twice
  // what they write), while the output itself is held to the document's
  // limit once written.
  static constexpr std::size_t kLimit = std::size_t{1} << 21;
  // What making one section costs, beside the list elements it carries: a
  // section with its default lists writes up to about a hundred values.
  static constexpr std::size_t kSectionUnits = 128;
  // What a legacy image parameter makes beside its list elements: its image
  // parameter (72 values with the default lists), its task (93), its
  // capture-flow template (10) and its name in the whole-image ROI.
  static constexpr std::size_t kImageParameterUnits = 192;
  // What one list element costs: a mode element writes up to 22 values,
  // even when the legacy text gave only its name.
  static constexpr std::size_t kElementUnits = 24;

  // What a legacy value may write: a unit for each value it holds, and for
  // each element of a list what one element of that list writes at most (a
  // bare name may become a whole mode element), as the mappings of the
  // legacy sections say. Counted without recursion.
  static std::size_t UnitsOf(const Json::Value& value);

  // False once the units spent so far exceed the limit.
  bool Spend(std::size_t units) {
    spent_ += units;
    return spent_ <= kLimit;
  }

 private:
  std::size_t spent_ = 0;
};

// The end of a conversion whose budget is spent: -10061, whose own text
// says it.
inline Failure BudgetSpent() { return Failure::OfCode(errors::kTemplateComplex); }

}  // namespace quorvane
