#include "effect/signal/Latency.h"

namespace tavola {

int saturatorWindowLength(double hostRate) {
  const double steps = hostRate / 1500.0;
  if (!(steps >= 1.0)) return 1;  // also NaN
  if (steps >= kMaxSaturatorWindow) return kMaxSaturatorWindow;
  int n = static_cast<int>(steps);
  if (n % 2 == 0) ++n;
  return n;
}

int latencySamples(double hostRate) {
  return saturatorWindowLength(hostRate) / 2 + 33;
}

double latencyMilliseconds(double hostRate) {
  double rate = hostRate;
  if (!(rate >= 20000.0 && rate <= 200000.0)) rate = 44100.0;
  return latencySamples(hostRate) * 1000.0 / rate;
}

}  // namespace tavola
