// The headless window back end: its desktop, what presenting copies, and the
// messages it sends for its own moves, resizes and activations.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/window_backend.h"

namespace {

using namespace tzx::platform;

class HeadlessTest : public ::testing::Test {
 protected:
  std::unique_ptr<WindowBackend> b{CreateHeadlessBackend()};
  int tag = 0;

  NativeWindow* Open(int x, int y, int w, int h, uint32_t flags = 0) {
    WindowParams p{"t", x, y, w, h, flags};
    NativeWindow* window = b->CreateWindow(p, &tag);
    EXPECT_NE(window, nullptr);
    return window;
  }
  std::vector<WindowMessage> Drain() {
    std::vector<WindowMessage> out;
    WindowMessage m;
    while (b->PeekMessage(&m)) out.push_back(m);
    return out;
  }
  // A picture of one colour.
  static std::vector<uint32_t> Picture(int w, int h, uint32_t c) {
    return std::vector<uint32_t>(size_t(w) * h, c);
  }
};

TEST_F(HeadlessTest, TheDesktopShowsVisibleWindowsInStackingOrder) {
  NativeWindow* below = Open(0, 0, 4, 4);
  NativeWindow* above = Open(2, 2, 4, 4);
  NativeWindow* hidden = Open(0, 0, 8, 8, kWindowHidden);
  auto red = Picture(4, 4, 0x00FF0000), blue = Picture(4, 4, 0x000000FF);
  auto green = Picture(8, 8, 0x0000FF00);
  PixelRect all{0, 0, 8, 8};
  b->Present(below, reinterpret_cast<uint8_t*>(red.data()), 16, 4, 4, &all, 1, nullptr);
  b->Present(above, reinterpret_cast<uint8_t*>(blue.data()), 16, 4, 4, &all, 1, nullptr);
  b->Present(hidden, reinterpret_cast<uint8_t*>(green.data()), 32, 8, 8, &all, 1, nullptr);
  uint32_t screen[8 * 8];
  ASSERT_TRUE(b->ReadScreen(0, 0, 8, 8, screen));
  EXPECT_EQ(screen[0], 0xFFFF0000u) << "opaque, though presented without alpha";
  EXPECT_EQ(screen[3 * 8 + 3], 0xFF0000FFu) << "the later window covers the earlier";
  EXPECT_EQ(screen[7 * 8 + 7], 0xFF000000u) << "hidden windows are not on the desktop";
  b->Activate(below);
  ASSERT_TRUE(b->ReadScreen(0, 0, 8, 8, screen));
  EXPECT_EQ(screen[3 * 8 + 3], 0xFFFF0000u) << "activating raises";
  b->Show(below, ShowCommand::kMinimize);
  ASSERT_TRUE(b->ReadScreen(0, 0, 8, 8, screen));
  EXPECT_EQ(screen[0], 0xFF000000u) << "minimised windows are not on the desktop";
  for (NativeWindow* w : {below, above, hidden}) b->DestroyWindow(w);
}

TEST_F(HeadlessTest, PresentingCopiesOnlyTheRectanglesInsideTheWindow) {
  NativeWindow* w = Open(0, 0, 4, 3);
  auto picture = Picture(6, 6, 0x00ABCDEF);
  PixelRect rects[] = {{1, 1, 2, 1}, {-5, -5, 3, 3}, {3, 2, 10, 10}};
  b->Present(w, reinterpret_cast<uint8_t*>(picture.data()), 24, 6, 6, rects, 3, nullptr);
  uint32_t out[6 * 6];
  ASSERT_TRUE(b->ReadWindow(w, out, 6, 6));
  EXPECT_EQ(out[1 * 6 + 1], 0xFFABCDEFu);
  EXPECT_EQ(out[1 * 6 + 2], 0xFFABCDEFu);
  EXPECT_EQ(out[1 * 6 + 3], 0xFF000000u) << "outside the first rectangle";
  EXPECT_EQ(out[2 * 6 + 3], 0xFFABCDEFu) << "the third, cut at the window's edge";
  EXPECT_EQ(out[0], 0xFF000000u) << "the second lies outside";
  EXPECT_EQ(out[5 * 6 + 5], 0xFF000000u) << "beyond the window reads black";
  b->DestroyWindow(w);
}

// A flip fills the display's front picture in the same pass: the mirror
// takes each rectangle whole, also where the window has no room for it.
TEST_F(HeadlessTest, PresentingWithAMirrorFillsItBeyondTheWindow) {
  NativeWindow* w = Open(0, 0, 4, 3);
  auto picture = Picture(6, 6, 0x00ABCDEF);
  std::vector<uint32_t> mirror(7 * 6, 0x11111111u);  // rows one word longer than the picture's
  const PixelMirror m{reinterpret_cast<uint8_t*>(mirror.data()), 7 * 4};
  PixelRect rects[] = {{1, 1, 2, 1}, {3, 2, 10, 10}, {-2, 5, 3, 3}};
  b->Present(w, reinterpret_cast<uint8_t*>(picture.data()), 24, 6, 6, rects, 3, &m);
  EXPECT_EQ(mirror[1 * 7 + 1], 0x00ABCDEFu);
  EXPECT_EQ(mirror[1 * 7 + 3], 0x11111111u) << "outside every rectangle";
  EXPECT_EQ(mirror[5 * 7 + 5], 0x00ABCDEFu) << "the window's edge does not cut the mirror";
  EXPECT_EQ(mirror[5 * 7 + 6], 0x11111111u) << "nor does the mirror get more than the picture";
  EXPECT_EQ(mirror[5 * 7 + 0], 0x00ABCDEFu) << "a rectangle from outside, cut at the left";
  EXPECT_EQ(mirror[5 * 7 + 1], 0x11111111u);
  uint32_t out[6 * 6];
  ASSERT_TRUE(b->ReadWindow(w, out, 6, 6));
  EXPECT_EQ(out[2 * 6 + 3], 0xFFABCDEFu);
  EXPECT_EQ(out[2 * 6 + 4], 0xFF000000u) << "beyond the window";
  b->DestroyWindow(w);
}

// The two-target row copy at the widths where its 16-byte steps end: below
// one step, exactly one, one word past it, and a wide row; nothing is written
// past a row's end or between rows.
TEST(CopyRowsTwice, CopiesEachRowExactlyIntoBothTargets) {
  for (size_t words : {1, 3, 4, 5, 8, 33}) {
    const size_t stride = words + 2;
    std::vector<uint32_t> from(stride * 3), a(stride * 3, 0xAAAAAAAAu), b(stride * 3, 0xBBu);
    for (size_t i = 0; i < from.size(); ++i) from[i] = uint32_t(i + 1);
    CopyRowsTwice(reinterpret_cast<const uint8_t*>(from.data()), stride * 4,
                  reinterpret_cast<uint8_t*>(a.data()), stride * 4,
                  reinterpret_cast<uint8_t*>(b.data()), stride * 4, words * 4, 3);
    for (size_t row = 0; row < 3; ++row) {
      for (size_t col = 0; col < stride; ++col) {
        const size_t at = row * stride + col;
        EXPECT_EQ(a[at], col < words ? from[at] : 0xAAAAAAAAu) << words << " words, " << at;
        EXPECT_EQ(b[at], col < words ? from[at] : 0xBBu) << words << " words, " << at;
      }
    }
  }
}

TEST_F(HeadlessTest, OwnMovesResizesAndActivationsAreReportedAsMessages) {
  NativeWindow* first = Open(0, 0, 2, 2);
  NativeWindow* second = Open(0, 0, 2, 2);
  std::vector<WindowMessage> m = Drain();
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(m[0].message, kMsgActivate);
  EXPECT_EQ(m[0].window, first);
  EXPECT_EQ(m[1].window, first) << "the first loses the focus to the second";
  EXPECT_EQ(m[1].command, 0u);
  EXPECT_EQ(m[2].window, second);
  EXPECT_EQ(m[2].command, 1u);
  EXPECT_EQ(b->UserData(second), &tag);

  auto picture = Picture(2, 2, 0x00112233);
  PixelRect all{0, 0, 2, 2};
  b->Present(first, reinterpret_cast<uint8_t*>(picture.data()), 8, 2, 2, &all, 1, nullptr);
  b->SetPosition(first, 30, 40);
  b->SetClientSize(first, 3, 1);
  m = Drain();
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[0].message, kMsgMove);
  EXPECT_EQ(m[0].x, 30);
  EXPECT_EQ(m[1].message, kMsgSize);
  EXPECT_EQ(m[1].x, 3);
  uint32_t out[3];
  ASSERT_TRUE(b->ReadWindow(first, out, 3, 1));
  EXPECT_EQ(out[0], 0xFF112233u) << "resizing keeps what fits";
  EXPECT_EQ(out[2], 0xFF000000u);

