#pragma once
// Counts heap allocations made by the current thread while a scope is watching, through a
// replacement of the global allocation functions (see AllocationCounter.cpp).

#include <cstddef>

namespace tavola::test {

class AllocationWatch {
 public:
  AllocationWatch();
  ~AllocationWatch();
  AllocationWatch(const AllocationWatch&) = delete;
  AllocationWatch& operator=(const AllocationWatch&) = delete;
  std::size_t allocations() const;

 private:
  std::size_t start_;
};

}  // namespace tavola::test
