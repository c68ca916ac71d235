#include "vsthost/HostedEffect.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

// The instance whose entry point is running on this thread. While the effect's
// constructor runs it already calls back (version query, display updates of its first
// preset), but its record's user field cannot point at us before the entry returns. The
// context is per thread, so two threads may create effects at the same time.
thread_local HostedEffect* constructing = nullptr;

// Set while this thread is inside one of the effect's processing entries: a callback then
// comes from the audio thread, where a DAW wants none.
thread_local bool insideProcessing = false;

class ProcessingScope {
 public:
  ProcessingScope() { insideProcessing = true; }
  ~ProcessingScope() { insideProcessing = false; }
  ProcessingScope(const ProcessingScope&) = delete;
  ProcessingScope& operator=(const ProcessingScope&) = delete;
};

class ConstructingScope {
 public:
  explicit ConstructingScope(HostedEffect* host) : previous_(constructing) { constructing = host; }
  ~ConstructingScope() { constructing = previous_; }
  ConstructingScope(const ConstructingScope&) = delete;
  ConstructingScope& operator=(const ConstructingScope&) = delete;

 private:
  HostedEffect* previous_;
};

// Host buffers for texts are far larger than the interface's stated limits: effects
// commonly write past those limits, and a host that trusted them would be corrupted.
constexpr std::size_t kTextBufferSize = 256;

std::string terminatedText(const char* buffer) {
  return std::string(buffer, strnlen(buffer, kTextBufferSize - 1));
}

void fillArrangement(VstSpeakerArrangement& arrangement, VstInt32 channels) {
  std::memset(&arrangement, 0, sizeof arrangement);
  arrangement.numChannels = channels;
  arrangement.type = channels == 1   ? kSpeakerArrMono
                     : channels == 2 ? kSpeakerArrStereo
                                     : kSpeakerArrUserDefined;
}

}  // namespace

HostedEffect::HostedEffect(const HostOptions& options) : options_(options) {
  for (auto& pin : inputConnected_) pin.store(true);
  for (auto& pin : outputConnected_) pin.store(true);
}

std::unique_ptr<HostedEffect> HostedEffect::create(const PluginLibrary& library, std::string* error,
                                                   const HostOptions& options) {
  auto fail = [error](const std::string& text) {
    if (error) *error = text;
    return nullptr;
  };
  const VstPluginEntry entry = options.entryPoint ? options.entryPoint : library.entry();
  if (!entry)
    return fail(library.error().empty() ? "no entry point in " + library.path() : library.error());

  std::unique_ptr<HostedEffect> host(new HostedEffect(options));
  AEffect* effect = nullptr;
  {
    ConstructingScope scope(host.get());
    effect = entry(&HostedEffect::hostCallback);
  }
  if (!effect) return fail("the entry point of " + library.path() + " returned no effect (null)");
  if (effect->magic != kEffectMagic) {
    // The record is not one we understand, so neither is its dispatcher: the effect is
    // abandoned rather than closed through an entry we cannot trust.
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(effect->magic));
    return fail("bad magic " + std::string(text) + " in the effect of " + library.path() +
                " ('VstP', 0x56737450, expected)");
  }
  effect->user = host.get();
  host->effect_ = effect;
  if (options.openOnCreate) host->open();
  if (error) error->clear();
  return host;
}

HostedEffect::~HostedEffect() {
  if (!effect_) return;
  // A DAW stops the effect before removing it; effects may rely on that order.
  if (resumed_.load()) suspend();
  close();
}

VstIntPtr HostedEffect::hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                     VstIntPtr value, void* ptr, float opt) {
  HostedEffect* host =
      effect && effect->user ? static_cast<HostedEffect*>(effect->user) : constructing;
  // A call we cannot attribute (an effect calling from a thread of its own before its
  // entry returned) still learns the version it is hosted by.
  if (!host) return opcode == audioMasterVersion ? kVstVersion : 0;
  return host->answer(opcode, index, value, ptr, opt);
}

VstIntPtr HostedEffect::answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt) {
  log_.countRequest(opcode);
  if (insideProcessing) log_.countDuringProcessing(opcode);
  if (constructing == this) log_.recordDuringConstruction(opcode);
  switch (opcode) {
    case audioMasterCanDo:
      return ptr && options_.acceptIOChanges &&
                     std::strcmp(static_cast<const char*>(ptr), "acceptIOChanges") == 0
                 ? 1
                 : 0;
    case audioMasterIOChanged:
      return options_.acceptIOChanges ? 1 : 0;
    case audioMasterVersion:
      return options_.answerVersion ? kVstVersion : 0;
    case audioMasterAutomate:
      log_.recordAutomate(index, opt);
      return 0;
    case audioMasterBeginEdit:
      log_.recordBeginEdit(index);
      return 0;
    case audioMasterEndEdit:
      log_.recordEndEdit(index);
      return 0;
    case audioMasterPinConnected:
      // The index is the pin, the value 0 for an input and 1 for an output; the answer
      // is inverted: 0 means connected.
      return pinConnected(value != 0, index) ? 0 : 1;
    case audioMasterGetSampleRate:
      return static_cast<VstIntPtr>(sampleRate_.load());
    case audioMasterGetBlockSize:
      return blockSize_.load();
    default:
      // audioMasterUpdateDisplay is only counted; everything else this host does not
      // offer, which 0 says.
      return 0;
  }
}

