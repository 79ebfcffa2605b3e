// CopyFile, MoveFile and DeleteFile: their two argument forms, the callback,
// and running the operation here or through the async library.
#include <cstring>
#include <initializer_list>

#include "bindings.h"
#include "commands.h"
#include "transfer.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::dos {
namespace {

// What the arguments ask for.
struct TransferRequest {
  TransferKind kind;
  const char* source = "";
  const char* destination = "";
  char newName[256] = "";
  char pattern[256] = "";
  int32_t matchDir = 0, recursive = 0, mustExist = 0, failOnError = 0, force = 0, fileDst = 0;
  int32_t async = 0;
  double bufferSize = kDefaultBufferSize;
  int callback = 0;  // stack index of the function, 0 when none
  int userdata = 0;  // stack index of the user value, 0 when none
};

void Copy(char* out, size_t size, const char* text) {
  std::strncpy(out, text, size - 1);
  out[size - 1] = 0;
}

int ReadOptionsTable(lua_State* L, int n, TransferRequest* r) {
  if (Lua().gettop(L) > n) return kErrTooManyArgs;
  if (Args().fieldByKey(L, n, "callback") != kLuaNil) {
    if (Lua().type(L, -1) != kLuaFunction) return ErrorWithString(kErrNotFunction, "callback");
    r->callback = Lua().gettop(L);
  } else {
    Lua().settop(L, -2);
  }
  if (Args().fieldByKey(L, n, "userdata") != kLuaNil) {
    r->userdata = Lua().gettop(L);
  } else {
    Lua().settop(L, -2);
  }
  Args().fieldString(L, n, "pattern", r->pattern, sizeof r->pattern);
  Args().fieldString(L, n, "newname", r->newName, sizeof r->newName);
  Args().fieldInt(L, n, "matchdir", &r->matchDir);
  Args().fieldInt(L, n, "recursive", &r->recursive);
  Args().fieldInt(L, n, "mustexist", &r->mustExist);
  Args().fieldInt(L, n, "failonerror", &r->failOnError);
  Args().fieldInt(L, n, "force", &r->force);
  Args().fieldInt(L, n, "filedst", &r->fileDst);
  Args().fieldInt(L, n, "async", &r->async);
  Args().fieldNumber(L, n, "buffersize", &r->bufferSize);
  char adapter[256] = "";
  char dstAdapter[256] = "";
  Args().fieldString(L, n, "adapter", adapter, sizeof adapter);
  Args().fieldString(L, n, "dstadapter", dstAdapter, sizeof dstAdapter);
  // Only the host's own handler serves paths on this system.
  for (const char* a : {adapter, dstAdapter}) {
    if (a[0] && std::strcmp(a, "default") != 0 && std::strcmp(a, "inbuilt") != 0) {
      return ErrorWithString(kErrOpenRead, a);
    }
  }
  return 0;
}

// A positional callback: Nil is no callback, anything else must be a function.
int PositionalCallback(lua_State* L, int n, TransferRequest* r) {
  if (Lua().gettop(L) < n || Lua().type(L, n) == kLuaNil) return 0;
  Lua().checkfunction(L, n);
  r->callback = n;
  if (Lua().gettop(L) > n) r->userdata = n + 1;
  return 0;
}

int ReadRequest(lua_State* L, TransferRequest* r) {
  const int top = Lua().gettop(L);
  const int first = r->kind == TransferKind::kDelete ? 2 : 3;
  r->source = Lua().checklstring(L, 1, nullptr);
  if (r->kind != TransferKind::kDelete) r->destination = Lua().checklstring(L, 2, nullptr);
  if (top >= first && Lua().type(L, first) == kLuaTable) return ReadOptionsTable(L, first, r);
  // Positional forms:
  //   CopyFile(source, destination, [newname], [callback], [userdata], [pattern], [matchdir = 1])
  //   MoveFile(source, destination, [callback], [userdata])
  //   DeleteFile(path, [callback], [userdata], [pattern], [recursive])
  switch (r->kind) {
    case TransferKind::kCopy:
      Copy(r->newName, sizeof r->newName, Lua().optlstring(L, 3, "", nullptr));
      Copy(r->pattern, sizeof r->pattern, Lua().optlstring(L, 6, "", nullptr));
      r->matchDir = Lua().optinteger(L, 7, 1);
      return PositionalCallback(L, 4, r);
    case TransferKind::kMove:
      return PositionalCallback(L, 3, r);
    case TransferKind::kDelete:
      Copy(r->pattern, sizeof r->pattern, Lua().optlstring(L, 4, "", nullptr));
      r->recursive = Lua().optinteger(L, 5, 0);
      return PositionalCallback(L, 2, r);
  }
  return 0;
}

// The callback table: action, source, destination (copy and move), file
// (delete), copied, filesize, userdata.
int AskScript(lua_State* L, TransferOp* op, int action, double* result) {
  Lua().rawgeti(L, kRegistryIndex, op->callbackRef);
  Lua().newtable(L);
  Args().setIntField(L, "action", action);
  Args().setStringField(L, "source", op->src);
  if (op->kind == TransferKind::kDelete) {
    Args().setStringField(L, "file", op->src);
  } else {
    Args().setStringField(L, "destination", op->dst);
    Args().setNumberField(L, "copied", static_cast<double>(op->copied));
    Args().setNumberField(L, "filesize", static_cast<double>(op->sourceStatus.size));
  }
  if (op->userdataRef != kNoRef) {
    Lua().pushstring(L, "userdata");
    Lua().rawgeti(L, kRegistryIndex, op->userdataRef);
    Lua().settable(L, -3);
  }
  const ThreadServices& threads = *Host().ext->threads;
  threads.enterCallback(L, 3, 1);
  int rc = Lua().callScript(L, 1, 1);
  threads.leaveCallback(L, 3, 0);
  if (rc) return rc;
  *result = Lua().type(L, -1) == kLuaBoolean ? Lua().toboolean(L, -1) : Lua().tonumber(L, -1);
  Lua().settop(L, -2);
  return 0;
}

int RunTransfer(lua_State* L, TransferKind kind, int minimum, int maximum) {
  L = Args().beginCommand(L, minimum, maximum, 0, 0);
  TransferRequest r;
  r.kind = kind;
  if (int rc = ReadRequest(L, &r)) return rc;
  if (r.bufferSize < 1 || r.bufferSize > (1 << 30)) return kErrRange;
  auto* async = gBound.async;
  if (r.async && !async) return ErrorWithString(kErrSiblingAbsent, "async");
  if (std::strlen(r.source) >= sizeof TransferOp::source ||
      std::strlen(r.destination) >= sizeof TransferOp::destination) {
    return kErrRange;
  }

  auto* op = AllocRecord<TransferOp>();
  void* buffer = HostAlloc(static_cast<size_t>(r.bufferSize), false);
  if (!op || !buffer) {
    HostFree(op);
    HostFree(buffer);
    return kErrNoMemory;
  }
  op->kind = kind;
  std::strcpy(op->source, r.source);
  std::strcpy(op->destination, r.destination);
  std::memcpy(op->newName, r.newName, sizeof op->newName);
  std::memcpy(op->pattern, r.pattern, sizeof op->pattern);
  op->matchDir = r.matchDir;
  op->recursive = r.recursive;
  op->mustExist = r.mustExist;
  op->failOnError = r.failOnError;
  op->force = r.force;
  op->fileDst = r.fileDst;
  if (op->fileDst) {
    size_t n = std::strlen(op->destination);
    while (n > 1 && (op->destination[n - 1] == '/' || op->destination[n - 1] == '\\')) {
      op->destination[--n] = 0;
    }
  }
  op->bufferSize = static_cast<int64_t>(r.bufferSize);
  op->buffer = buffer;
  op->ask = AskScript;
  op->callbackRef = kNoRef;
  op->userdataRef = kNoRef;
  if (r.callback) {
    Lua().pushvalue(L, r.callback);
    op->callbackRef = Lua().ref(L, kRegistryIndex);
  }
  if (r.userdata) {
    Lua().pushvalue(L, r.userdata);
    op->userdataRef = Lua().ref(L, kRegistryIndex);
  }
  op->shareable = !r.async && !r.callback;
  PrepareTransfer(op);

  if (r.async) return async->start(L, &op->head);

  // Here, to the end, letting the host see its events between steps.
  int rc;
  const ThreadServices& threads = *Host().ext->threads;
  while ((rc = StepTransfer(L, &op->head)) == kAsyncMore) {
    int stop = 0;
    if (int check = threads.eventCheck(L, 2, 0, &stop)) {
      rc = check;
      break;
    }
    if (stop) {
      rc = kErrAborted;
      break;
    }
  }
  CleanUpTransfer(L, &op->head);
  // Stopped by the callback: not an error of the command.
  return rc == kErrAborted ? 0 : rc;
}

}  // namespace

// CopyFile(source, destination, [options table or positional arguments])
int CopyFile(lua_State* L) {
  return RunTransfer(L, TransferKind::kCopy, 2, 7);
}

// MoveFile(source, destination, [options table or positional arguments])
int MoveFile(lua_State* L) {
  return RunTransfer(L, TransferKind::kMove, 2, 4);
}

// DeleteFile(path, [options table or positional arguments])
int DeleteFile(lua_State* L) {
  return RunTransfer(L, TransferKind::kDelete, 1, 5);
}

}  // namespace tzx::dos
