#pragma once
// Preset and bank files built by hand for the tools' tests, field by field from the
// layout (support/ImageBytes.h), with the values of the factory preset table, so that a
// render from such a file can be compared with a render of the factory preset.

#include <fstream>
#include <string>
#include <vector>

#include "effect/signal/FactoryPresetTable.h"
#include "support/ImageBytes.h"

namespace tavola::render::test {

using tavola::test::Bytes;
using tavola::test::ImageBytes;

// The parameter indices the plug-in's images store.
inline const std::vector<int>& storedIndices() {
  static const std::vector<int> indices = {0, 6, 7, 8, 9, 12, 13, 15, 20, 21, 23, 24, 25, 27};
  return indices;
}

// A preset image holding factory preset `factory` under another name.
inline Bytes presetFileOf(int factory, const std::string& name, bool reversed = false) {
  const auto& values = factoryPresetValues(factory).values;
  const auto count = static_cast<std::int32_t>(storedIndices().size());
  ImageBytes image(reversed);
  image.header(34, 1 + count, 0, 168 + 32 * count).nameRecord(0, name);
  for (int index : storedIndices()) image.parameterRecord(0, index, values[index]);
  return image.bytes;
}

// A bank image whose preset p is factory preset (p + 1) mod 7, named "Bank p".
inline Bytes bankFileOf(std::int32_t current, bool reversed = false) {
  const auto count = static_cast<std::int32_t>(storedIndices().size());
  ImageBytes image(reversed);
  image.header(56, 7 * (1 + count), current, 7 * (168 + 32 * count));
  for (int p = 0; p < 7; ++p) {
    image.nameRecord(p, "Bank " + std::to_string(p));
    const auto& values = factoryPresetValues((p + 1) % 7).values;
    for (int index : storedIndices()) image.parameterRecord(p, index, values[index]);
  }
  return image.bytes;
}

inline void writeFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

}  // namespace tavola::render::test
