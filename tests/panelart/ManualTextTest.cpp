// The manual's text against the product it describes: every factory preset has its line
// under its own name, in the table's order.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "effect/signal/FactoryPresetTable.h"

namespace tavola {
namespace {

TEST(ManualText, DescribesEveryFactoryPresetInOrder) {
  std::ifstream in(TAVOLA_MANUAL_TEXT);
  ASSERT_TRUE(in) << TAVOLA_MANUAL_TEXT;
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::size_t last = 0;
  for (int i = 0; i < kNumFactoryPresets; ++i) {
    const std::string line = std::string("\n- ") + factoryPresetValues(i).name + ": ";
    const std::size_t at = text.find(line);
    ASSERT_NE(at, std::string::npos) << factoryPresetValues(i).name;
    EXPECT_GT(at, last) << factoryPresetValues(i).name << " is out of order";
    last = at;
  }
}

}  // namespace
}  // namespace tavola
