// Value text converters: turn a physical value into the short text the host shows for a
// parameter and the editor's text displays draw.
//
// Every converter writes a NUL-terminated ASCII text of at most 11 characters (a numeric part
// of at most 8 characters followed by a unit of up to 4) from the start of `text`, which must
// hold at least 12 bytes. They allocate nothing, keep no state and never fail.
//
// They live in the global namespace because the GUI toolkit's parameter display takes the
// single-value forms as plain function pointers, void (*)(float, char*).
//
// A NaN input reads "NaN" (without a unit) in every converter.
#pragma once

// Fixed-width decimal text of `value` with `decimals` digits after the point (no point when
// `decimals` is 0, the full 8-character field when it is negative). Rounds half away from
// zero with a tolerance of 0.00001 of the last kept digit. An integer part that leaves no
// room for a fraction in the field (7 or more digits, 6 or more when negative) shows as the
// whole number without a point. Magnitudes above 99999999 (9999999 when negative), and
// infinities, give "Huge!"; NaN gives "NaN".
void float2string2(float value, int decimals, char* text);

// Frequency in Hz as "Hz" or "kHz" text, with a precision chosen by range.
void frequencyStringConvert2(float value, char* text);

// Linear gain factor as a level on the 6-dB-per-doubling scale, then "dB"; "-oodB" for a
// factor of zero or below.
void dB2string2(float value, int decimals, char* text);

// Time in milliseconds as "ms" text, or as seconds ("s") from 1000 ms up; "0ms" for tiny values.
void msStringConvert(float value, char* text);

// A count of samples as a whole number and "smps"; "0smps" below one.
void smpStringConvert(float value, char* text);
