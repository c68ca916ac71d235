// Images and chunks that claim more than they hold, or carry values that are no
// normalised values: each is refused whole, with every preset byte for byte as before,
// no value applied and no reader hook called.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "effect/PresetImageSupport.h"

using namespace tavola;
using test::Bytes;
using test::ImageBytes;
using test::PresetMemory;
using test::snapshot;

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

// The three containers of the current format, as the effect writes them, and the byte
// offsets of their parts.
enum class Container { kPreset, kBank, kChunk };

const char* containerName(Container container) {
  switch (container) {
    case Container::kPreset:
      return "preset image";
    case Container::kBank:
      return "bank image";
    case Container::kChunk:
      return "chunk";
  }
  return "";
}

class ImageRejection : public test::PresetImageTest {
 protected:
  void SetUp() override {
    // Make every preset different from the template and from each other, and current
    // preset 2, so that any stray change shows.
    for (int p = kNumPresets - 1; p >= 0; --p) {
      effect->select(p);
      effect->setParameter(13, static_cast<float>(p) / 8.0f);
      effect->setParameter(40, 0.25f);  // a placeholder: not stored by the writers
      effect->setPresetName(("Preset " + std::to_string(p)).c_str());
    }
    effect->select(2);
  }

  Bytes written(Container container) {
    std::unique_ptr<unsigned char[]> buffer;
    std::size_t size = 0;
    switch (container) {
      case Container::kPreset:
        size = effect->editor().PresetToBuffer(buffer);
        break;
      case Container::kBank:
        size = effect->editor().BankToBuffer(buffer);
        break;
      case Container::kChunk: {
        void* data = nullptr;
        const VstInt32 chunkSize = effect->getChunk(&data);
        const auto* bytes = static_cast<const unsigned char*>(data);
        return Bytes(bytes, bytes + chunkSize);
      }
    }
    return Bytes(buffer.get(), buffer.get() + size);
  }

  // Where the image starts inside the container.
  static std::size_t imageStart(Container container) {
    return container == Container::kChunk ? 8 : 0;
  }
  // Record r of preset block p: the name record is record 0, parameter record k is k + 1.
  static std::size_t recordOffset(Container container, int p, int r) {
    const std::size_t block = imageStart(container) + 41 + static_cast<std::size_t>(p) * 616;
    return r == 0 ? block : block + 168 + 32 * static_cast<std::size_t>(r - 1);
  }

  ImageReadResult read(Container container, const Bytes& bytes) {
    switch (container) {
      case Container::kPreset:
        return effect->editor().readImageFromBytes(bytes, AcceptedImages::kPresets);
      case Container::kBank:
        return effect->editor().readImageFromBytes(bytes, AcceptedImages::kBanks);
      case Container::kChunk:
        break;
    }
    // Both the reason-giving form and the host's.
    ImageReadResult result = effect->readChunk(bytes);
    Bytes copy = bytes;
    const VstInt32 answer =
        effect->setChunk(copy.empty() ? nullptr : copy.data(), static_cast<VstInt32>(copy.size()));
    EXPECT_EQ(answer, result.ok() ? 0 : -1);
    return result;
  }

  // Reads `bytes`, expects it refused (with `status`, unless kApplied is given for "any")
  // and everything untouched.
  void expectRejected(Container container, const Bytes& bytes, ImageReadStatus status,
                      const std::string& what) {
    const PresetMemory before = snapshot(*effect);
    effect->forget();
    const ImageReadResult result = read(container, bytes);
    const std::string where = std::string(containerName(container)) + ", " + what;
    EXPECT_FALSE(result.ok()) << where;
    if (status != ImageReadStatus::kApplied) {
      EXPECT_EQ(result.status, status) << where << ": " << result.reason;
    }
    expectUntouched(before, where.c_str());
  }

  static void patch(Bytes& bytes, std::size_t offset, std::int32_t value) {
    std::memcpy(bytes.data() + offset, &value, 4);
  }
  static void patchFloat(Bytes& bytes, std::size_t offset, float value) {
    std::memcpy(bytes.data() + offset, &value, 4);
  }
};

constexpr Container kContainers[] = {Container::kPreset, Container::kBank, Container::kChunk};

}  // namespace

TEST_F(ImageRejection, WrittenImagesAreAccepted) {
  // The baseline for everything below: each container reads back and writes the same
  // bytes again. (Placeholder values are not stored, so they return to the template.)
  for (Container container : kContainers) {
    const Bytes bytes = written(container);
    const ImageReadResult result = read(container, bytes);
    EXPECT_TRUE(result.ok()) << containerName(container) << ": " << result.reason;
    EXPECT_EQ(written(container), bytes) << containerName(container);
  }
}

