// Messages posted to the script thread and their dispatch.
#pragma once

#include "tzx/host.h"

namespace tzx::host {

// Posted by the event sibling when a display raised an event, so that the
// script thread's next event check sees it.
inline constexpr int kMsgWindowEvent = 100;

struct PostedMessage {
  int message;
  void* data;
  int a, b, c;
};

// A host sibling takes the messages of one number; the handler runs on the
// script thread during an event check or a wait.
using MessageHandler = void (*)(lua_State* L, const PostedMessage& m);
void SetMessageHandler(int message, MessageHandler handler);

// Dispatches every queued message; returns how many were handled.
int DispatchMessages(lua_State* L);
// Drops undelivered messages and handlers (at shut-down).
void ResetMessages();
// Whether a window or a worker thread that can raise events is open, or a
// message is waiting.
bool EventSourcesOpen();

}  // namespace tzx::host
