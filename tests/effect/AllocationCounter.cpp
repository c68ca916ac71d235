#include "effect/AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace {

thread_local int watching = 0;
thread_local std::size_t counted = 0;

void* allocate(std::size_t size) {
  if (watching > 0) ++counted;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

void* allocateAligned(std::size_t size, std::align_val_t alignment) {
  if (watching > 0) ++counted;
  const std::size_t a = static_cast<std::size_t>(alignment);
  if (void* p = std::aligned_alloc(a, (size + a - 1) / a * a)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) {
  return allocate(size);
}
void* operator new[](std::size_t size) {
  return allocate(size);
}
void* operator new(std::size_t size, std::align_val_t a) {
  return allocateAligned(size, a);
}
void* operator new[](std::size_t size, std::align_val_t a) {
  return allocateAligned(size, a);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
  std::free(p);
}

namespace tavola::test {

AllocationWatch::AllocationWatch() : start_(counted) {
  ++watching;
}
AllocationWatch::~AllocationWatch() {
  --watching;
}
std::size_t AllocationWatch::allocations() const {
  return counted - start_;
}

}  // namespace tavola::test
