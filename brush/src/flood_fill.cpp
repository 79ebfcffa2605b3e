#include "flood_fill.h"

#include <cstring>
#include <initializer_list>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

#if defined(__SSE2__)
constexpr bool kHaveSse2 = true;
#else
constexpr bool kHaveSse2 = false;
#endif

// The spans start small and grow with the fill; a fixed stack would lose
// spans, and with them pixels, on intricate areas.
constexpr size_t kInitialSpans = 1024;

template <int B>
class Filler {
 public:
  explicit Filler(const FillSurface& s)
      : border_(s.border),
        pixels_(s.pixels),
        rowBytes_(static_cast<ptrdiff_t>(s.stride) * B),
        width_(s.width),
        height_(s.height),
        mask_(s.compareMask),
        fill_(s.fill),
        maskedFill_(s.fill & s.compareMask),
        alpha_(s.alpha),
        alphaStride_(s.alphaStride),
        alphaValue_(s.alphaValue) {}

  int Seed(int x, int y) {
    const uint32_t seed = Value(Row(y), x);
    if (seed == maskedFill_) return 0;
    Stack<Span> stack(kInitialSpans);
    if (!stack.ok()) return kErrNoMemory;
    const int width = width_, height = height_;
    bool lost = false;
    auto push = [&](int row, int left, int right, int dir) {
      int scan = row + dir;
      if (scan >= 0 && scan < height && !stack.push(Span{row, left, right, dir})) lost = true;
    };
    push(y, x, x, 1);
    push(y + 1, x, x, -1);
    while (!stack.empty() && !lost) {
      const Span span = stack.pop();
      const int row = span.row + span.dir;
      const int dir = span.dir;
      uint8_t* line = Row(row);
      // Each run is found first and then filled in one go.
      int cx = RunStart(line, span.left, seed) - 1;
      FillRun(line, row, cx + 1, span.left + 1);
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
          const int from = cx;
          cx = RunEnd(line, cx, width, seed);
          FillRun(line, row, from, cx);
          push(row, start, cx - 1, dir);
          if (cx > span.right + 1) push(row, span.right + 1, cx - 1, -dir);
        }
        cx = NextOf(line, cx + 1, span.right + 1, seed);
        if (cx > span.right) break;
        start = cx;
        inRun = true;
      }
    }
    return lost ? kErrNoMemory : 0;
  }

  int Boundary(int x, int y) {
    const uint32_t border = border_ & mask_;
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
      while (right + 1 < width_ && Value(line, right + 1) != border) ++right;
      FillRun(line, p.y, left, right + 1);
      // Each stretch above and below that is neither border nor fill starts
      // a fill of its own at its first pixel.
      for (int ny : {p.y - 1, p.y + 1}) {
        if (ny < 0 || ny >= height_) continue;
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
  const uint32_t border_;
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

  // The surface's fields are copied, so that writes through the pixel
  // pointers cannot make the compiler read them again per pixel.
  uint8_t* Row(int y) const { return pixels_ + static_cast<ptrdiff_t>(y) * rowBytes_; }
  uint32_t Value(const uint8_t* line, int x) const { return GetPixel<B>(line + x * B) & mask_; }
  // Whole rows are scanned four 32-bit pixels at a time.
  static constexpr bool kLanes = B == 4 && kHaveSse2;

  // The first x in [x, end) whose value is not `v`; end when there is none.
  int RunEnd(const uint8_t* line, int x, int end, uint32_t v) const {
    if constexpr (kLanes) {
      for (; x + 4 <= end; x += 4) {
        const int same = SameLanes(line + ptrdiff_t(x) * 4, v);
        if (same != 0xF) return x + __builtin_ctz(~same & 0xF);
      }
    }
    while (x < end && Value(line, x) == v) ++x;
    return x;
  }
  // The first x of the run of `v` that ends at x (x + 1 when x is not `v`).
  int RunStart(const uint8_t* line, int x, uint32_t v) const {
    if constexpr (kLanes) {
      for (; x >= 3; x -= 4) {
        const int same = SameLanes(line + ptrdiff_t(x - 3) * 4, v);
        if (same != 0xF) return x - 3 + (32 - __builtin_clz(~same & 0xF));
      }
    }
    while (x >= 0 && Value(line, x) == v) --x;
    return x + 1;
  }
  // The first x in [x, end) whose value is `v`; end when there is none.
  int NextOf(const uint8_t* line, int x, int end, uint32_t v) const {
    if constexpr (kLanes) {
      for (; x + 4 <= end; x += 4) {
        if (const int same = SameLanes(line + ptrdiff_t(x) * 4, v)) return x + __builtin_ctz(same);
      }
    }
    while (x < end && Value(line, x) != v) ++x;
    return x;
  }
  // Bit i set when pixel i of the four at p has value v.
  int SameLanes(const uint8_t* p, uint32_t v) const {
#if defined(__SSE2__)
    const __m128i pixels = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
                                         _mm_set1_epi32(static_cast<int>(mask_)));
    return _mm_movemask_ps(
        _mm_castsi128_ps(_mm_cmpeq_epi32(pixels, _mm_set1_epi32(static_cast<int>(v)))));
#else
    int same = 0;
    for (int i = 0; i < 4; ++i) same |= (Value(p, i) == v) << i;
    return same;
#endif
  }

  // Pixels [from, to) of a row.
  void FillRun(uint8_t* line, int y, int from, int to) const {
    if (to <= from) return;
    const uint32_t fill = fill_;
    for (uint8_t *p = line + ptrdiff_t(from) * B, *end = line + ptrdiff_t(to) * B; p < end;
         p += B) {
      PutPixel<B>(p, fill);
    }
    if (alpha_) {
      std::memset(alpha_ + ptrdiff_t(y) * alphaStride_ + from, alphaValue_, size_t(to - from));
    }
  }

  uint8_t* const pixels_;
  const ptrdiff_t rowBytes_;
  const int width_;
  const int height_;
  const uint32_t mask_;
  const uint32_t fill_;
  const uint32_t maskedFill_;
  uint8_t* const alpha_;
  const ptrdiff_t alphaStride_;
  const uint8_t alphaValue_;
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
