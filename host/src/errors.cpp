// Error arguments and messages, locks and text conversion.
#include <cstring>
#include <mutex>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "catalogue.h"
#include "host_state.h"
#include "services.h"
#include "text_codec.h"
#include "tzx/errors.h"

namespace tzx::host {

void ClearErrorArguments() {
  HostState& s = State();
  s.errorString.clear();
  s.hasErrorString = s.hasErrorNumber = false;
  s.errorNumber = 0;
}

std::string ErrorMessage(int code) {
  HostState& s = State();
  std::string text = FormatCatalogue(code, s.hasErrorString ? s.errorString.c_str() : nullptr,
                                     static_cast<long>(s.errorNumber));
  text += " (error " + std::to_string(code) + ")";
  ClearErrorArguments();
  return text;
}

int ScriptErrorCode(lua_State* L) {
  HostState& s = State();
  const char* message = lua_tostring(L, -1);
  int code = kErrScript;
  if (message && s.raised.code && s.raised.message == message) {
    code = s.raised.code;
    s.errorString = s.raised.errorString;
    s.hasErrorString = s.raised.hasErrorString;
    s.errorNumber = s.raised.errorNumber;
    s.hasErrorNumber = s.raised.hasErrorNumber;
  } else {
    s.errorString = message ? message : "(error object is not a string)";
    s.hasErrorString = true;
  }
  s.raised = HostState::Raised{};
  lua_pop(L, 1);
  return code;
}

void RaiseError(lua_State* L, int code) {
  {
    HostState& s = State();
    s.raised = HostState::Raised{
        code, "", s.errorString, s.errorNumber, s.hasErrorString, s.hasErrorNumber};
    std::string message = ErrorMessage(code);
    luaL_where(L, 1);
    lua_pushlstring(L, message.data(), message.size());
    lua_concat(L, 2);
    s.raised.message = lua_tostring(L, -1);
  }
  lua_error(L);
  __builtin_unreachable();
}

namespace {

void SetErrorString(const char* text) {
  State().errorString = text ? text : "";
  State().hasErrorString = true;
}
void SetErrorNumber(double n) {
  State().errorNumber = n;
  State().hasErrorNumber = true;
}

struct LockImpl {
  std::recursive_mutex mutex;
};
HostLock* CreateLock() {
  return reinterpret_cast<HostLock*>(new LockImpl);
}
void DestroyLock(HostLock* l) {
  delete reinterpret_cast<LockImpl*>(l);
}
void Lock(HostLock* l) {
  reinterpret_cast<LockImpl*>(l)->mutex.lock();
}
void Unlock(HostLock* l) {
  reinterpret_cast<LockImpl*>(l)->mutex.unlock();
}

char* Convert(const char* source, int from, int to, const size_t* length, size_t* lengthOut) {
  std::string out;
  if (!ConvertText(source, length ? *length : std::strlen(source), from, to, &out)) return nullptr;
  auto* copy = static_cast<char*>(kMemory.alloc(out.size() + 1, 0));
  if (!copy) return nullptr;
  std::memcpy(copy, out.data(), out.size());
  copy[out.size()] = 0;
  if (lengthOut) *lengthOut = out.size();
  return copy;
}

}  // namespace

const ErrorReporting kErrorReporting = {
    .setErrorString = SetErrorString,
    .setErrorNumber = SetErrorNumber,
    .createLock = CreateLock,
    .destroyLock = DestroyLock,
    .lock = Lock,
    .unlock = Unlock,
    .convertText = Convert,
};

}  // namespace tzx::host
