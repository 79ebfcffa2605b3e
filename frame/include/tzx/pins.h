// Pins: a record kept alive and unchanged for the running command.
//
// Script code can run in the middle of any command: metamethods of argument
// tables (__index, __len ...), callbacks, and finalizers (__gc) that any
// interpreter allocation may run (pushing a string or a number, making a
// table, reading a field). Every command keeps this rule:
//
//   No record pointer is held across a point where script code can run
//   unless the record is pinned.
//
// 1. Read every argument and argument table first and look the records up
//    after, where the command's order of errors allows it.
// 2. Where a record must be found first (its size is needed to read a tag
//    table, a result table is built from it, a callback is called with it),
//    pin it right after the lookup:
//        if (int rc = PinForCommand(L, &brush->busy)) return rc;
// 3. A pinned record is not freed, replaced or changed under the command: the
//    library's free and change paths test the pin count and either refuse
//    with the type's busy code (brushes 1314, displays 1504 / 1525 / 1511) or
//    defer the free until the last pin goes (files: a close completes when
//    the command ends; the record leaves its list at once, so the script
//    sees it closed).
// Pins are released by the host when the command ends, also when its error
// unwinds past it: never unpin by hand. Several pins on one record count up.
//
// A new record type adds an int32_t pin count to its record (zero-filled at
// allocation) and tests it in its free path:
//     struct FontRecord { ObjectHeader header; ...; int32_t pins; };
//     // refusing:  in FreeFont, `if (font->pins) return kErrObjectBusy;`
//     // deferring: `PinForCommand(L, &f->pins, FinishDeferredFree, f)` and in
//     //   the free path `if (f->pins) { unlink; f->freeDeferred = 1; return 0; }`;
//     //   FinishDeferredFree(L, record) frees it when freeDeferred is set.
#pragma once

#include <cstdint>

#include "tzx/frame.h"

namespace tzx {

// Called when the last pin of a record goes, with the record given at pinning.
using UnpinnedFn = void (*)(lua_State* L, void* record);

// Counts a pin in `*pins` until the running command ends; `unpinned` (may be
// null) runs then if the count has fallen to 0. 0, or 1000 with nothing
// pinned.
int PinForCommand(lua_State* L, int32_t* pins, UnpinnedFn unpinned = nullptr,
                  void* record = nullptr);

}  // namespace tzx