TEST_F(ImageRejection, TruncatedAtEveryLength) {
  for (Container container : kContainers) {
    const Bytes full = written(container);
    for (std::size_t length = 0; length < full.size(); ++length) {
      const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length));
      expectRejected(container, cut, ImageReadStatus::kApplied,
                     "cut to " + std::to_string(length) + " bytes");
      if (HasFailure()) return;  // one length is enough to see what went wrong
    }
  }
}

TEST_F(ImageRejection, RecordCountsNearTheIntegerLimits) {
  for (Container container : kContainers) {
    const std::size_t countField = imageStart(container) + 13;
    const std::int32_t real = container == Container::kPreset ? 15 : 105;
    for (std::int32_t count : {INT32_MAX, INT32_MIN, -1, 0x7FFFFFF4, real + 1}) {
      Bytes bytes = written(container);
      patch(bytes, countField, count);
      expectRejected(
          container, bytes,
          count == real + 1 ? ImageReadStatus::kTruncatedRecord : ImageReadStatus::kCountOutOfRange,
          "record count " + std::to_string(count));
    }
  }
}

TEST_F(ImageRejection, RecordLengthsNearTheIntegerLimits) {
  for (Container container : kContainers) {
    const int lastPreset = container == Container::kPreset ? 0 : 6;
    // 0x7FFFFFF4 makes 12 + length overflow a 32-bit sum.
    for (std::int32_t length : {INT32_MAX, INT32_MIN, -1, 0x7FFFFFF4, 0x7FFFFFF3}) {
      const ImageReadStatus expected =
          length < 0 ? ImageReadStatus::kBadRecordLength : ImageReadStatus::kTruncatedRecord;
      Bytes first = written(container);
      patch(first, recordOffset(container, 0, 0) + 4, length);
      expectRejected(container, first, expected, "first length " + std::to_string(length));
      Bytes last = written(container);
      patch(last, recordOffset(container, lastPreset, 14) + 4, length);
      expectRejected(container, last, expected, "last length " + std::to_string(length));
    }
    // The last record one byte longer than the data.
    Bytes longer = written(container);
    patch(longer, recordOffset(container, lastPreset, 14) + 4, 21);
    expectRejected(container, longer, ImageReadStatus::kTruncatedRecord, "last length 21");
    // Bodies too short for the fields a reader takes from them.
    Bytes shortName = written(container);
    patch(shortName, recordOffset(container, lastPreset, 0) + 4, 23);
    expectRejected(container, shortName, ImageReadStatus::kBadRecordLength, "name length 23");
    Bytes shortValue = written(container);
    patch(shortValue, recordOffset(container, lastPreset, 14) + 4, 15);
    expectRejected(container, shortValue, ImageReadStatus::kBadRecordLength, "parameter length 15");
  }
}

TEST_F(ImageRejection, PayloadSizesBeyondTheData) {
  for (Container container : kContainers) {
    const std::size_t payloadField = imageStart(container) + 21;
    const std::int32_t real = container == Container::kPreset ? 616 : 4312;
    for (std::int32_t payload : {INT32_MAX, INT32_MIN, -1, real + 1}) {
      Bytes bytes = written(container);
      patch(bytes, payloadField, payload);
      expectRejected(container, bytes, ImageReadStatus::kPayloadOutOfRange,
                     "payload size " + std::to_string(payload));
    }
    // A payload that ends before the last record: its records are cut short.
    Bytes shorter = written(container);
    patch(shorter, payloadField, real - 1);
    expectRejected(container, shorter, ImageReadStatus::kTruncatedRecord, "payload size - 1");
  }
}

TEST_F(ImageRejection, ValuesThatAreNoNormalisedValues) {
  for (Container container : kContainers) {
    const int preset = container == Container::kPreset ? 0 : 5;
    for (float value : {std::nanf(""), -std::nanf(""), kInf, -kInf, 1.5f, -0.1f,
                        std::nextafter(1.0f, 2.0f), -std::numeric_limits<float>::denorm_min()}) {
      Bytes bytes = written(container);
      patchFloat(bytes, recordOffset(container, preset, 8) + 12 + 12, value);
      expectRejected(
          container, bytes,
          std::isnan(value) ? ImageReadStatus::kValueNotANumber : ImageReadStatus::kValueOutOfRange,
          "value " + std::to_string(value));
    }
    // The edges of the range are values.
    for (float value : {0.0f, -0.0f, 1.0f, std::numeric_limits<float>::denorm_min()}) {
      Bytes bytes = written(container);
      patchFloat(bytes, recordOffset(container, preset, 8) + 12 + 12, value);
      const ImageReadResult result = read(container, bytes);
      EXPECT_TRUE(result.ok()) << containerName(container) << " " << value << ": " << result.reason;
    }
  }
}

