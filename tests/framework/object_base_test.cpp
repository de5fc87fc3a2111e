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
  auto* raw = new DerivedProbe(&destroyed);
  EXPECT_EQ(raw->refCount.load(), 0u);
  {
    QVRef<DerivedProbe> first(raw);
    QVRef<Probe> second = first;  // a reference to the base class
    EXPECT_EQ(raw->refCount.load(), 2u);
    QVRef<Probe> moved = std::move(second);
    EXPECT_FALSE(second);
    // Resetting or assigning to the object held keeps it alive.
    moved.Reset(moved.Get());
    moved = moved;
    EXPECT_EQ(raw->refCount.load(), 2u);
    EXPECT_EQ(Probe(*moved).refCount.load(), 0u) << "a copy starts unreferenced";
    first.Reset();
    EXPECT_EQ(destroyed, 1) << "the copy";
  }
  EXPECT_EQ(destroyed, 2);
}

int markerSeen = 0;
int RecordingDeleter(QVObjectBase* object) {
  markerSeen = static_cast<int>(object->refCount.load() == QVObjectBase::kReleasedMarker);
  delete object;
  return 0;
}

TEST(QVRef, MarksTheCountAndCallsTheDeleterOnRelease) {
  int destroyed = 0;
  QVRef<Probe> ref = MakeRef<Probe>(&destroyed);
  ref->deleter = &RecordingDeleter;
  ref.Reset();
  EXPECT_EQ(markerSeen, 1);
  EXPECT_EQ(destroyed, 1);
}

}  // namespace
}  // namespace quorvane
