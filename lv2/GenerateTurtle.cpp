// Writes the bundle's Turtle files into the folder given on the command line.

#include <cstdio>
#include <fstream>
#include <string>

#include "lv2/ports/TurtleWriter.h"

namespace {

bool write(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  if (!file) std::fprintf(stderr, "tavola-lv2-turtle: cannot write %s\n", path.c_str());
  return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tavola-lv2-turtle BUNDLE_FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  const bool ok = write(folder + "/manifest.ttl", tavola::lv2::manifestTurtle()) &&
                  write(folder + "/Tavola.ttl", tavola::lv2::pluginTurtle()) &&
                  write(folder + "/presets.ttl", tavola::lv2::presetsTurtle());
  return ok ? 0 : 1;
}
