#include "tools/tavola-preset/ContentsReport.h"

#include <bit>
#include <cstdio>

namespace tavola::presettool {
namespace {

const char* kindText(FileContents::Container container) {
  switch (container) {
    case FileContents::Container::kPreset:
      return "preset image (kind 34)";
    case FileContents::Container::kBank:
      return "bank image (kind 56)";
    case FileContents::Container::kOldPreset:
      return "version-1 preset (kind 33)";
    case FileContents::Container::kOldBank:
      return "version-1 bank (kind 55)";
    case FileContents::Container::kChunk:
      return "host state chunk, version 2 (format word 0x02000000 before a bank image)";
    case FileContents::Container::kOldChunk:
      return "host state chunk, version 1 (format word 0x01000000)";
  }
  return "unknown";
}

std::string byteOrderText(bool foreign) {
  const bool little = (std::endian::native == std::endian::little) != foreign;
  const char* order = little ? "little-endian" : "big-endian";
  return foreign
             ? std::string("foreign (") + order + ": written on a machine of the other byte order)"
             : std::string("native (") + order + ")";
}

std::string formatText(const FileContents& contents) {
  char text[160];
  switch (contents.container) {
    case FileContents::Container::kPreset:
    case FileContents::Container::kBank:
    case FileContents::Container::kChunk:
      std::snprintf(text, sizeof text, "version 0x%08X, %d parameters, %d records",
                    static_cast<unsigned>(contents.formatVersion), contents.parameterCount,
                    contents.recordCount);
      break;
    case FileContents::Container::kOldPreset:
      std::snprintf(text, sizeof text, "version 1: a name and %lld values",
                    static_cast<long long>(contents.oldFloatCount));
      break;
    case FileContents::Container::kOldBank:
    case FileContents::Container::kOldChunk:
      std::snprintf(text, sizeof text, "version 1: %lld presets of a name and %lld values each",
                    static_cast<long long>(contents.oldPresetCount),
                    static_cast<long long>(contents.oldFloatCount));
      break;
  }
  return text;
}

std::string currentPresetText(const FileContents& contents) {
  const int selected = *contents.currentPreset;
  std::string notes;
  if (contents.storedCurrentPreset != selected)
    notes = "out of range: preset " + std::to_string(selected) + " is selected";
  if (contents.container == FileContents::Container::kBank ||
      contents.container == FileContents::Container::kOldBank)
    notes += std::string(notes.empty() ? "" : "; ") +
             "loading the file in the plug-in starts at preset 0";
  std::string text = std::to_string(contents.storedCurrentPreset);
  return notes.empty() ? text : text + " (" + notes + ")";
}

std::string quoted(const std::optional<std::string>& name) {
  return name ? "\"" + *name + "\"" : std::string("(no name record: the template's name)");
}

std::string presetBlock(const PresetContents& preset, bool numbered,
                        const image::ParameterMask& stored, const ParameterTexts& texts) {
  char line[256];
  std::string text;
  std::snprintf(line, sizeof line, "%-16s%s\n",
                numbered ? ("Preset " + std::to_string(preset.number)).c_str() : "Preset",
                quoted(preset.name).c_str());
  text += line;
  image::ParameterMask given;
  for (const StoredValue& value : preset.values) {
    given[static_cast<std::size_t>(value.index)] = true;
    std::string name = texts.name(value.index);
    if (name.empty()) name = "-";
    std::snprintf(line, sizeof line, "  %2d  %-8s  %-9.6g  %s\n", value.index, name.c_str(),
                  static_cast<double>(value.value),
                  texts.display(value.index, value.value).c_str());
    text += line;
  }
  const image::ParameterMask missing = stored & ~given;
  if (missing.any()) {
    std::string names;
    for (std::size_t i = 0; i < missing.size(); ++i) {
      if (!missing[i]) continue;
      if (!names.empty()) names += ", ";
      names += texts.name(static_cast<int>(i));
    }
    text += "  not stored: " + names + " (loading takes the template's values)\n";
  }
  return text;
}

}  // namespace

std::string formatContents(const std::string& path, std::size_t size, const FileContents& contents,
                           const image::ParameterMask& stored, const ParameterTexts& texts) {
  std::string text;
  auto field = [&text](const char* label, const std::string& value) {
    char head[32];
    std::snprintf(head, sizeof head, "%-16s", label);
    text += head + value + "\n";
  };
  field("File", path + " (" + std::to_string(size) + " bytes)");
  field("Kind", kindText(contents.container));
  field("Byte order", byteOrderText(contents.foreign));
  field("Format", formatText(contents));
  if (contents.currentPreset) field("Current preset", currentPresetText(contents));
  const bool numbered = contents.container != FileContents::Container::kPreset &&
                        contents.container != FileContents::Container::kOldPreset;
  if (contents.presets.empty()) field("Presets", "none");
  for (const PresetContents& preset : contents.presets)
    text += presetBlock(preset, numbered, stored, texts);
  return text;
}

}  // namespace tavola::presettool