VstIntPtr HostedEffect::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt) const {
  if (!effect_ || !effect_->dispatcher) return 0;
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void HostedEffect::open() {
  dispatch(effOpen);
}

void HostedEffect::close() {
  if (!effect_) return;
  dispatch(effClose);
  // The effect has deleted itself together with its record.
  effect_ = nullptr;
  resumed_.store(false);
}

std::optional<std::string> HostedEffect::textRequest(VstInt32 opcode, VstInt32 index,
                                                     VstIntPtr value) const {
  char buffer[kTextBufferSize] = {};
  const VstIntPtr answered = dispatch(opcode, index, value, buffer);
  buffer[kTextBufferSize - 1] = 0;
  if (!answered) return std::nullopt;
  return terminatedText(buffer);
}

std::optional<std::string> HostedEffect::effectName() const {
  return textRequest(effGetEffectName, 0, 0);
}

std::optional<std::string> HostedEffect::vendorString() const {
  return textRequest(effGetVendorString, 0, 0);
}

std::optional<std::string> HostedEffect::productString() const {
  return textRequest(effGetProductString, 0, 0);
}

VstInt32 HostedEffect::vendorVersion() const {
  return static_cast<VstInt32>(dispatch(effGetVendorVersion));
}

VstInt32 HostedEffect::uniqueId() const {
  return effect_ ? effect_->uniqueID : 0;
}

std::string HostedEffect::uniqueIdText() const {
  const auto id = static_cast<std::uint32_t>(uniqueId());
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const auto byte = static_cast<unsigned char>((id >> shift) & 0xFFu);
    text += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '.';
  }
  return text;
}

VstInt32 HostedEffect::category() const {
  return static_cast<VstInt32>(dispatch(effGetPlugCategory));
}

VstInt32 HostedEffect::vstVersion() const {
  return static_cast<VstInt32>(dispatch(effGetVstVersion));
}

VstInt32 HostedEffect::numPrograms() const {
  return effect_ ? effect_->numPrograms : 0;
}
VstInt32 HostedEffect::numParams() const {
  return effect_ ? effect_->numParams : 0;
}
VstInt32 HostedEffect::numInputs() const {
  return effect_ ? effect_->numInputs : 0;
}
VstInt32 HostedEffect::numOutputs() const {
  return effect_ ? effect_->numOutputs : 0;
}
VstInt32 HostedEffect::flags() const {
  return effect_ ? effect_->flags : 0;
}
VstInt32 HostedEffect::initialDelay() const {
  return effect_ ? effect_->initialDelay : 0;
}

VstIntPtr HostedEffect::tailSize() const {
  return dispatch(effGetTailSize);
}

VstIntPtr HostedEffect::canDo(const std::string& text) const {
  // The effect takes a writable text; it gets its own copy.
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back(0);
  return dispatch(effCanDo, 0, 0, buffer.data());
}

bool HostedEffect::inputProperties(VstInt32 index, VstPinProperties& properties) const {
  return dispatch(effGetInputProperties, index, 0, &properties) != 0;
}

bool HostedEffect::outputProperties(VstInt32 index, VstPinProperties& properties) const {
  return dispatch(effGetOutputProperties, index, 0, &properties) != 0;
}

bool HostedEffect::setSpeakerArrangement(VstInt32 inputChannels, VstInt32 outputChannels) const {
  VstSpeakerArrangement input;
  VstSpeakerArrangement output;
  fillArrangement(input, inputChannels);
  fillArrangement(output, outputChannels);
  return setSpeakerArrangement(input, output);
}

bool HostedEffect::setSpeakerArrangement(VstSpeakerArrangement& input,
                                         VstSpeakerArrangement& output) const {
  // The interface passes the input arrangement in the value argument.
  return dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input), &output) != 0;
}

std::string HostedEffect::parameterName(VstInt32 index) const {
  char buffer[kTextBufferSize] = {};
  dispatch(effGetParamName, index, 0, buffer);
  buffer[kTextBufferSize - 1] = 0;
  return terminatedText(buffer);
}

std::string HostedEffect::parameterLabel(VstInt32 index) const {
  char buffer[kTextBufferSize] = {};
  dispatch(effGetParamLabel, index, 0, buffer);
  buffer[kTextBufferSize - 1] = 0;
  return terminatedText(buffer);
}

