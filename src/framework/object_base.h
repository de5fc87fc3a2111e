#pragma once

// Reference-counted objects: the intrusive counter every parameter object
// carries, the pointer that holds one, and the counted vector that lists of
// sub-objects are handed out in.

#include <atomic>
#include <cstdint>
#include <type_traits>
#include <utility>
#include <vector>

namespace quorvane {

class QVObjectBase {
 public:
  // Written over the count when the last reference goes, so that a use after
  // release shows up in a debugger as an unmistakable value.
  static constexpr std::uint32_t kReleasedMarker = 0xDEADF001u;

  using Deleter = int (*)(QVObjectBase*);

  QVObjectBase() = default;
  // A copy is a new object: it starts unreferenced, with the default deleter.
  QVObjectBase(const QVObjectBase&) {}
  QVObjectBase& operator=(const QVObjectBase&) { return *this; }
  virtual ~QVObjectBase() = default;

  static int DefaultDeleter(QVObjectBase* object) {
    delete object;
    return 0;
  }

  std::atomic<std::uint32_t> refCount{0};
  Deleter deleter = &DefaultDeleter;
};

// Intrusive reference-counted pointer.
template <class T>
class QVRef {
 public:
  QVRef() = default;
  QVRef(std::nullptr_t) {}
  explicit QVRef(T* object) { Reset(object); }
  QVRef(const QVRef& other) { Reset(other.object_); }
  QVRef(QVRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  QVRef(const QVRef<U>& other) {
    Reset(other.Get());
  }
  ~QVRef() { Release(object_); }

  QVRef& operator=(const QVRef& other) {
    Reset(other.object_);
    return *this;
  }
  QVRef& operator=(QVRef&& other) noexcept {
    if (this != &other) {
      T* old = object_;
      object_ = std::exchange(other.object_, nullptr);
      Release(old);
    }
    return *this;
  }

  // Holds `object` (adding its reference first) and releases the one held before.
  void Reset(T* object = nullptr) {
    if (object) object->refCount.fetch_add(1, std::memory_order_relaxed);
    T* old = object_;
    object_ = object;
    Release(old);
  }

  T* Get() const { return object_; }
  T* operator->() const { return object_; }
  T& operator*() const { return *object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  static void Release(T* object) {
    if (object && object->refCount.fetch_sub(1, std::memory_order_acq_rel) == 1) {
      object->refCount.store(QVObjectBase::kReleasedMarker, std::memory_order_relaxed);
      object->deleter(object);
    }
  }

  T* object_ = nullptr;
};

template <class T, class... Args>
QVRef<T> MakeRef(Args&&... args) {
  return QVRef<T>(new T(std::forward<Args>(args)...));
}

// Reference-counted vector, handed out inside a QVRef.
template <class T>
class QVVector : public QVObjectBase {
 public:
  std::vector<T> items;
};

}  // namespace quorvane
