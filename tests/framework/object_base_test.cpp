#include "framework/object_base.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

struct Probe : QVObjectBase {
  explicit Probe(int* destroyed) : destroyed(destroyed) {}
  ~Probe() override { ++*destroyed; }
  int* destroyed;
};

struct DerivedProbe : Probe {
  using Probe::Probe;
};

TEST(QVRef, CountsHoldersAndDestroysWithTheLast) {
  int destroyed = 0;
  auto* raw = new Probe(&destroyed);
  EXPECT_EQ(raw->refCount.load(), 0u);
  {
    QVRef<Probe> first(raw);
    EXPECT_EQ(raw->refCount.load(), 1u);
    QVRef<Probe> second = first;
    EXPECT_EQ(raw->refCount.load(), 2u);
    QVRef<Probe> moved = std::move(second);
    EXPECT_FALSE(second);
    EXPECT_EQ(raw->refCount.load(), 2u);
    first.Reset();
    EXPECT_EQ(destroyed, 0);
  }
  EXPECT_EQ(destroyed, 1);
}

TEST(QVRef, ResetToTheSameObjectKeepsItAlive) {
  int destroyed = 0;
  QVRef<Probe> ref(new Probe(&destroyed));
  ref.Reset(ref.Get());
  EXPECT_EQ(destroyed, 0);
  ref = ref;
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(ref->refCount.load(), 1u);
}

int markerSeen = 0;
int RecordingDeleter(QVObjectBase* object) {
  markerSeen = static_cast<int>(object->refCount.load() == QVObjectBase::kReleasedMarker);
  delete object;
  return 0;
}

TEST(QVRef, MarksTheCountAndCallsTheDeleterOnRelease) {
  int destroyed = 0;
  auto* raw = new Probe(&destroyed);
  raw->deleter = &RecordingDeleter;
  { QVRef<Probe> ref(raw); }
  EXPECT_EQ(markerSeen, 1);
  EXPECT_EQ(destroyed, 1);
}

TEST(QVRef, ConvertsToABaseReference) {
  int destroyed = 0;
  QVRef<DerivedProbe> derived = MakeRef<DerivedProbe>(&destroyed);
  QVRef<Probe> base = derived;
  EXPECT_EQ(base->refCount.load(), 2u);
  derived.Reset();
  EXPECT_EQ(destroyed, 0);
  base.Reset();
  EXPECT_EQ(destroyed, 1);
}

TEST(QVObjectBase, ACopyStartsUnreferenced) {
  int destroyed = 0;
  QVRef<Probe> ref = MakeRef<Probe>(&destroyed);
  Probe copy(*ref);
  EXPECT_EQ(copy.refCount.load(), 0u);
  copy.destroyed = &destroyed;
}

TEST(QVVector, HoldsItemsUnderOneCount) {
  auto list = MakeRef<QVVector<int>>();
  list->items = {1, 2, 3};
  QVRef<QVVector<int>> other = list;
  EXPECT_EQ(other->items.size(), 3u);
  EXPECT_EQ(list->refCount.load(), 2u);
}

}  // namespace
}  // namespace quorvane
