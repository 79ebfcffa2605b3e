// Thread names, as debuggers and process lists show them, and the signal one
// thread raises to stop another that waits on its own handles.
#pragma once

#include "platform/files.h"

namespace tzx::platform {

// Names the calling thread; the system may keep only the first characters.
void NameCurrentThread(const char* name);

// The processors this process may run on (at least 1).
int ProcessorCount();

// A signal raised once, from any thread, and seen by the waits of processes.h
// and watches.h. kNoFile when none can be made.
NativeFile CreateStopSignal();
void RaiseStopSignal(NativeFile signal);
void CloseStopSignal(NativeFile signal);

}  // namespace tzx::platform
