// What the libraries call in the "async" sibling, slot by slot: unused slots
// are kept as plain pointers so that the offsets stay right.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tzx/types.h"

namespace tzx {

// "async": steps a prepared copy, move or delete operation on the script thread.
// The operation's record starts with this head; async calls `step` until it
// returns something other than kAsyncMore (0 when done, else an error code),
// then hands the record to `cleanUp`, which frees it. A cancelled operation
// goes to `cleanUp` between steps.
inline constexpr int kAsyncMore = -1;
struct AsyncOperation {
  int (*step)(lua_State* L, AsyncOperation* operation);
  void (*cleanUp)(lua_State* L, AsyncOperation* operation);
  int32_t busy;  // set by async while a step runs (it may run script code)
};
struct AsyncSibling {
  const void* slots0to7[8];
  int (*start)(lua_State* L, AsyncOperation* operation);
};
static_assert(offsetof(AsyncSibling, start) == 8 * sizeof(void*));

}  // namespace tzx