std::string HostedEffect::parameterDisplay(VstInt32 index) const {
  char buffer[kTextBufferSize] = {};
  dispatch(effGetParamDisplay, index, 0, buffer);
  buffer[kTextBufferSize - 1] = 0;
  return terminatedText(buffer);
}

bool HostedEffect::parameterProperties(VstInt32 index, VstParameterProperties& properties) const {
  return dispatch(effGetParameterProperties, index, 0, &properties) != 0;
}

float HostedEffect::getParameter(VstInt32 index) const {
  if (!effect_ || !effect_->getParameter) return 0.0f;
  return effect_->getParameter(effect_, index);
}

bool HostedEffect::setParameterFromText(VstInt32 index, const std::string& text) const {
  // The effect may write into the text (the interface passes it mutable): give it a copy.
  std::string buffer = text;
  buffer.resize(std::max<std::size_t>(buffer.size() + 1, kTextBufferSize), '\0');
  return dispatch(effString2Parameter, index, 0, buffer.data()) != 0;
}

void HostedEffect::setParameter(VstInt32 index, float value) const {
  if (effect_ && effect_->setParameter) effect_->setParameter(effect_, index, value);
}

std::optional<std::string> HostedEffect::programNameIndexed(VstInt32 index,
                                                            VstInt32 category) const {
  return textRequest(effGetProgramNameIndexed, index, category);
}

VstInt32 HostedEffect::program() const {
  return static_cast<VstInt32>(dispatch(effGetProgram));
}

void HostedEffect::setProgram(VstInt32 program) const {
  dispatch(effSetProgram, 0, program);
}

std::string HostedEffect::programName() const {
  char buffer[kTextBufferSize] = {};
  dispatch(effGetProgramName, 0, 0, buffer);
  buffer[kTextBufferSize - 1] = 0;
  return terminatedText(buffer);
}

void HostedEffect::setProgramName(const std::string& name) const {
  char buffer[kTextBufferSize] = {};
  std::strncpy(buffer, name.c_str(), kTextBufferSize - 1);
  dispatch(effSetProgramName, 0, 0, buffer);
}

void HostedEffect::setSampleRate(float rate) {
  sampleRate_.store(rate);
  dispatch(effSetSampleRate, 0, 0, nullptr, rate);
}

void HostedEffect::setBlockSize(VstInt32 frames) {
  blockSize_.store(frames);
  dispatch(effSetBlockSize, 0, frames);
}

void HostedEffect::resume() {
  dispatch(effMainsChanged, 0, 1);
  resumed_.store(effect_ != nullptr);
}

void HostedEffect::suspend() {
  dispatch(effMainsChanged, 0, 0);
  resumed_.store(false);
}

bool HostedEffect::processReplacing(float* const* inputs, float* const* outputs,
                                    VstInt32 frames) const {
  if (!effect_ || !effect_->processReplacing) return false;
  // The interface's pointers are not const-qualified; the effect writes only through
  // the channel pointers, never into the arrays themselves.
  const ProcessingScope scope;
  effect_->processReplacing(effect_, const_cast<float**>(inputs), const_cast<float**>(outputs),
                            frames);
  return true;
}

bool HostedEffect::processDoubleReplacing(double* const* inputs, double* const* outputs,
                                          VstInt32 frames) const {
  if (!effect_ || !effect_->processDoubleReplacing) return false;
  const ProcessingScope scope;
  effect_->processDoubleReplacing(effect_, const_cast<double**>(inputs),
                                  const_cast<double**>(outputs), frames);
  return true;
}

std::vector<unsigned char> HostedEffect::getChunk(bool preset) const {
  void* data = nullptr;
  const VstIntPtr size = dispatch(effGetChunk, preset ? 1 : 0, 0, &data);
  if (size <= 0 || !data) return {};
  const auto* bytes = static_cast<const unsigned char*>(data);
  return std::vector<unsigned char>(bytes, bytes + size);
}

VstIntPtr HostedEffect::setChunk(const std::vector<unsigned char>& data, bool preset) const {
  std::vector<unsigned char> copy(data);
  return dispatch(effSetChunk, preset ? 1 : 0, static_cast<VstIntPtr>(copy.size()),
                  copy.empty() ? nullptr : copy.data());
}

std::optional<ERect> HostedEffect::editorRect() const {
  ERect* rect = nullptr;
  dispatch(effEditGetRect, 0, 0, &rect);
  if (!rect) return std::nullopt;
  return *rect;
}

void HostedEffect::setPinConnected(bool output, int pin, bool connected) {
  if (pin < 0 || pin >= kMaxPins) return;
  (output ? outputConnected_ : inputConnected_)[static_cast<std::size_t>(pin)].store(connected);
}

bool HostedEffect::pinConnected(bool output, int pin) const {
  if (pin < 0 || pin >= kMaxPins) return false;
  return (output ? outputConnected_ : inputConnected_)[static_cast<std::size_t>(pin)].load();
}
