#pragma once
// The images a program carries inside itself, found by name ("bmp11500"). The program
// registers its table once; the toolkit never knows where the bytes came from.
//
// Thread contract: register before the first bitmap is made; lookups from the user-interface
// thread.

#include <cstddef>
#include <span>
#include <string_view>

namespace VSTGUI {

struct ImageResource {
  const char* name;
  const unsigned char* png;
  std::size_t size;
};

// Later tables are searched first, so a test can stand its own images in front.
void registerImageResources(std::span<const ImageResource> table);
void unregisterImageResources(std::span<const ImageResource> table);
const ImageResource* findImageResource(std::string_view name);

}  // namespace VSTGUI
