#include "flood_fill.h"

#include <cstring>
#include <initializer_list>

#include "pixel_access.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::brush {

namespace {

// A growable stack of plain records from the host's memory.
template <class T>
class Stack {
 public:
  explicit Stack(size_t capacity) : capacity_(capacity) {
    items_ = static_cast<T*>(HostAlloc(capacity_ * sizeof(T), false));
  }
  ~Stack() { HostFree(items_); }
  Stack(const Stack&) = delete;
  Stack& operator=(const Stack&) = delete;

  bool ok() const { return items_ != nullptr; }
  bool empty() const { return size_ == 0; }
  T pop() { return items_[--size_]; }
  // False when memory runs out; the stack is then unchanged.
  bool push(const T& item) {
    if (size_ == capacity_ && !Grow()) return false;
    items_[size_++] = item;
    return true;
  }

 private:
  bool Grow() {
    auto* grown = static_cast<T*>(HostAlloc(capacity_ * 2 * sizeof(T), false));
    if (!grown) return false;
    std::memcpy(grown, items_, size_ * sizeof(T));
    HostFree(items_);
    items_ = grown;
    capacity_ *= 2;
    return true;
  }

  T* items_ = nullptr;
  size_t size_ = 0;
  size_t capacity_;
};

// The spans start small and grow with the fill; a fixed stack would lose
// spans, and with them pixels, on intricate areas.
constexpr size_t kInitialSpans = 1024;

template <int B>
class Filler {
 public:
  explicit Filler(const FillSurface& s)
      : s_(s), mask_(s.compareMask), fill_(s.fill), maskedFill_(s.fill & s.compareMask) {}

  int Seed(int x, int y) {
    const uint32_t seed = Value(Row(y), x);
    if (seed == maskedFill_) return 0;
    Stack<Span> stack(kInitialSpans);
    if (!stack.ok()) return kErrNoMemory;
    bool lost = false;
    auto push = [&](int row, int left, int right, int dir) {
      int scan = row + dir;
      if (scan >= 0 && scan < s_.height && !stack.push(Span{row, left, right, dir})) lost = true;
    };
    push(y, x, x, 1);
    push(y + 1, x, x, -1);
    while (!stack.empty() && !lost) {
      const Span span = stack.pop();
      const int row = span.row + span.dir;
      const int dir = span.dir;
      uint8_t* line = Row(row);
      int cx = span.left;
      while (cx >= 0 && Value(line, cx) == seed) Set(line, row, cx--);
      bool inRun = cx < span.left;
      int start = cx + 1;
      if (inRun) {
        // The run went left past the span: the row it came from may go on
        // there as well.
        if (start < span.left) push(row, start, span.left - 1, -dir);
        cx = span.left + 1;
      }
      for (;;) {
        if (inRun) {
          while (cx < s_.width && Value(line, cx) == seed) Set(line, row, cx++);
          push(row, start, cx - 1, dir);
          if (cx > span.right + 1) push(row, span.right + 1, cx - 1, -dir);
        }
        for (++cx; cx <= span.right && Value(line, cx) != seed; ++cx) {
        }
        if (cx > span.right) break;
        start = cx;
        inRun = true;
      }
    }
    return lost ? kErrNoMemory : 0;
  }

  int Boundary(int x, int y) {
    const uint32_t border = s_.border & mask_;
    if (Value(Row(y), x) == border) return 0;
    Stack<Point> stack(kInitialSpans);
    if (!stack.ok() || !stack.push(Point{x, y})) return kErrNoMemory;
    bool first = true;
    while (!stack.empty()) {
      const Point p = stack.pop();
      uint8_t* line = Row(p.y);
      const uint32_t v = Value(line, p.x);
      // A seed that an earlier run filled has had its neighbours looked at.
      if (v == border || (!first && v == maskedFill_)) continue;
      first = false;
      int left = p.x, right = p.x;
      while (left > 0 && Value(line, left - 1) != border) --left;
      while (right + 1 < s_.width && Value(line, right + 1) != border) ++right;
      for (int i = left; i <= right; ++i) Set(line, p.y, i);
      // Each stretch above and below that is neither border nor fill starts
      // a fill of its own at its first pixel.
      for (int ny : {p.y - 1, p.y + 1}) {
        if (ny < 0 || ny >= s_.height) continue;
        const uint8_t* next = Row(ny);
        for (int i = left; i <= right; ++i) {
          const uint32_t n = Value(next, i);
          if (n == border || n == maskedFill_) continue;
          if (!stack.push(Point{i, ny})) return kErrNoMemory;
          while (i + 1 <= right) {
            const uint32_t m = Value(next, i + 1);
            if (m == border || m == maskedFill_) break;
            ++i;
          }
        }
      }
    }
    return 0;
  }

 private:
  struct Span {
    int row;
    int left;
    int right;
    int dir;
  };
  struct Point {
    int x;
    int y;
  };

  uint8_t* Row(int y) const { return s_.pixels + static_cast<ptrdiff_t>(y) * s_.stride * B; }
  uint32_t Value(const uint8_t* line, int x) const { return GetPixel<B>(line + x * B) & mask_; }
  void Set(uint8_t* line, int y, int x) {
    PutPixel<B>(line + x * B, fill_);
    if (s_.alpha) s_.alpha[static_cast<ptrdiff_t>(y) * s_.alphaStride + x] = s_.alphaValue;
  }

  const FillSurface& s_;
  const uint32_t mask_;
  const uint32_t fill_;
  const uint32_t maskedFill_;
};

template <int B>
int Run(const FillSurface& s, int x, int y) {
  Filler<B> filler(s);
  return s.border == kNoBorder ? filler.Seed(x, y) : filler.Boundary(x, y);
}

}  // namespace

int FloodFill(const FillSurface& s, int x, int y) {
  if (!s.pixels || x < 0 || y < 0 || x >= s.width || y >= s.height) return kErrRange;
  switch (s.bytesPerPixel) {
    case 1:
      return Run<1>(s, x, y);
    case 2:
      return Run<2>(s, x, y);
    case 3:
      return Run<3>(s, x, y);
    case 4:
      return Run<4>(s, x, y);
    default:
      return kErrRange;
  }
}

}  // namespace tzx::brush
