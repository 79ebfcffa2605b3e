// What the libraries call in the "event" sibling, slot by slot: unused slots
// are kept as plain pointers so that the offsets stay right.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tzx/types.h"

namespace tzx {

// "event": the host's event queue. Window and input events of displays and
// the messages of dos's workers become script events there, delivered to the
// handler functions scripts install.

// Event codes of display events (slot 3).
enum DisplayEventCode : int32_t {
  kEventLeftButton = 1,   // x, y, 1 down / 0 up
  kEventRightButton = 2,  // x, y, 1 / 0
  kEventKey = 3,          // 1 down / 0 up, 0, key code (character pass)
  kEventMoved = 4,        // the window moved
  kEventResized = 5,      // the window changed size
  kEventDeactivated = 6,
  kEventClose = 7,  // the user asked to close the window
  kEventActivated = 8,
  kEventMinimized = 9,
  kEventRestored = 10,
  kEventWheelUp = 11,    // screen x, screen y
  kEventWheelDown = 12,  // screen x, screen y
  kEventMenu = 13,
  kEventDropFiles = 14,     // x, y, names, count (below)
  kEventClipboard = 15,     // another program changed the clipboard
  kEventMiddleButton = 16,  // x, y, 1 / 0
  kEventTrayIcon = 21,
  kEventCharacter = 28,  // 0, 0, code point
  kEventRawKey = 29,     // 1 down / 0 up, 0, key code (raw pass)
};

struct EventSibling {
  const void* slots0to2[3];
  // Slot 3: raises an event of a display; callable from any thread, it only
  // queues. `display` is the display's record, which begins with an
  // ObjectHeader. For kEventDropFiles, c is a block from the host's memory
  // holding d NUL-terminated UTF-8 names one after another; the event sibling
  // takes it over and frees it.
  void (*raise)(const void* display, int32_t code, intptr_t a, intptr_t b, intptr_t c, intptr_t d);
  // Slot 4: takes the oldest queued key event of a display for a line input:
  // a raw key (kEventRawKey, down or up) or a character (kEventCharacter);
  // the other events stay queued. 1 with the event, 0 when none is queued.
  int (*takeKeyEvent)(const ObjectId* display, int32_t* code, intptr_t* a, intptr_t* c);
  // Slot 5: waits until something arrives for the script thread and handles
  // it; 0, the host's error when the script is stopped meanwhile, or
  // kErrNoEventSource when no key can ever come (no window system).
  int (*waitKeyEvent)(lua_State* L);
  // Slot 6: the keys held so far no longer count as held (their releases
  // went elsewhere, for instance to a program the script started).
  void (*forgetKeys)(const void* display);
};
static_assert(offsetof(EventSibling, raise) == 3 * sizeof(void*));
static_assert(offsetof(EventSibling, takeKeyEvent) == 4 * sizeof(void*));
static_assert(offsetof(EventSibling, forgetKeys) == 6 * sizeof(void*));

// What dos's workers post (ThreadServices::postMessage, data = the record)
// with the messages kMsgProgramFinished, kMsgDirectoryChanged,
// kMsgProgramOutput and kMsgDirectoryReport. The record is one block from the
// host's memory with the text after it; the event sibling frees it once the
// event is delivered.
struct WorkerEventMessage {
  ObjectId object;  // the watched directory (11, 15); {0, null} for runs
  // Registry reference handed to the handler as "userdata", kNoRef for none;
  // the poster keeps owning it.
  int32_t userData;
  // Program finished: the exit code. Directory report: 0 added, 1 removed,
  // 2 modified.
  int32_t value;
  // Program finished: the dos ProgramRun, handed back through dos slot 1 once
  // the event is delivered; else null.
  void* run;
  uint32_t length;  // bytes of text
  // Program finished: the program; program output: the chunk; directory
  // report: the entry's name; directory changed: empty.
  char text[1];
};

}  // namespace tzx
