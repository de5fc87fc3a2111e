#include "framework/failure.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "framework/messages.h"

namespace quorvane {
namespace {

// Each joint is one form some message has; a slip changes every message of
// that form.
TEST(Prefixed, EachJointHasItsForm) {
  const struct {
    Joint joint;
    const char* message;
  } cases[] = {
      {Joint::kColon, "Key:text"},   {Joint::kSpacedColon, "Key :text"},
      {Joint::kSpacedColonSpace, "Key : text"}, {Joint::kSpace, "Key text"},
      {Joint::kNone, "Keytext"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_EQ(Prefixed("Key", "text", c.joint), c.message);
  }
}

// Message() is the converter's line, Plain() the checker's, Detail() what
// a reader hands over beside its code.
TEST(Failure, MessagesAndDetails) {
  const struct {
    const char* name;
    Failure failure;
    const char* message;
    const char* plain;
    const char* detail;
  } cases[] = {
      {"none", Failure(), "", "", ""},
      {"text only", Failure::Of(-10033, "content is not a object"), "content is not a object",
       "content is not a object", "content is not a object"},
      {"levels added on the way out",
       Failure::Of(-10033, "Json value invalid or value out of range.")
           .Within("Name")
           .Within("RegionDefinition"),
       "RegionDefinition:Name:Json value invalid or value out of range.",
       "RegionDefinition:Name:Json value invalid or value out of range.",
       "RegionDefinition:Name:Json value invalid or value out of range."},
      {"the code alone", Failure::OfCode(-10061), "Error: The template is complex.",
       "The template is complex.", ""},
      {"an empty text leaves the code to say it", Failure::Of(-10031, ""),
       "Error: Json type invalid.", "Json type invalid.", ""},
      {"the checker keeps the place of a failure told by its code",
       Failure::Of(-10031, "").Within("BarcodeReaderTaskSettingOptions[2]"),
       "Error: Json type invalid.", "BarcodeReaderTaskSettingOptions[2]:Json type invalid.", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.failure.Message(), c.message);
    EXPECT_EQ(c.failure.Plain(), c.plain);
    EXPECT_EQ(c.failure.Detail(), c.detail);
    EXPECT_EQ(static_cast<bool>(c.failure), c.failure.code != 0);
  }
}

TEST(Failure, TheGuardTurnsThrowsIntoFailures) {
  EXPECT_EQ(Guarded([] { return Failure::OfCode(-10031); }).code, -10031);
  const Failure memory = Guarded([]() -> Failure { throw std::bad_alloc(); });
  EXPECT_EQ(memory.code, -10001);
  const Failure other = Guarded([]() -> Failure { throw std::out_of_range("index"); });
  EXPECT_EQ(other.Message(), "index");
  // A throw that says nothing is told by the code's text, never by nothing.
  const Failure silent = Guarded([]() -> Failure { throw std::logic_error(""); });
  EXPECT_EQ(silent.code, -10000);
  EXPECT_EQ(silent.Detail(), "Unknown error.");
}

TEST(Failure, ThrowsBecomeFailures) {
  const Failure memory = ThrownFailure(std::make_exception_ptr(std::bad_alloc()));
  EXPECT_EQ(memory.code, -10001);
  EXPECT_EQ(memory.Message(), "Not enough memory to perform operation.");
  const Failure other = ThrownFailure(std::make_exception_ptr(std::logic_error("misuse")));
  EXPECT_EQ(other.code, -10000);
  EXPECT_EQ(other.Message(), "misuse");
  // What is no std::exception is no failure it could name: it goes on.
  EXPECT_THROW(ThrownFailure(std::make_exception_ptr(7)), int);
}

}  // namespace
}  // namespace quorvane