TEST_F(ImageRejection, ForeignIdentifiers) {
  for (Container container : {Container::kPreset, Container::kBank}) {
    for (std::int32_t id : {0, -1, fourCharCode('N', 'o', 'p', 'e'), test::kOwnId + 1}) {
      Bytes bytes = written(container);
      patch(bytes, 0, id);
      expectRejected(container, bytes, ImageReadStatus::kUnknownIdentifier,
                     "identifier " + std::to_string(id));
    }
  }
  for (std::int32_t id : {0, fourCharCode('N', 'o', 'p', 'e'), test::kOwnId + 1}) {
    Bytes chunk = written(Container::kChunk);
    patch(chunk, 4, id);
    expectRejected(Container::kChunk, chunk, ImageReadStatus::kUnknownIdentifier,
                   "head identifier " + std::to_string(id));
  }
  // A reversed identifier on native data: read as foreign, it makes no sense.
  Bytes mislabelled = written(Container::kPreset);
  patch(mislabelled, 0, test::reversedOwnId());
  expectRejected(Container::kPreset, mislabelled, ImageReadStatus::kApplied,
                 "reversed identifier, native data");
}

TEST_F(ImageRejection, TooShortForTheirFixedParts) {
  struct Case {
    unsigned char kind;
    std::size_t size;
    AcceptedImages accepted;
  };
  for (const Case& c :
       {Case{33, 28, AcceptedImages::kPresets}, Case{34, 40, AcceptedImages::kPresets},
        Case{55, 172, AcceptedImages::kBanks}, Case{56, 40, AcceptedImages::kBanks},
        Case{34, 5, AcceptedImages::kPresets}}) {
    Bytes bytes(c.size, 0);
    std::memcpy(bytes.data(), &test::kOwnId, 4);
    bytes[4] = c.kind;
    const PresetMemory before = snapshot(*effect);
    effect->forget();
    const ImageReadResult result = effect->editor().readImageFromBytes(bytes, c.accepted);
    EXPECT_EQ(result.status, ImageReadStatus::kTooShort) << int(c.kind) << ": " << result.reason;
    expectUntouched(before, "too short");
  }
  for (std::size_t size : {0, 1, 4}) {
    const Bytes bytes(size, 0);
    EXPECT_EQ(effect->editor().readImageFromBytes(bytes, AcceptedImages::kPresets).status,
              ImageReadStatus::kTooShort);
  }
}

TEST_F(ImageRejection, ReasonsNameTheFieldAndTheNumbers) {
  struct Case {
    Container container;
    std::size_t offset;
    std::int32_t value;
    const char* reason;
  };
  const float tooBig = 1.5f;
  std::int32_t tooBigBits;
  std::memcpy(&tooBigBits, &tooBig, 4);
  const Case cases[] = {
      {Container::kPreset, 13, INT32_MAX,
       "record count 2147483647 needs at least 25769803764 bytes of records (a 12-byte head "
       "each), but only 616 bytes of records are there"},
      {Container::kPreset, 13, -1, "record count -1 is negative"},
      {Container::kPreset, 21, 617,
       "preset image: payload size 617 claims more than the 616 bytes after the 41-byte "
       "header"},
      {Container::kPreset, 41 + 4, 0x7FFFFFF4,
       "record 0 of 15 (type 0) claims a body of 2147483636 bytes, but only 604 bytes follow "
       "its head"},
      {Container::kPreset, 41 + 4, INT32_MIN,
       "record 0 (type 0) has a negative body length of -2147483648"},
      {Container::kPreset, 41 + 168 + 4, 12,
       "record 1 (parameter record) has a body of 12 bytes, too short for its parameter index "
       "and value (16 bytes)"},
      {Container::kPreset, 41 + 168 + 7 * 32 + 24, tooBigBits,
       "record 8: the value of parameter 15 is 1.5, outside [0, 1]"},
      {Container::kBank, 41 + 3 * 616 + 168 + 32 + 24, tooBigBits,
       "record 47: the value of parameter 6 of preset 3 is 1.5, outside [0, 1]"},
      {Container::kChunk, 0, 0x03000000,
       "chunk format word 0x03000000 is neither version 1 (0x01000000) nor version 2 "
       "(0x02000000)"},
  };
  for (const Case& c : cases) {
    Bytes bytes = written(c.container);
    patch(bytes, c.offset, c.value);
    const PresetMemory before = snapshot(*effect);
    const ImageReadResult result = read(c.container, bytes);
    EXPECT_EQ(result.reason, c.reason);
    EXPECT_TRUE(snapshot(*effect) == before) << c.reason;
  }
  const Bytes chunk = written(Container::kChunk);
  EXPECT_EQ(effect->readChunk(Bytes(chunk.begin(), chunk.begin() + 7)).reason,
            "chunk of 7 bytes is shorter than its 8-byte head (format word and unique "
            "identifier)");
  EXPECT_EQ(effect->readChunk(Bytes(chunk.begin(), chunk.begin() + 48)).reason,
            "version-2 chunk of 48 bytes is shorter than its 8-byte head and 41-byte bank "
            "header (49 bytes)");
}
