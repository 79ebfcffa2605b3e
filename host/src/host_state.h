// Process-wide state behind the host services: the services have no context
// argument, so they reach the running host through here.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "tzx/host.h"

namespace tzx::host {

struct HostState {
  // Error arguments for the code the current command returns next.
  std::string errorString;
  double errorNumber = 0;
  bool hasErrorString = false;
  bool hasErrorNumber = false;
  // The last error a command raised, so that a protected call of script code
  // can hand the same code and arguments on instead of a generic one.
  struct Raised {
    int code = 0;
    std::string message;
    std::string errorString;
    double errorNumber = 0;
    bool hasErrorString = false;
    bool hasErrorNumber = false;
  } raised;

  std::atomic<long> liveBlocks{0};

  int abortFlag = 0;
  int textEncoding = kEncodingUtf8;
  int dosEncoding = kEncodingUtf8;
  int backslashSwitch = 0;
  DisplayAdapter* displayAdapter = nullptr;
  int headless = 0;  // displays keep their windows in memory
  // Set when the script is stopped because the user closed a window that no
  // handler takes: the script then ends as if it had returned.
  bool quitRequested = false;
  bool quietTrace = true;
  // Set once the host has begun closing the libraries: commands are refused.
  bool shuttingDown = false;
  // Files whose data could not be written out while shutting down.
  std::vector<std::string> unwrittenAtClose;
  // Linked files: the name a script uses and the file that holds its data.
  std::vector<std::pair<std::string, std::string>> linkedFiles;
};

// Inline, so that the path every command takes (the trampoline) pays no call
// for it; built on first use, like any function-local static.
inline HostState& State() {
  static HostState state;
  return state;
}

void ClearErrorArguments();
// The text of `code` with its arguments filled in and "(error NNNN)" appended.
std::string ErrorMessage(int code);
// Takes the interpreter's error message from the stack top and returns its
// code: the code of the command that raised it, with the same arguments, or the
// script-error code with the message as its argument.
int ScriptErrorCode(lua_State* L);
// Raises `code` as an interpreter error with the caller's position; does not
// return.
[[noreturn]] void RaiseError(lua_State* L, int code);

}  // namespace tzx::host
