#pragma once
// The reverse of the display texts: which step of a parameter a text names. Hosts send
// such texts through effString2Parameter (a user typing a value into the host's own
// parameter field), and the offline renderer's "--set NAME=VALUE" goes the same way.
//
// Accepted, case and blanks ignored: the switch words the display shows ("On", "Off";
// "Sat", "Thru" and "On", "Off" for SAT); for the output level and the band gains a
// number with or without "dB" ("+3.0dB", "-8"); for the frequencies a number with "Hz",
// "kHz" or "k", or a bare number in Hz ("6.00kHz", "47.6Hz", "2k"). A number chooses the
// nearest step and may lie at most half a step beyond either end of the range. Numbers are
// read the same in every locale (a point, never a comma).
//
// Thread contract: any thread; pure.

#include <optional>
#include <string_view>

namespace tavola {

// The normalised value of the step the text names, one that the mappings turn into that
// step exactly; empty when the index has no steps (placeholders, unknown indices) or the
// text names none.
std::optional<float> normalisedFromText(int index, std::string_view text);

// The same for a number in the unit the display shows (the output level's units, dB for
// the band gains, Hz for the frequencies): the nearest step, within half a step of the
// range; empty for the switches, placeholders, unknown indices and numbers that are not
// finite.
std::optional<float> normalisedFromNumber(int index, double number);

}  // namespace tavola
