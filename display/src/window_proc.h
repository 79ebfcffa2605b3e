// The window procedure: turns a display's window messages into events of the
// event sibling and into the state flags of its window data. Platform-neutral;
// runs on the window thread with the display lock held.
#pragma once

#include "display_record.h"
#include "platform/window_backend.h"

namespace tzx::display {

// Hands an event to the event sibling when it is bound.
void RaiseEvent(DisplayRecord* d, int code, intptr_t a = 0, intptr_t b = 0, intptr_t c = 0,
                intptr_t e = 0);

// Finds the message's display and runs the window procedure for it.
void DispatchWindowMessage(const platform::WindowMessage& m);
void WindowProc(DisplayRecord* d, const platform::WindowMessage& m);

// After a round of messages: events 4 and 5 from the windows' pending flags.
void FinishRound();

// Forgets the keyboard state and the tracking of a window.
void ClearKeyState(WindowData* w);

}  // namespace tzx::display
