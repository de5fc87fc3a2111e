// The document's typed collections: each kind holds sections of its own
// class only, whichever way a section comes in, so the checks can take them
// as that class.

#include "document/template_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/section_collection.h"
#include "document/section_table.h"

namespace quorvane {
namespace {

TEST(SectionStore, EachKindTakesOnlySectionsOfItsClass) {
  QV_LMFParameter document;
  // A section that no collection holds.
  const QVRef<QV_ParameterFieldBase> stranger = MakeRef<QV_GlobalParameter>();
  std::vector<int> kinds;
  for (const SectionSpec& section : SectionTable()) {
    if (section.collection == kNoCollection) continue;
    SCOPED_TRACE(section.key);
    const QVRef<QV_ParameterFieldBase> own = section.create();
    document.SetSectionObject(section.collection, "own", own);
    document.SetSectionObject(section.collection, "stranger", stranger);
    document.SetSectionObject(section.collection, "null", nullptr);
    EXPECT_EQ(document.FindSectionObject(section.collection, "own"), own.Get());
    EXPECT_EQ(document.FindSectionObject(section.collection, "stranger"), nullptr);
    EXPECT_EQ(document.FindSectionObject(section.collection, "null"), nullptr);
    const SectionMap sections = document.GetSectionMap(section.collection);
    EXPECT_EQ(sections.count("own"), 1u);
    EXPECT_EQ(sections.count("stranger") + sections.count("null"), 0u);
    // No two kinds share a collection.
    for (int other : kinds) {
      EXPECT_NE(document.FindSectionObject(other, "own"), own.Get()) << "kind " << other;
    }
    kinds.push_back(section.collection);
  }
  EXPECT_EQ(kinds.size(), 9u);
}

TEST(SectionStore, KindsWithoutCollectionHoldNothing) {
  QV_LMFParameter document;
  const int kinds[] = {kNoCollection, kAnyTask, 6, 7, 9, 11, kSectionKindCount, 1 << 20};
  for (int kind : kinds) {
    SCOPED_TRACE(kind);
    document.SetSectionObject(kind, "x", MakeRef<QV_ImageParameter>());
    document.AddTask(kind, kBarcodeReaderTask, MakeRef<ZQA_BarcodeReaderTaskSetting>());
    EXPECT_EQ(document.FindSectionObject(kind, "x"), nullptr);
    EXPECT_TRUE(document.GetSectionMap(kind).empty());
  }
}

TEST(SectionStore, CollectionKeepsOneSectionPerNameInByteOrder) {
  SectionCollection<QV_TargetROIDef> collection;
  const auto named = [](const char* name) {
    auto section = MakeRef<QV_TargetROIDef>();
    section->name = name;
    return section;
  };
  for (const char* name : {"b", "a", "B", "a", "ab"}) collection.Set(name, named(name));
  const QVRef<QV_TargetROIDef> replacement = named("a");
  collection.Set("a", replacement);
  EXPECT_EQ(collection.Find("a"), replacement.Get());
  collection.Erase("ab");
  collection.Erase("missing");
  std::string order;
  for (const auto& [name, section] : collection) order += name + "|";
  EXPECT_EQ(order, "B|a|b|");
  EXPECT_EQ(collection.Size(), 3u);
  EXPECT_FALSE(collection.Contains("ab"));
  EXPECT_EQ(collection.Find(""), nullptr);
  // The untyped copy holds the same sections, and is only a copy.
  SectionMap untyped = collection.Untyped();
  ASSERT_EQ(untyped.size(), 3u);
  EXPECT_EQ(untyped["a"].Get(), replacement.Get());
  untyped.clear();
  EXPECT_EQ(collection.Size(), 3u);
}

}  // namespace
}  // namespace quorvane
