#pragma once
// The equaliser's frequency response computed from the designs its filter sections hold
// and the way processing adds the bands back, so that what is drawn or checked is exactly
// what is heard (apart from the rate change, which is flat in the audible band).
//
// Thread contract: any thread but the audio thread (it allocates); it reads only the
// section designs it is given.

#include <complex>

#include "dsp/Filter.h"
#include "effect/signal/SignalPath.h"

namespace tavola {

// H(e^jw) of one section's coefficients at `freq` Hz for the given sample rate.
std::complex<double> sectionResponse(const FilterCoefficients& c, double sampleRate, double freq);

// The whole chain at `freq` Hz (host rate): output gain and low-cut times the dry signal
// plus the three band terms, from the first channel's sections as they stand (target
// designs), seen through the rate change up and down.
std::complex<double> chainResponse(const SignalPath& path, const SubBlockSettings& settings,
                                   double freq);

}  // namespace tavola
