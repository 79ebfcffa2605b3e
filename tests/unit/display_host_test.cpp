// display.tzx in running hosts: commands whose sibling is absent, the event
// sibling's handling of worker messages, the interface slots other libraries
// call, and nothing left behind however a script ends.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "messages.h"
#include "services.h"
#include "siblings/sibling.h"
#include "support/test_host.h"
#include "tessera/host.h"
#include "tzx/display.h"
#include "tzx/errors.h"
#include "tzx/graphics.h"
#include "tzx/siblings.h"

namespace {

using namespace tzx;

using tzx::testing::ExpectAbsent;
using tzx::testing::RunCode;

tessera::HostOptions Options(std::vector<std::string> libraries,
                             std::vector<std::string> siblings) {
  return tzx::testing::TestHostOptions(std::move(libraries), std::move(siblings));
}

const void* InterfaceOf(const tessera::Host& host, const char* name) {
  for (const tessera::LoadedLibrary& l : host.Libraries()) {
    if (l.name == name) return l.interface;
  }
  return nullptr;
}

const display::DisplayInterface* DisplayOf(const tessera::Host& host) {
  return static_cast<const display::DisplayInterface*>(InterfaceOf(host, "display"));
}

TEST(DisplayHost, CommandsNameTheLibraryTheyLack) {
  tessera::Host host(Options({"graphics", "display"}, {"object"}));
  std::string error;
  ASSERT_TRUE(host.Start(&error)) << error;
  ASSERT_EQ(RunCode(host, "CreateDisplay(1, {width = 16, height = 16}) OpenDisplay(1)"), "");
  ExpectAbsent(host, "GrabDesktop(1)", "brush");
  ExpectAbsent(host, "SaveSnapshot('x.bmp')", "imageio");
  ExpectAbsent(host, "CreateDisplay(2, {palette = -983})", "palette");
  ExpectAbsent(host, "CreateDisplay(2, {fillstyle = 'texture', texturebrush = 1})", "brush");
  // Without the event library a closed window raises nothing and stops
  // nothing.
  EXPECT_EQ(RunCode(host, "InjectWindowMessage(1, {message = 'close'}) VWait()"), "");
  host.Stop();
  EXPECT_EQ(host.LiveBlocks(), 0);
}

TEST(DisplayHost, ScriptsEndingWithOpenAndDoubleBufferedDisplaysLeaveNothing) {
  tessera::Host host(Options({"graphics", "brush", "display"}, {"object", "event"}));
  std::string error;
  ASSERT_TRUE(host.Start(&error)) << error;
  EXPECT_EQ(RunCode(host,
                    "CreateDisplay(1) OpenDisplay(1) BeginRefresh() CreateDisplay(2) "
                    "OpenDisplay(2) BeginDoubleBuffer() CreateBrush(1, 5, 5, 0xFF) "
                    "DisplayBrush(1, 1, 1) "
                    "InjectWindowMessage(1, {message = 'keydown', vk = 65})"),
            "");
  // An error stops the script with its position and message.
  std::string failure = RunCode(host, "\n Flip(0) FreeDisplay(2)");
  EXPECT_NE(failure.find("chunk:2:"), std::string::npos) << failure;
  EXPECT_NE(failure.find("(error 1346)"), std::string::npos) << failure;
  host.Stop();
  EXPECT_EQ(host.LiveBlocks(), 0);
}

TEST(DisplayHost, AClosedWindowWithoutAHandlerEndsTheScriptAsIfItReturned) {
  tessera::Host host(Options({"graphics", "display"}, {"object", "event"}));
  std::string error;
  ASSERT_TRUE(host.Start(&error)) << error;
  EXPECT_EQ(RunCode(host,
                    "CreateDisplay(1) OpenDisplay(1) "
                    "InjectWindowMessage(1, {message = 'close'}) CheckEvents() "
                    "error('not reached')"),
            "");
  host.Stop();
  EXPECT_EQ(host.LiveBlocks(), 0);
}

// A worker's message record as dos posts it.
WorkerEventMessage* Message(const char* text, int32_t value, int32_t userData, ObjectId object) {
  size_t n = std::strlen(text);
  auto* m = static_cast<WorkerEventMessage*>(
      host::kMemory.alloc(offsetof(WorkerEventMessage, text) + n + 1, kAllocZero));
  m->object = object;
  m->userData = userData;
  m->value = value;
  m->length = uint32_t(n);
  std::memcpy(m->text, text, n + 1);
  return m;
}

TEST(DisplayHost, WorkerMessagesBecomeEventsWithTheirFields) {
  tessera::Host host(Options({"graphics", "dos", "display"}, {"object", "event"}));
  std::string error;
  ASSERT_TRUE(host.Start(&error)) << error;
  ASSERT_EQ(RunCode(host,
                    "got = {} "
                    "InstallEventHandler({RunOutput = function(e) got[#got + 1] = e end, "
                    "RunFinished = function(e) got[#got + 1] = e end, "
                    "DirectoryChanged = function(e) got[#got + 1] = e end})"),
            "");
  host::kThreads.postMessage(kMsgProgramOutput, Message("hello\n", 0, kNoRef, {}), 0, 0, 0, 1);
  host::kThreads.postMessage(kMsgProgramFinished, Message("/bin/prog", 3, kNoRef, {}), 0, 0, 0, 1);
  host::kThreads.postMessage(kMsgDirectoryReport, Message("new.txt", 0, kNoRef, {7, nullptr}), 0, 0,
                             0, 1);
  host::kThreads.postMessage(kMsgDirectoryChanged, Message("", 0, kNoRef, {7, nullptr}), 0, 0, 0,
                             1);
  EXPECT_EQ(RunCode(host,
                    "assert(CheckEvents() == 4) "
                    "assert(got[1].action == 'RunOutput' and got[1].output == 'hello\\n') "
                    "assert(got[2].action == 'RunFinished' and got[2].exitcode == 3) "
                    "assert(got[2].program == '/bin/prog') "
                    "assert(got[3].action == 'DirectoryChanged' and got[3].id == 7) "
                    "assert(got[3].name == 'new.txt' and got[3].change == 'added') "
                    "assert(got[4].name == nil)"),
            "");
  // Records still queued when the host stops are freed with it.
  host::kThreads.postMessage(kMsgProgramOutput, Message("late", 0, kNoRef, {}), 0, 0, 0, 1);
  EXPECT_EQ(RunCode(host, "CheckEvents()"), "");
  host::kThreads.postMessage(kMsgProgramOutput, Message("never", 0, kNoRef, {}), 0, 0, 0, 1);
  host.Stop();
  EXPECT_EQ(host.LiveBlocks(), 0);
}

const EventSibling* EventLibrary() {
  return static_cast<const EventSibling*>(host::FindHostSibling("event")->interface());
}

TEST(DisplayHost, WaitEventWakesForAnEventRaisedOnAnotherThread) {
  tessera::Host host(Options({"graphics", "display"}, {"object", "event"}));
  std::string error;
  ASSERT_TRUE(host.Start(&error)) << error;
  // What a display's window thread hands over: a record that begins with
  // the display's header, from a window that is open.
  ObjectHeader display{kTypeDisplay, {9, nullptr}, nullptr, nullptr};
  host::kThreads.eventSource(1);
  std::thread windowThread([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EventLibrary()->raise(&display, kEventKey, 1, 0, 'x', 0);
  });
  EXPECT_EQ(RunCode(host,
                    "InstallEventHandler({KeyDown = function(e) got = e.key .. e.id end}) "
                    "assert(WaitEvent() == 1) assert(got == 'x9')"),
            "");
  windowThread.join();
  host::kThreads.eventSource(-1);
  // With the window closed nothing could raise the next one.
  EXPECT_NE(RunCode(host, "WaitEvent()").find("(error 1905)"), std::string::npos);
  host.Stop();
  EXPECT_EQ(host.LiveBlocks(), 0);
}

TEST(DisplayHost, AHandlersErrorStopsTheScriptWithItsMessage) {
  tessera::Host host(Options({"graphics", "display"}, {"object", "event"}));
  std::string error;
  ASSERT_TRUE(host.Start(&error)) << error;
  ASSERT_EQ(RunCode(host,
                    "InstallEventHandler({WindowResized = function() "
                    "error('in the handler') end})"),
            "");
  ObjectHeader display{kTypeDisplay, {1, nullptr}, nullptr, nullptr};
  EventLibrary()->raise(&display, kEventResized, 0, 0, 0, 0);
  std::string failure = RunCode(host, "CheckEvents()");
  EXPECT_NE(failure.find("in the handler"), std::string::npos) << failure;
  host.Stop();
  EXPECT_EQ(host.LiveBlocks(), 0);
}

TEST(DisplayHost, ClearingTheWindowDataForgetsTheKeysHeld) {
  tessera::Host host(Options({"graphics", "dos", "display"}, {"object", "event"}));
  std::string error;
  ASSERT_TRUE(host.Start(&error)) << error;
  ASSERT_EQ(RunCode(host,
                    "CreateDisplay(1) OpenDisplay(1) "
                    "InjectWindowMessage(1, {message = 'keydown', vk = 65, scancode = 30}) "
                    "assert(IsKeyDown('a'))"),
            "");
  // What dos does after starting a program with "resetkeys".
  auto* g = static_cast<const graphics::GraphicsInterface*>(InterfaceOf(host, "graphics"));
  DisplayOf(host)->ClearWindowData(*g->currentOutput);
  EXPECT_EQ(RunCode(host, "assert(not IsKeyDown('a'))"), "");
  host.Stop();
  EXPECT_EQ(host.LiveBlocks(), 0);
}

TEST(DisplayHost, SlotsOtherLibrariesCall) {
  tessera::Host host(Options({"graphics", "display"}, {"object"}));
  std::string error;
  ASSERT_TRUE(host.Start(&error)) << error;
  const display::DisplayInterface* slots = DisplayOf(host);
  ASSERT_NE(slots, nullptr);
  ASSERT_EQ(RunCode(host, "CreateDisplay(4, {width = 20, height = 10}) SelectDisplay(4)"), "");

  display::DisplayRecord* d = nullptr;
  ObjectId four{4, nullptr}, five{5, nullptr}, stale{0, &error};
  EXPECT_EQ(slots->FindDisplay(&four, &d), 0);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(slots->FindDisplay(&five, &d), kErrUnknownDisplay);
  EXPECT_EQ(slots->FindDisplay(&stale, &d), kErrUnknownAutoId);
  // No back end here binds hardware bitmaps to displays: no key.
  display::DisplayRecord* key = d;
  EXPECT_EQ(slots->GetDisplayKey(&four, &key), 0);
  EXPECT_EQ(key, nullptr);

  EXPECT_EQ(slots->ModeFromName("fakefullscreen"), 6);
  EXPECT_EQ(slots->ModeFromName("nonsense"), -1);
  EXPECT_EQ(slots->FillStyleFromName("texture"), 3);

  slots->FindDisplay(&four, &d);
  EXPECT_EQ(slots->OpenDisplayCore(host.L(), d, display::kOpenNoSelect), 0);
  int x, y, w, h;
  slots->GetWindowRectOf(d, &x, &y, &w, &h);
  EXPECT_EQ(w, 20);
  EXPECT_EQ(h, 10);
  EXPECT_EQ(slots->MoveWindowCore(d, 5, 6), 0);
  slots->GetWindowRectOf(d, &x, &y, &w, &h);
  EXPECT_EQ(x, 5);
  EXPECT_EQ(y, 6);
  EXPECT_EQ(slots->SetWindowTitle(d, "Slot"), 0);
  EXPECT_EQ(RunCode(host, "assert(GetAttribute(DISPLAY, 4, ATTRTITLE) == 'Slot')"), "");
  EXPECT_EQ(slots->GetCursorAndScreen(d, display::kQueryDesktopDepth), 32);
  EXPECT_EQ(slots->GetCursorAndScreen(d, display::kQueryCursorWidth), 32);
  EXPECT_EQ(slots->GetCursorAndScreen(d, display::kQueryCursorHeight), 32);
  EXPECT_EQ(slots->GetCursorAndScreen(d, display::kQueryBusy), 0);
  EXPECT_EQ(slots->GetCursorAndScreen(d, 7), -1);
  // Slots 12 and 13: full screen over the monitor and back, and a new size.
  EXPECT_EQ(slots->ApplyDisplayMode(host.L(), d, 99, 0, 0), kErrRange);
  EXPECT_EQ(slots->ApplyDisplayMode(host.L(), d, 6, 0, 0), 0);
  EXPECT_EQ(RunCode(host, "assert(GetAttribute(DISPLAY, 4, ATTRWIDTH) == 1920)"), "");
  EXPECT_EQ(slots->ApplyDisplayMode(host.L(), d, 1, 0, 0), 0);
  slots->GetWindowRectOf(d, &x, &y, &w, &h);
  EXPECT_EQ(x, 5);
  EXPECT_EQ(w, 20);
  EXPECT_EQ(slots->ResizeOutput(host.L(), d, 0, 10), kErrDisplaySize);
  EXPECT_EQ(slots->ResizeOutput(host.L(), d, 30, 12), 0);
  slots->GetWindowRectOf(d, &x, &y, &w, &h);
  EXPECT_EQ(w, 30);
  EXPECT_EQ(h, 12);
  EXPECT_EQ(slots->ResizeOutput(host.L(), d, 20, 10), 0);
  EXPECT_EQ(slots->BeginDoubleBufferCore(host.L(), d, 0), 0);
  EXPECT_EQ(slots->BeginDoubleBufferCore(host.L(), d, 1), kErrDoubleBufferActive);
  EXPECT_EQ(slots->EndDoubleBufferCore(host.L(), d), 0);
  EXPECT_EQ(slots->EndDoubleBufferCore(host.L(), d), kErrNoDoubleBuffer);
  EXPECT_EQ(slots->RefreshCore(d, display::kRefreshForce), 0);

  // A bitmap drawn into the display through slot 7 lands where it is asked,
  // cut to the display, and is shown.
  auto* g = static_cast<const graphics::GraphicsInterface*>(InterfaceOf(host, "graphics"));
  graphics::BitmapHandle* red = g->AllocBitmap(4, 4, 0, nullptr);
  ASSERT_NE(red, nullptr);
  g->FillBitmapRect(red, 0, 0, 4, 4, 0xFF0000);
  EXPECT_EQ(slots->BlitToDisplay(d, red, nullptr, nullptr, 0, 0, 18, 8, 4, 4), 0);
  graphics::BitmapHandle* picture = (*g->currentOutput)->color;
  EXPECT_EQ(g->ReadPixel(picture, 19, 9, 0), 0xFF0000u);
  EXPECT_EQ(g->ReadPixel(picture, 17, 8, 0), 0u);
  EXPECT_EQ(slots->BlitToDisplay(d, red, nullptr, nullptr, 0, 0, 30, 30, 4, 4), 0)
      << "outside: nothing to do";
  g->FreeBitmap(red);
  EXPECT_EQ(slots->PresentRegion(d, 18, 8, 4, 4), 0);
  EXPECT_EQ(slots->DrawToWindow(d, -5, -5, 100, 100), 0);
  EXPECT_EQ(slots->RefreshCurrent(), 0);

  auto* copy = static_cast<char*>(slots->CopyBuffer("abc", 4));
  ASSERT_NE(copy, nullptr);
  EXPECT_STREQ(copy, "abc");
  // A list of host blocks linked through their first word.
  void** second = static_cast<void**>(host::kMemory.alloc(16, kAllocZero));
  void** first = static_cast<void**>(host::kMemory.alloc(16, kAllocZero));
  *first = second;
  slots->FreeHostList(first);
  host::kMemory.free(copy);
  host.Stop();
  EXPECT_EQ(host.LiveBlocks(), 0);
}

}  // namespace
