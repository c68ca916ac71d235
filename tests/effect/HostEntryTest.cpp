// The entries of the AEffect record: whatever the effect's code throws, the host (plain C)
// only ever sees the request's failure value.

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "effect/TestHost.h"

namespace tavola {
namespace {

// An effect whose every operation fails the way an allocation failure would.
class ThrowingEffect : public Tavola {
 public:
  ThrowingEffect() : Tavola(test::connectedHost) {}
  bool throwing = false;

  VstInt32 setChunk(void* data, VstInt32 size, bool isPreset) override {
    if (throwing) throw std::bad_alloc();
    return Tavola::setChunk(data, size, isPreset);
  }
  void setParameter(VstInt32 index, float value) override {
    if (throwing) throw std::runtime_error("automation");
    Tavola::setParameter(index, value);
  }
  float getParameter(VstInt32 index) override {
    if (throwing) throw std::bad_alloc();
    return Tavola::getParameter(index);
  }
  void processReplacing(float** in, float** out, VstInt32 n) override {
    if (throwing) throw std::bad_alloc();
    Tavola::processReplacing(in, out, n);
  }
  void processDoubleReplacing(double** in, double** out, VstInt32 n) override {
    if (throwing) throw std::bad_alloc();
    Tavola::processDoubleReplacing(in, out, n);
  }
  void close() override {
    if (throwing) throw std::bad_alloc();
  }
};

TEST(HostEntries, NothingThrownReachesTheHost) {
  test::quietly([] {
    auto* effect = new ThrowingEffect;
    AEffect* e = effect->getAeffect();
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
    effect->throwing = true;

    unsigned char chunk[64] = {};
    EXPECT_EQ(e->dispatcher(e, effSetChunk, 0, sizeof chunk, chunk, 0.0f), 0);
    e->setParameter(e, 6, 0.25f);
    EXPECT_EQ(e->getParameter(e, 6), 0.0f);

    // Processing that fails leaves silence, not whatever the buffers held.
    float left[32], right[32];
    double leftDouble[32], rightDouble[32];
    for (int i = 0; i < 32; ++i) left[i] = right[i] = 0.5f, leftDouble[i] = rightDouble[i] = 0.5;
    float* io[] = {left, right};
    double* ioDouble[] = {leftDouble, rightDouble};
    e->processReplacing(e, io, io, 32);
    e->processDoubleReplacing(e, ioDouble, ioDouble, 32);
    for (int i = 0; i < 32; ++i) {
      EXPECT_EQ(left[i], 0.0f);
      EXPECT_EQ(right[i], 0.0f);
      EXPECT_EQ(leftDouble[i], 0.0);
      EXPECT_EQ(rightDouble[i], 0.0);
    }
    // A close that throws still frees the effect (the sanitizer build sees a leak if not).
    EXPECT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f), 1);
  });
}

}  // namespace
}  // namespace tavola
