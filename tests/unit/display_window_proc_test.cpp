// The window procedure on its own: the flags it keeps for the display and
// the events it raises, with a stand-in event library and the headless back
// end's windows.
#include <gtest/gtest.h>

#include <vector>

#include "display/src/bindings.h"
#include "display/src/window_proc.h"
#include "display/src/window_system.h"
#include "host_state.h"
#include "tzx/frame.h"

namespace {

using namespace tzx;
using namespace tzx::display;
using namespace tzx::platform;

struct Raised {
  int code;
  intptr_t a, b, c, d;
};
std::vector<Raised> gRaised;

void Raise(const void*, int32_t code, intptr_t a, intptr_t b, intptr_t c, intptr_t d) {
  if (code == kEventDropFiles) HostFree(reinterpret_cast<void*>(c));
  gRaised.push_back({code, a, b, c, d});
}
const EventSibling kEvents = {{nullptr, nullptr, nullptr}, Raise, nullptr, nullptr, nullptr};

class WindowProcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host::State().headless = 1;
    ASSERT_EQ(StartWindowSystem(), 0);
    gBound.event = &kEvents;
    gRaised.clear();
    d.header.type = kTypeDisplay;
    d.window = &w;
    w.dropFiles = 1;
    WindowParams p{"test", 10, 20, 64, 48, 0};
    w.handle = Backend()->CreateWindow(p, &d);
    w.lastX = 10;
    w.lastY = 20;
    ASSERT_NE(w.handle, nullptr);
  }
  void TearDown() override {
    Backend()->DestroyWindow(w.handle);
    gBound.event = nullptr;
    StopWindowSystem();
  }

  void Send(uint32_t message, uint32_t vk = 0, uint32_t scan = 0, uint32_t modifiers = 0) {
    WindowMessage m;
    m.message = message;
    m.window = w.handle;
    m.virtualKey = vk;
    m.scanCode = scan;
    m.modifiers = modifiers;
    m.character = UsKeyboardCharacter(vk, modifiers);
    WindowProc(&d, m);
  }

  DisplayRecord d{};
  WindowData w{};
};

TEST_F(WindowProcTest, KeysSetAndClearTheirStateBytes) {
  Send(kMsgKeyDown, 0x65, 0x4C, kModNumLock);
  ASSERT_EQ(gRaised.size(), 2u);
  EXPECT_EQ(gRaised[0].code, kEventRawKey);
  EXPECT_EQ(gRaised[0].c, 0x128);
  EXPECT_EQ(gRaised[1].code, kEventKey);
  EXPECT_EQ(gRaised[1].c, '5');
  EXPECT_EQ(w.rawKeys[0x128], 1);
  EXPECT_EQ(w.charKeys['5'], 1);
  EXPECT_TRUE(w.changed & kChangedKeys);
  Send(kMsgKeyUp, 0x65, 0x4C, kModNumLock);
  EXPECT_EQ(gRaised[2].a, 0) << "released";
  EXPECT_EQ(gRaised[3].a, 0);
  EXPECT_EQ(w.rawKeys[0x128], 0);
  EXPECT_EQ(w.charKeys['5'], 0);
}

TEST_F(WindowProcTest, EscapeAndControlCSetTheirFlags) {
  Send(kMsgKeyDown, kVkEscape, 0x01);
  EXPECT_EQ(w.escapePressed, 1);
  EXPECT_EQ(w.breakRequested, 0);
  // Ctrl+C breaks on the way up too; AltGr+C (Ctrl with right Alt) does not.
  Send(kMsgKeyUp, 'C', 0x2E, kModControl);
  EXPECT_EQ(w.breakRequested, 1);
  w.breakRequested = 0;
  Send(kMsgKeyDown, 'C', 0x2E, kModControl | kModAlt | kModRightAlt);
  EXPECT_EQ(w.breakRequested, 0);
}

