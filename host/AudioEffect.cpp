#include "host/AudioEffect.h"

#include "host/AEffEditor.h"

namespace {

AudioEffect* effectOf(AEffect* e) {
  return e ? static_cast<AudioEffect*>(e->object) : nullptr;
}

// The entries the host calls. Nothing may escape into the host, which is C and would
// terminate: an exception (an allocation failure while reading a chunk, say) ends as the
// request's failure value: 0 from the dispatcher, 0.0 from getParameter, silence from
// processing.
template <typename Sample>
void silenceOutputs(const AEffect* e, Sample** outputs, VstInt32 sampleFrames) {
  if (!outputs || sampleFrames < 1) return;
  for (VstInt32 c = 0; c < e->numOutputs; ++c)
    if (outputs[c])
      for (VstInt32 i = 0; i < sampleFrames; ++i) outputs[c][i] = Sample(0);
}

VstIntPtr dispatchEffectClass(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                              void* ptr, float opt) {
  AudioEffect* effect = effectOf(e);
  if (!effect) return 0;
  if (opcode == effClose) {
    // The effect goes whatever its close does.
    try {
      effect->dispatcher(opcode, index, value, ptr, opt);
    } catch (...) {
    }
    delete effect;
    return 1;
  }
  try {
    return effect->dispatcher(opcode, index, value, ptr, opt);
  } catch (...) {
    return 0;
  }
}

void setParameterClass(AEffect* e, VstInt32 index, float value) {
  try {
    if (AudioEffect* effect = effectOf(e)) effect->setParameter(index, value);
  } catch (...) {
  }
}

float getParameterClass(AEffect* e, VstInt32 index) {
  try {
    AudioEffect* effect = effectOf(e);
    return effect ? effect->getParameter(index) : 0.0f;
  } catch (...) {
    return 0.0f;
  }
}

void processReplacingClass(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames) {
  try {
    if (AudioEffect* effect = effectOf(e)) effect->processReplacing(inputs, outputs, sampleFrames);
  } catch (...) {
    silenceOutputs(e, outputs, sampleFrames);
  }
}

void processDoubleReplacingClass(AEffect* e, double** inputs, double** outputs,
                                 VstInt32 sampleFrames) {
  try {
    if (AudioEffect* effect = effectOf(e))
      effect->processDoubleReplacing(inputs, outputs, sampleFrames);
  } catch (...) {
    silenceOutputs(e, outputs, sampleFrames);
  }
}

// The accumulating entry predates processReplacing. A host that reads the replacing flag
// never calls it; one that does gets the replacing result added to what its outputs hold,
// computed in fixed-size pieces so that nothing is allocated.
void processAccumulatingClass(AEffect* e, float** inputs, float** outputs,
                              VstInt32 sampleFrames) try {
  AudioEffect* effect = effectOf(e);
  if (!effect || !inputs || !outputs || sampleFrames < 1) return;
  constexpr VstInt32 kPiece = 64;
  float scratch[2][kPiece] = {};
  const VstInt32 channels = e->numOutputs < 2 ? e->numOutputs : 2;
  for (VstInt32 start = 0; start < sampleFrames; start += kPiece) {
    const VstInt32 n = sampleFrames - start < kPiece ? sampleFrames - start : kPiece;
    float* in[2] = {inputs[0] + start, e->numInputs > 1 ? inputs[1] + start : inputs[0] + start};
    float* out[2] = {scratch[0], scratch[1]};
    effect->processReplacing(in, out, n);
    for (VstInt32 c = 0; c < channels; ++c)
      for (VstInt32 i = 0; i < n; ++i) outputs[c][start + i] += scratch[c][i];
  }
} catch (...) {
  // Accumulating adds to what the outputs hold: adding nothing is the silent answer.
}

}  // namespace

AudioEffect::AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
    : numPrograms_(numPrograms), numParams_(numParams), audioMaster_(audioMaster) {
  cEffect_.magic = kEffectMagic;
  cEffect_.dispatcher = dispatchEffectClass;
  cEffect_.process = processAccumulatingClass;
  cEffect_.setParameter = setParameterClass;
  cEffect_.getParameter = getParameterClass;
  cEffect_.numPrograms = numPrograms;
  cEffect_.numParams = numParams;
  cEffect_.numInputs = 1;
  cEffect_.numOutputs = 2;
  cEffect_.ioRatio = 1.0f;
  cEffect_.object = this;
  cEffect_.uniqueID = fourCharCode('N', 'o', 'E', 'f');
  cEffect_.version = 1;
  cEffect_.processReplacing = processReplacingClass;
  cEffect_.processDoubleReplacing = processDoubleReplacingClass;
}

AudioEffect::~AudioEffect() {
  AEffEditor* editor = editor_;
  editor_ = nullptr;
  delete editor;
}

void AudioEffect::setFlag(VstInt32 flag, bool state) {
  if (state)
    cEffect_.flags |= flag;
  else
    cEffect_.flags &= ~flag;
}

void AudioEffect::setEditor(AEffEditor* editor) {
  editor_ = editor;
  setFlag(effFlagsHasEditor, editor != nullptr);
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt) {
  return audioMaster_ ? audioMaster_(&cEffect_, opcode, index, value, ptr, opt) : 0;
}

VstInt32 AudioEffect::getMasterVersion() {
  const VstIntPtr version = audioMaster_ ? callHost(audioMasterVersion) : 1;
  return version ? static_cast<VstInt32>(version) : 1;
}

void AudioEffect::masterIdle() {
  callHost(audioMasterIdle);
}

bool AudioEffect::isInputConnected(VstInt32 input) {
  return callHost(audioMasterPinConnected, input, 0) == 0;
}

bool AudioEffect::isOutputConnected(VstInt32 output) {
  return callHost(audioMasterPinConnected, output, 1) == 0;
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
  setParameter(index, value);
  callHost(audioMasterAutomate, index, 0, nullptr, value);
}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt) {
  switch (opcode) {
    case effOpen:
      open();
      return 0;
    case effClose:
      close();
      return 0;
    case effSetProgram:
      if (value >= 0 && value < numPrograms_) setProgram(static_cast<VstInt32>(value));
      return 0;
    case effGetProgram:
      return getProgram();
    case effSetProgramName:
      if (ptr) setProgramName(static_cast<char*>(ptr));
      return 0;
    case effGetProgramName:
      if (ptr) getProgramName(static_cast<char*>(ptr));
      return 0;
    case effGetParamLabel:
      if (ptr) getParameterLabel(index, static_cast<char*>(ptr));
      return 0;
    case effGetParamDisplay:
      if (ptr) getParameterDisplay(index, static_cast<char*>(ptr));
      return 0;
    case effGetParamName:
      if (ptr) getParameterName(index, static_cast<char*>(ptr));
      return 0;
    case effSetSampleRate:
      setSampleRate(opt);
      return 0;
    case effSetBlockSize:
      setBlockSize(static_cast<VstInt32>(value));
      return 0;
    case effMainsChanged:
      if (value)
        resume();
      else
        suspend();
      return 0;
    case effEditGetRect:
      if (editor_ && ptr) return editor_->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
      return 0;
    case effEditOpen:
      return editor_ && editor_->open(ptr) ? 1 : 0;
    case effEditClose:
      if (editor_) editor_->close();
      return 0;
    case effEditIdle:
      if (editor_) editor_->idle();
      return 0;
    case effGetChunk:
      return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
    case effSetChunk:
      return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
    default:
      return 0;
  }
}
