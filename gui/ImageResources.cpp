#include "gui/ImageResources.h"

#include <algorithm>
#include <vector>

namespace VSTGUI {
namespace {

std::vector<std::span<const ImageResource>>& tables() {
  static std::vector<std::span<const ImageResource>> registered;
  return registered;
}

}  // namespace

void registerImageResources(std::span<const ImageResource> table) {
  tables().push_back(table);
}

void unregisterImageResources(std::span<const ImageResource> table) {
  auto& all = tables();
  all.erase(std::remove_if(all.begin(), all.end(),
                           [&](const auto& t) { return t.data() == table.data(); }),
            all.end());
}

const ImageResource* findImageResource(std::string_view name) {
  const auto& all = tables();
  for (auto table = all.rbegin(); table != all.rend(); ++table)
    for (const ImageResource& image : *table)
      if (name == image.name) return &image;
  return nullptr;
}

}  // namespace VSTGUI