  // Messages of a window that goes are dropped with it.
  b->SetPosition(first, 1, 1);
  b->DestroyWindow(first);
  EXPECT_TRUE(Drain().empty());
  b->DestroyWindow(second);
}

TEST_F(HeadlessTest, InjectedMessagesKeepTheirFilesAndMoveTheCursor) {
  NativeWindow* w = Open(100, 200, 10, 10);
  Drain();
  std::vector<const char*> names = {"one", "two words"};
  WindowMessage drop;
  drop.message = kMsgDropFiles;
  drop.window = w;
  drop.files = names.data();
  drop.fileCount = 2;
  ASSERT_TRUE(b->Inject(drop));
  names[0] = "changed";  // the queue holds its own copies
  WindowMessage move;
  move.message = kMsgMouseMove;
  move.window = w;
  move.x = 3;
  move.y = 4;
  ASSERT_TRUE(b->Inject(move));
  WindowMessage got;
  ASSERT_TRUE(b->PeekMessage(&got));
  ASSERT_EQ(got.fileCount, 2);
  EXPECT_STREQ(got.files[0], "one");
  EXPECT_STREQ(got.files[1], "two words");
  ASSERT_TRUE(b->PeekMessage(&got));
  int x, y;
  b->CursorPosition(&x, &y);
  EXPECT_EQ(x, 103);
  EXPECT_EQ(y, 204);
  EXPECT_FALSE(b->PeekMessage(&got));
  b->DestroyWindow(w);
  EXPECT_EQ(b->CreateWindow(WindowParams{"t", 0, 0, 0, 5, 0}, nullptr), nullptr);
  EXPECT_NE(std::string(b->LastError()), "");
}

}  // namespace
