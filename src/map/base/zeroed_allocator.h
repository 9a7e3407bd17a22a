#pragma once
// An allocator for large arrays of plain values whose memory comes zeroed from
// calloc. Elements made without a value are left as they are, so a vector that
// grows with resize(n) costs no pass over its memory: large blocks come straight
// from the kernel already zero, and their pages are touched only when first
// written. Map-size images and grids are hundreds of megabytes, and a second
// pass over them (zeroing, then filling) costs as much as the fill itself.

#include <cstddef>
#include <cstdlib>
#include <new>
#include <type_traits>
#include <utility>

template <typename T>
class TZeroedAllocator {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>,
                "only for plain values, whose all-zero bytes are a valid value");

 public:
  using value_type = T;

  TZeroedAllocator() noexcept = default;
  template <typename U>
  TZeroedAllocator(const TZeroedAllocator<U>&) noexcept {}

  T* allocate(std::size_t N) {
    if (N > std::size_t(-1) / sizeof(T)) throw std::bad_array_new_length();
    void* p = std::calloc(N == 0 ? 1 : N, sizeof(T));
    if (p == nullptr) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  void deallocate(T* P, std::size_t) noexcept { std::free(P); }

  // Default construction leaves calloc's zero bytes in place; everything else
  // constructs as usual.
  template <typename U>
  void construct(U* P) noexcept(std::is_nothrow_default_constructible_v<U>) {
    ::new (static_cast<void*>(P)) U;
  }
  template <typename U, typename... Args>
  void construct(U* P, Args&&... A) {
    ::new (static_cast<void*>(P)) U(std::forward<Args>(A)...);
  }

  template <typename U>
  friend bool operator==(const TZeroedAllocator&, const TZeroedAllocator<U>&) noexcept {
    return true;
  }
};
