#pragma once
// The effect's latency: one sample of input carry, 32 samples of up-sampler (or plain
// delay) and half the saturator's look-ahead window.
//
// Thread contract: any thread; pure functions of their arguments and constant tables.

namespace tavola {

// Longest window the saturator's rings of 1024 positions can hold.
constexpr int kMaxSaturatorWindow = 1023;

// N = trunc(rate / 1500), made odd; rates the rings cannot hold (1 536 000 Hz and up)
// keep the longest window they can, and rates that are not positive numbers give 1.
int saturatorWindowLength(double hostRate);

// 33 + trunc(N / 2) samples at the host rate.
int latencySamples(double hostRate);

// The same latency in milliseconds; rates outside 20 000 to 200 000 Hz count as 44 100.
double latencyMilliseconds(double hostRate);

}  // namespace tavola