TEST_F(WindowProcTest, SystemKeysOtherThanAltAndF10BelongToTheWindowSystem) {
  Send(kMsgSysKeyDown, 'X', 0x2D, kModAlt);
  EXPECT_TRUE(gRaised.empty());
  Send(kMsgSysKeyDown, kVkF10, 0x44);
  ASSERT_FALSE(gRaised.empty());
  EXPECT_EQ(gRaised[0].c, 0x10E);
  gRaised.clear();
  w.systemKeys = 1;
  Send(kMsgSysKeyDown, kVkMenu, 0x38, kModAlt);
  EXPECT_TRUE(gRaised.empty()) << "all of them with the system-key flag";
}

TEST_F(WindowProcTest, DeactivationForgetsTheKeys) {
  Send(kMsgKeyDown, 'A', 0x1E);
  WindowMessage m;
  m.message = kMsgActivate;
  m.window = w.handle;
  m.command = 0;
  WindowProc(&d, m);
  EXPECT_EQ(w.rawKeys['A'], 0);
  EXPECT_EQ(w.charKeys['a'], 0);
  EXPECT_EQ(gRaised.back().code, kEventDeactivated);
  EXPECT_EQ(w.active, 0);
}

TEST_F(WindowProcTest, TheWheelRaisesUpOrDownWithTheScreenPosition) {
  WindowMessage m;
  m.message = kMsgMouseWheel;
  m.window = w.handle;
  m.wheelDelta = 0;
  m.screenX = 300;
  m.screenY = 400;
  WindowProc(&d, m);
  EXPECT_EQ(gRaised.back().code, kEventWheelDown) << "no turn counts as down";
  EXPECT_EQ(gRaised.back().a, 300);
  m.wheelDelta = 120;
  WindowProc(&d, m);
  EXPECT_EQ(gRaised.back().code, kEventWheelUp);
}

TEST_F(WindowProcTest, DraggingTheDragRegionMovesTheWindowInsteadOfClicking) {
  w.dragRegion = {0, 0, 64, 8};
  WindowMessage m;
  m.window = w.handle;
  m.message = kMsgLButtonDown;
  m.x = 5;
  m.y = 3;
  WindowProc(&d, m);
  EXPECT_EQ(w.tracking, kTrackMove);
  m.message = kMsgMouseMove;
  m.x = 25;
  m.y = 13;
  WindowProc(&d, m);
  int x, y;
  Backend()->GetPosition(w.handle, &x, &y);
  EXPECT_EQ(x, 30);
  EXPECT_EQ(y, 30);
  m.message = kMsgLButtonUp;
  WindowProc(&d, m);
  EXPECT_EQ(w.tracking, 0);
  EXPECT_TRUE(gRaised.empty()) << "no button events while dragging";
  m.message = kMsgLButtonDown;
  m.y = 20;
  WindowProc(&d, m);
  ASSERT_EQ(gRaised.size(), 1u);
  EXPECT_EQ(gRaised[0].code, kEventLeftButton);
  EXPECT_EQ(gRaised[0].b, 20);
}

TEST_F(WindowProcTest, PositionsOfAMinimisedWindowAndRefusedDropsAreIgnored) {
  WindowMessage m;
  m.window = w.handle;
  m.message = kMsgMove;
  m.x = m.y = -32000;
  WindowProc(&d, m);
  EXPECT_EQ(w.lastX, 10);
  EXPECT_EQ(w.pendingMove, 0);
  m.x = 40;
  m.y = 50;
  WindowProc(&d, m);
  EXPECT_EQ(w.lastX, 40);
  EXPECT_EQ(w.pendingMove, 1);
  EXPECT_TRUE(w.changed & kChangedPosition);

  const char* names[] = {"a", "b"};
  m.message = kMsgDropFiles;
  m.files = names;
  m.fileCount = 2;
  w.dropFiles = 0;
  WindowProc(&d, m);
  EXPECT_TRUE(gRaised.empty());
  w.dropFiles = 1;
  WindowProc(&d, m);
  ASSERT_EQ(gRaised.size(), 1u);
  EXPECT_EQ(gRaised[0].d, 2);
}

}  // namespace
