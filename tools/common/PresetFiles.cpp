#include "tools/common/PresetFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "effect/signal/FactoryPresetTable.h"
#include "platform/AtomicFile.h"
#include "presets/format/DecodedPresets.h"
#include "presets/format/ImageLayout.h"
#include "presets/format/ImageWriting.h"
#include "vsthost/HostedEffect.h"

namespace tavola::render {
namespace {

PresetRecord factoryTemplate() {
  const FactoryPresetValues& factory = factoryPresetValues(0);
  PresetRecord preset{};
  std::strncpy(preset.name, factory.name, kPresetNameSize - 1);
  for (int i = 0; i < kNumPresetParameters; ++i) preset.params[i] = factory.values[i];
  return preset;
}

// The whole of one image file decoded into a memory that starts as the plug-in's would
// (every preset the template); `accepted` says whether it must be a preset or a bank.
Status decodeFile(const std::string& path, AcceptedImages accepted, const PluginPresetFacts& facts,
                  std::array<PresetRecord, kNumPresets>& memory, image::DecodedImage& decoded) {
  std::vector<unsigned char> bytes;
  if (Status status = readPresetFileBytes(path, bytes); !status.ok()) return status;
  const char* what = accepted == AcceptedImages::kBanks ? "bank file" : "preset file";
  image::ImageParts parts;
  ImageReadResult result = image::splitImage(bytes, facts.uniqueId, accepted, false, parts);
  if (result.ok()) result = image::decodeImage(parts, ~facts.stored, 0, decoded);
  if (!result.ok())
    return Status::runtime(std::string("the ") + what + " " + path +
                           " was refused: " + result.reason);
  memory.fill(facts.templatePreset);
  image::applyToPresets(decoded, memory, facts.templatePreset);
  return Status();
}

}  // namespace

Status learnPresetFacts(HostedEffect& effect, PluginPresetFacts& facts) {
  facts = PluginPresetFacts();
  facts.uniqueId = effect.uniqueId();
  facts.templatePreset = factoryTemplate();
  const std::vector<unsigned char> chunk = effect.getChunk();
  image::ChunkParts parts;
  image::DecodedImage decoded;
  ImageReadResult result = image::splitChunk(chunk, facts.uniqueId, parts);
  if (result.ok()) result = image::decodeChunk(chunk, parts, {}, decoded);
  if (!result.ok())
    return Status::runtime("the plug-in's own state chunk cannot be read: " + result.reason);
  facts.stored = image::valuesGiven(decoded, decoded.selectedPreset);
  return Status();
}

Status learnPresetFacts(const PluginHost& host, const Console& console, PluginPresetFacts& facts) {
  auto quiet = console.probeCalls();
  std::unique_ptr<HostedEffect> scratch;
  if (Status status = host.createInstance(scratch); !status.ok()) return status;
  return learnPresetFacts(*scratch, facts);
}

Status readPresetFileBytes(const std::string& path, std::vector<unsigned char>& bytes) {
  bytes.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return Status::runtime("cannot open " + path + ": " + std::strerror(errno));
  struct stat info {};
  std::string problem;
  if (::fstat(fd, &info) != 0)
    problem = std::string("cannot read it: ") + std::strerror(errno);
  else if (S_ISDIR(info.st_mode))
    problem = "it is a folder";
  else if (!S_ISREG(info.st_mode))
    problem = "it is not a file";
  else if (static_cast<std::size_t>(info.st_size) > kMaxPresetFileBytes)
    problem = "it is " + std::to_string(info.st_size) +
              " bytes long, far more than any preset, bank or chunk (at most " +
              std::to_string(kMaxPresetFileBytes) + " bytes are read)";
  if (problem.empty()) {
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) {
        problem = got < 0 ? std::string("cannot read it: ") + std::strerror(errno)
                          : std::string("it ended early (was it changed while it was read?)");
        break;
      }
      done += static_cast<std::size_t>(got);
    }
  }
  ::close(fd);
  if (problem.empty()) return Status();
  bytes.clear();
  return Status::runtime("cannot use " + path + ": " + problem);
}

Status readPresetFile(const std::string& path, const PluginPresetFacts& facts, FilePreset& out) {
  std::array<PresetRecord, kNumPresets> memory;
  image::DecodedImage decoded;
  if (Status status = decodeFile(path, AcceptedImages::kPresets, facts, memory, decoded);
      !status.ok())
    return status;
  out.path = path;
  out.bankIndex = -1;
  out.preset = memory[0];
  return Status();
}

Status readBankPreset(const std::string& path, int index, const PluginPresetFacts& facts,
                      FilePreset& out) {
  if (index < 0 || index >= kNumPresets)
    return Status::usage("a bank holds presets 0 to 6, not " + std::to_string(index));
  std::array<PresetRecord, kNumPresets> memory;
  image::DecodedImage decoded;
  if (Status status = decodeFile(path, AcceptedImages::kBanks, facts, memory, decoded);
      !status.ok())
    return status;
  out.path = path;
  out.bankIndex = index;
  out.preset = memory[static_cast<std::size_t>(index)];
  return Status();
}

Status currentPresetImage(HostedEffect& effect, const PluginPresetFacts& facts,
                          const std::string& name, std::vector<unsigned char>& image) {
  const std::vector<unsigned char> chunk = effect.getChunk();
  image::ChunkParts parts;
  image::DecodedImage decoded;
  ImageReadResult result = image::splitChunk(chunk, facts.uniqueId, parts);
  if (result.ok()) result = image::decodeChunk(chunk, parts, ~facts.stored, decoded);
  if (!result.ok())
    return Status::runtime("the plug-in's state chunk cannot be read: " + result.reason);
  std::array<PresetRecord, kNumPresets> memory;
  memory.fill(facts.templatePreset);
  image::applyToPresets(decoded, memory, facts.templatePreset);
  PresetRecord preset = memory[static_cast<std::size_t>(decoded.selectedPreset)];
  std::memset(preset.name, 0, sizeof preset.name);
  const std::string fitted = fittedPresetName(name);
  std::memcpy(preset.name, fitted.data(), fitted.size());
  image = image::presetImage(facts.uniqueId, preset, facts.stored);
  return Status();
}

Status writeWholeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::string error;
  if (!writeFileAtomically(path, bytes, &error))
    return Status::runtime("cannot save " + path + ": " + error);
  return Status();
}

std::string fittedPresetName(const std::string& name) {
  std::size_t length = std::min<std::size_t>(name.size(), kPresetNameSize - 1);
  // Back off over continuation bytes (10xxxxxx) to the start of the character that did
  // not fit whole.
  if (length < name.size())
    while (length > 0 && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80) --length;
  std::string fitted = name.substr(0, length);
  if (const std::size_t nul = fitted.find('\0'); nul != std::string::npos) fitted.resize(nul);
  return fitted;
}

std::string presetStemFromPath(const std::string& path) {
  std::string name = path.substr(path.find_last_of('/') + 1);
  if (const std::size_t dot = name.find_last_of('.'); dot != std::string::npos && dot > 0)
    name.erase(dot);
  return name;
}

std::string presetNameFromPath(const std::string& path) {
  return fittedPresetName(presetStemFromPath(path));
}

}  // namespace tavola::render
