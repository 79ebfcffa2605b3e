#include "trig_tables.h"

#include "tzx/frame.h"

namespace tzx::graphics {

double gSineTable[kTrigEntries];
double gCosineTable[kTrigEntries];

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;

// Entries 0..360 run clockwise from 360 degrees; the last three continue the
// quarter turns past a full circle.
int DegreesOf(int entry) {
  return entry <= 360 ? 360 - entry : 450 + 90 * (entry - 361);
}

}  // namespace

void FillTrigTables() {
  const MathLibrary& math = *Host().math;
  for (int i = 0; i < kTrigEntries; ++i) {
    double radians = DegreesOf(i) * kRadiansPerDegree;
    gSineTable[i] = math.sin(radians);
    gCosineTable[i] = math.cos(radians);
  }
}

}  // namespace tzx::graphics
