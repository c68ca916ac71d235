#pragma once
// The render loop: frames from a reader through a resumed effect into a writer, in blocks,
// the way a DAW's offline bounce runs an insert effect.
//
// With latency compensation the first `latency` output frames are dropped and as many
// silent frames are fed after the input, so the output lines up with the input and the
// last input frame's result is included; the output is exactly as long as the input. With
// the tail asked for, the plug-in's tail follows (more silence fed, more frames kept).

#include <functional>

#include "tools/common/Console.h"
#include "tools/common/Status.h"
#include "tools/tavola-render/FrameStream.h"

class HostedEffect;

namespace tavola::render {

struct RenderSettings {
  int blockSize = 512;
  bool useDouble = false;
  bool compensate = true;
  bool appendTail = false;
};

struct RenderResult {
  long framesWritten = 0;
  // As the effect reported them after resume.
  int latency = 0;
  long tail = 0;
  // Largest magnitude written, and how many samples were above 1.0 in magnitude.
  double peak = 0.0;
  long overs = 0;
};

// Called after every block with the frames fed so far and the frames to feed in all; a
// false answer stops the render (Status::interrupted).
using RenderProgress = std::function<bool(long done, long total)>;

// The effect must be resumed at the input's rate with the input's channel count arranged.
// inputFrames is how many frames the reader holds; fewer is a failure.
Status renderFrames(HostedEffect& effect, const Console& console, FrameReader& input,
                    long inputFrames, int channels, FrameWriter& output,
                    const RenderSettings& settings, const RenderProgress& progress,
                    RenderResult& result);

}  // namespace tavola::render
