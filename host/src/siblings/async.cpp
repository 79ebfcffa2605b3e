// "async": runs copy, move and delete operations a step at a time on the
// script thread, whenever the script asks it to continue one. Scripts hold an
// operation by the handle the starting command returned.
#include <algorithm>
#include <vector>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "../host_state.h"
#include "../lua_api.h"
#include "../services.h"
#include "sibling.h"
#include "tzx/errors.h"
#include "tzx/siblings.h"

namespace tzx::host {
namespace {

std::vector<AsyncOperation*>& Running() {
  static std::vector<AsyncOperation*> running;
  return running;
}

// Takes the operation out of the list before its clean-up, which frees it.
void Finish(lua_State* L, AsyncOperation* op) {
  auto& running = Running();
  running.erase(std::find(running.begin(), running.end(), op));
  op->cleanUp(L, op);
}

int Start(lua_State* L, AsyncOperation* op) {
  Running().push_back(op);
  lua_pushlightuserdata(L, op);
  return 1;
}

AsyncOperation* OperationOf(lua_State* L) {
  luaL_checktype(L, 1, LUA_TLIGHTUSERDATA);
  void* p = lua_touserdata(L, 1);
  for (AsyncOperation* op : Running()) {
    if (op == p) return op;
  }
  return nullptr;
}

// ContinueAsyncOperation(handle): runs the next step; 1 when the operation
// has ended (it is then gone), else 0. An operation that fails ends with its
// error; one stopped by its callback ends without one.
int ContinueAsyncOperation(lua_State* L) {
  kArguments.beginCommand(L, 1, 1, 0, 0);
  AsyncOperation* op = OperationOf(L);
  if (!op) return kErrUnknownAutoId;
  // The step may run script code that continues or cancels this operation;
  // it is marked busy meanwhile.
  if (op->busy) return kErrObjectBusy;
  op->busy = 1;
  int rc = op->step(L, op);
  op->busy = 0;
  if (rc == kAsyncMore) {
    lua_pushnumber(L, 0);
    return 1;
  }
  Finish(L, op);
  if (rc != 0 && rc != kErrAborted) return rc;
  lua_pushnumber(L, 1);
  return 1;
}

// CancelAsyncOperation(handle): ends the operation where it is; a copy in
// progress leaves no partial file.
int CancelAsyncOperation(lua_State* L) {
  kArguments.beginCommand(L, 1, 1, 0, 0);
  AsyncOperation* op = OperationOf(L);
  if (!op) return kErrUnknownAutoId;
  if (op->busy) return kErrObjectBusy;
  Finish(L, op);
  return 0;
}

const CommandRow kCommands[] = {
    {"ContinueAsyncOperation", ContinueAsyncOperation},
    {"CancelAsyncOperation", CancelAsyncOperation},
    {nullptr, nullptr},
};

const AsyncSibling kInterface = {{}, Start};
const void* Interface() {
  return &kInterface;
}

// Operations still running when the host stops are ended like cancelled ones.
void Reset(lua_State* L) {
  while (!Running().empty()) Finish(L, Running().back());
}

}  // namespace

const HostSibling kAsyncSibling = {"async", Interface, kCommands, Reset};

}  // namespace tzx::host
