#pragma once
// A fixed-capacity queue for many producers and one consumer that never blocks, never
// allocates and takes no lock: a producer claims a slot with one compare-and-swap and
// publishes it with a release store of the slot's sequence number; when every slot is
// taken, push fails at once instead of waiting. The consumer pops in the order the slots
// were claimed.
//
// Thread contract: push from any thread (the audio thread included); pop from one thread
// at a time.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace tavola {

template <typename T, std::size_t Capacity>
class BoundedQueue {
  static_assert(Capacity >= 2 && (Capacity & (Capacity - 1)) == 0,
                "the capacity must be a power of two");
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  BoundedQueue() {
    for (std::size_t i = 0; i < Capacity; ++i)
      slots_[i].sequence.store(i, std::memory_order_relaxed);
  }
  BoundedQueue(const BoundedQueue&) = delete;
  BoundedQueue& operator=(const BoundedQueue&) = delete;

  // False when the queue is full; the item is then not stored.
  bool push(const T& item) {
    std::size_t position = tail_.load(std::memory_order_relaxed);
    for (;;) {
      Slot& slot = slots_[position & kMask];
      const std::size_t sequence = slot.sequence.load(std::memory_order_acquire);
      const auto lag = static_cast<std::intptr_t>(sequence) - static_cast<std::intptr_t>(position);
      if (lag == 0) {
        if (tail_.compare_exchange_weak(position, position + 1, std::memory_order_relaxed)) {
          slot.item = item;
          slot.sequence.store(position + 1, std::memory_order_release);
          return true;
        }
      } else if (lag < 0) {
        return false;  // the consumer has not freed this slot yet: full
      } else {
        position = tail_.load(std::memory_order_relaxed);
      }
    }
  }

  // False when nothing is waiting (or the oldest claimed slot is still being written).
  bool pop(T& item) {
    Slot& slot = slots_[head_ & kMask];
    const std::size_t sequence = slot.sequence.load(std::memory_order_acquire);
    if (sequence != head_ + 1) return false;
    item = slot.item;
    slot.sequence.store(head_ + Capacity, std::memory_order_release);
    ++head_;
    return true;
  }

 private:
  static constexpr std::size_t kMask = Capacity - 1;

  struct Slot {
    std::atomic<std::size_t> sequence;
    T item;
  };

  std::array<Slot, Capacity> slots_;
  // Apart from the slots and from each other: producers hammer the tail, the consumer
  // owns the head.
  alignas(64) std::atomic<std::size_t> tail_{0};
  alignas(64) std::size_t head_ = 0;
};

}  // namespace tavola
