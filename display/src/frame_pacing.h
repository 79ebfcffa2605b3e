// Frame pacing: the frame limit, waits for the next frame and timed waits
// that keep the host's events flowing.
#pragma once

#include "display_record.h"
#include "platform/timers.h"

namespace tzx::display {

inline constexpr int kDefaultFpsLimit = 60;

// What SetFPSLimit stores for its argument: the argument truncated, or 60
// when that is below 1. Limits above a million frames a second are a million.
int FpsLimitFor(double fps);

// Milliseconds to sleep so that a frame lasts 1000000 / fpsLimit
// microseconds after the previous one ended: none when a whole second or more
// has passed, or the frame time has.
int FrameWaitMilliseconds(int fpsLimit, platform::ClockTime now, platform::ClockTime previous);

int FpsLimit();
void SetFpsLimit(int fps);
bool VWaitDisabled();
void SetVWaitDisabled(bool disabled);

// Waits `milliseconds` on a one-shot timer while the host handles its events;
// 0, 1297 when the timer cannot start, or the host's stop (1003).
int TimedWait(lua_State* L, int milliseconds);
// Waits for the next frame of the display, then stamps the frame's end. The
// host handles its events meanwhile, which runs script code: the caller pins
// the display.
int VWaitCore(lua_State* L, DisplayRecord* d);
// Ends the timer thread (library close).
void StopFramePacing();

}  // namespace tzx::display
