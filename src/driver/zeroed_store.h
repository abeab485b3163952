#pragma once

#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>

// Owns one large store in zeroed memory from the allocator. T is all zero when empty and
// copyable byte for byte: it is made by placement on the zeroed allocation, so that its
// default member initializers take effect, and its large arrays, which have none, stay the
// zero they are. A block this large comes from the system as fresh pages, zero already: as in
// static storage, nothing is cleared and a page the run never touches is never touched.
template <typename T>
class ZeroedStore {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);
  // The allocator aligns less than a store may ask for (the renderings start on a page).
  static constexpr std::size_t kBlockSize = sizeof(T) + alignof(T);

 public:
  ZeroedStore() : block_(std::calloc(1, kBlockSize)) {
    if (block_ == nullptr) throw std::bad_alloc();
    void* at = block_;
    std::size_t space = kBlockSize;
    object_ = ::new (std::align(alignof(T), sizeof(T), at, space)) T;
  }
  ~ZeroedStore() { std::free(block_); }
  ZeroedStore(const ZeroedStore&) = delete;
  ZeroedStore& operator=(const ZeroedStore&) = delete;

  T& operator*() const { return *object_; }
  T* operator->() const { return object_; }

 private:
  void* block_;
  T* object_;
};
