#include "layout.h"

#include <climits>
#include <cstring>

#include "layout_bullets.h"
#include "tzx/errors.h"
#include "tzx/graphics_constants.h"
#include "tzx/text_constants.h"

namespace tzx::text {

namespace {

constexpr int32_t kLeftAlign = graphics::kLeft;

bool SameStyle(const TextStyle& a, const TextStyle& b) {
  return std::memcmp(&a, &b, sizeof(TextStyle)) == 0;
}

// What the list pre-pass finds out about one text line.
struct ListItem {
  int32_t level;
  int32_t entry;
  int32_t number;   // 0-based, per level
  int32_t sublist;  // index into the sub-lists
  int32_t x;        // where the bullet stands
};

struct SubList {
  int32_t kind;
  int32_t count;
  int32_t widest;  // widest number text, -1 until measured
};

int32_t Setting(const LayoutRequest& r, ListSetting s, int32_t index) {
  return r.list[s][index < kListLevels ? index : kListLevels - 1];
}

class Builder {
 public:
  Builder(const LayoutRequest& r, const LayoutFont& f, Layout* out) : r_(r), f_(f), out_(out) {
    fmt_.style = r.style;
    fmt_.paletteMode = r.paletteMode;
  }

  int Run();

 private:
  int CheckRequest();
  int ScanList();
  int Step(size_t* i);
  int Content(const char* bytes, size_t n);
  int StartWord();
  int EndWord();
  int OpenPiece(bool wordStart);
  int MeasureOpen();
  int Blank();
  int Tab();
  int LineBreak();
  int NewLine();
  int MoveWordDown();
  int StartItem();
  int Finish();
  int Measure(const TextStyle& style, const char* bytes, size_t n, RunMetrics* m) {
    return f_.measure(f_.context, style, bytes, n, r_.charSpacing, m);
  }
  int SpaceAdvance(const TextStyle& style, int32_t* out);
  bool Utf8() const { return r_.encoding == 1; }
  bool Justified() const { return r_.align == graphics::kJustified; }
  TextRun& Open() { return out_->runs[static_cast<size_t>(open_)]; }
  bool InWrapTable(int32_t word) const;

  const LayoutRequest& r_;
  const LayoutFont& f_;
  Layout* out_;
  FormatState fmt_;

  int32_t x_ = 0;
  int32_t y_ = 0;
  int32_t lineIndent_ = 0;
  int32_t line_ = 0;
  int32_t lineRight_ = 0;
  int32_t wordsOnLine_ = 0;
  int32_t wordIndex_ = 0;
  int32_t wordRight_ = INT_MIN;
  int32_t wordX_ = 0;
  int wordFirst_ = -1;
  int open_ = -1;
  bool measured_ = false;
  bool inWord_ = false;
  bool pendingBreak_ = false;

  TextStyle spaceStyle_{};
  int32_t spaceAdvance_ = -1;

  // List mode.
  HostArray<ListItem> items_;
  HostArray<SubList> sublists_;
  int32_t item_ = 0;
  bool itemStarted_ = false;
  bool lineHasBytes_ = false;
  int bulletPiece_ = -1;
};

int Builder::SpaceAdvance(const TextStyle& style, int32_t* out) {
  if (spaceAdvance_ < 0 || !SameStyle(style, spaceStyle_)) {
    RunMetrics m;
    if (int rc = Measure(style, " ", 1, &m)) return rc;
    spaceStyle_ = style;
    spaceAdvance_ = m.advance;
  }
  *out = spaceAdvance_;
  return 0;
}

bool Builder::InWrapTable(int32_t word) const {
  for (int32_t i = 0; i < r_.wrapTableCount; ++i) {
    if (r_.wrapTable[i] == word) return true;
  }
  return false;
}

int Builder::CheckRequest() {
  if (r_.wrapWidth < 0 || r_.lineSpacing < -f_.height) return kErrRange;
  if (r_.encoding != 0 && r_.encoding != 1) return kErrZeroOrOne;
  if (r_.frame < 1) return kErrFrameRange;
  if (r_.listMode && r_.align != kLeftAlign) return kErrRange;
  if (r_.tabCount < 0 || r_.tabCount > kMaxTabs) return kErrTooMany;
  for (int32_t i = 0; i < r_.tabCount; ++i) {
    if (r_.tabs[i] < 0) return kErrNegativePosition;
  }
  if (r_.listMode) {
    for (int s = kListBullet; s < kListSpacing; ++s) {
      for (int32_t v : r_.list[s]) {
        if (v < 0) return kErrRange;
      }
    }
  }
  return 0;
}

// Finds every item's level, entry, number and bullet position before the
// layout, so that numbered items of a level line up behind its widest number.
int Builder::ScanList() {
  int32_t entries[kListLevels] = {};
  int32_t subs[kListLevels] = {};
  int32_t counters[kListLevels] = {};
  int32_t level = 0;
  int32_t nextEntry = 1;
  int32_t space = 0;
  if (int rc = SpaceAdvance(r_.style, &space)) return rc;
  if (!sublists_.Push({Setting(r_, kListBullet, 0), 0, -1})) return kErrNoMemory;
  size_t start = 0;
  while (start < r_.length) {
    size_t end = start;
    while (end < r_.length && r_.text[end] != '\n') ++end;
    int32_t tabs = 0;
    while (start + static_cast<size_t>(tabs) < end && r_.text[start + tabs] == '\t') ++tabs;
    for (size_t i = start + static_cast<size_t>(tabs); i < end; ++i) {
      if (r_.text[i] == '\t') return kErrRange;
    }
    if (tabs >= kListLevels) return kErrTooMany;
    if (tabs > level + 1) return kErrRange;
    if (tabs > level) {
      entries[tabs] = r_.simpleList ? tabs : nextEntry++;
      subs[tabs] = static_cast<int32_t>(sublists_.size());
      counters[tabs] = 0;
      if (!sublists_.Push({Setting(r_, kListBullet, entries[tabs]), 0, -1})) return kErrNoMemory;
    }
    level = tabs;
    int32_t x = Setting(r_, kListOffset, level);
    for (int32_t k = 1; k <= level; ++k) x += Setting(r_, kListIndent, entries[k]) * space;
    const int32_t number = counters[level]++;
    ++sublists_[static_cast<size_t>(subs[level])].count;
    if (!items_.Push({level, entries[level], number, subs[level], x})) return kErrNoMemory;
    start = end + 1;
  }
  const int32_t frames =
      static_cast<int32_t>(items_.size()) + (r_.frameMode == kFramemodeSingle ? 1 : 0);
  return r_.frame > (frames > 0 ? frames : 1) ? kErrFrameRange : 0;
}

int Builder::OpenPiece(bool wordStart) {
  TextRun p;
  p.x = x_;
  p.y = y_;
  p.offset = static_cast<uint32_t>(out_->bytes.size());
  p.style = fmt_.style;
  p.line = line_;
  p.item = item_;
  p.wordStart = wordStart ? 1 : 0;
  if (!out_->runs.Push(p)) return kErrNoMemory;
  open_ = static_cast<int>(out_->runs.size() - 1);
  measured_ = false;
  return 0;
}

int Builder::MeasureOpen() {
  TextRun& p = Open();
  if (int rc = Measure(p.style, out_->bytes.data() + p.offset, p.length, &p.extent)) return rc;
  measured_ = true;
  x_ = p.x + p.extent.advance;
  const int32_t right = p.x + p.extent.inkWidth;
  if (right > wordRight_) wordRight_ = right;
  return 0;
}

int Builder::StartWord() {
  if (pendingBreak_) {
    pendingBreak_ = false;
    if (int rc = NewLine()) return rc;
  }
  if (int rc = OpenPiece(true)) return rc;
  wordFirst_ = open_;
  wordX_ = x_;
  wordRight_ = INT_MIN;
  inWord_ = true;
  return 0;
}

int Builder::Content(const char* bytes, size_t n) {
  if (r_.listMode && !itemStarted_) {
    if (int rc = StartItem()) return rc;
  }
  if (!inWord_) {
    if (int rc = StartWord()) return rc;
  } else if (open_ < 0) {
    if (int rc = OpenPiece(false)) return rc;
  }
  if (!out_->bytes.Append(bytes, n)) return kErrNoMemory;
  Open().length += static_cast<uint32_t>(n);
  return 0;
}

int Builder::EndWord() {
  inWord_ = false;
  if (open_ >= 0 && !measured_) {
    if (int rc = MeasureOpen()) return rc;
  }
  if (r_.wrapTable) {
    pendingBreak_ = InWrapTable(wordIndex_);
  } else if (r_.wrapWidth > 0 && wordsOnLine_ > 0 &&
             (wordRight_ > lineRight_ ? wordRight_ : lineRight_) > r_.wrapWidth) {
    if (int rc = MoveWordDown()) return rc;
  }
  if (wordRight_ > lineRight_) lineRight_ = wordRight_;
  ++wordsOnLine_;
  ++wordIndex_;
  return 0;
}

// The word that did not fit goes to the start of a new line.
int Builder::MoveWordDown() {
  const int32_t shift = wordX_ - lineIndent_;
  const int32_t x = x_;
  if (int rc = NewLine()) return rc;
  for (size_t i = static_cast<size_t>(wordFirst_); i < out_->runs.size(); ++i) {
    TextRun& p = out_->runs[i];
    p.x -= shift;
    p.y = y_;
    p.line = line_;
  }
  x_ = x - shift;
  wordRight_ -= shift;
  wordX_ = lineIndent_;
  return 0;
}

int Builder::NewLine() {
  y_ += f_.height + r_.lineSpacing;
  x_ = lineIndent_;
  ++line_;
  lineRight_ = INT_MIN;
  wordsOnLine_ = 0;
  LayoutLine l;
  l.y = y_;
  l.item = item_;
  return out_->lines.Push(l) ? 0 : kErrNoMemory;
}

int Builder::Blank() {
  if (r_.listMode && !itemStarted_) {
    if (int rc = StartItem()) return rc;
  }
  if (inWord_) {
    if (int rc = EndWord()) return rc;
  }
  int32_t advance = 0;
  if (int rc = SpaceAdvance(fmt_.style, &advance)) return rc;
  if (Justified()) {
    // Words are runs of their own, so that justification can spread them.
    open_ = -1;
    x_ += advance;
    return 0;
  }
  if (open_ < 0) {
    if (int rc = OpenPiece(false)) return rc;
    measured_ = true;
  }
  if (!out_->bytes.Push(' ')) return kErrNoMemory;
  TextRun& p = Open();
  ++p.length;
  p.extent.advance += advance;
  x_ += advance;
  return 0;
}

int Builder::Tab() {
  if (r_.listMode) {
    // Leading tabs are the item's level, counted by ScanList.
    return itemStarted_ ? kErrRange : 0;
  }
  if (inWord_) {
    if (int rc = EndWord()) return rc;
  }
  open_ = -1;
  for (int32_t i = 0; i < r_.tabCount; ++i) {
    const int32_t stop = r_.tabs[i];
    if (stop <= x_ + r_.leftMargin) continue;
    if (r_.wrapWidth > 0 && stop - r_.leftMargin >= r_.wrapWidth) break;
    x_ = stop - r_.leftMargin;
    return 0;
  }
  return LineBreak();
}

int Builder::LineBreak() {
  if (r_.listMode && !itemStarted_) {
    if (int rc = StartItem()) return rc;
  }
  if (inWord_) {
    if (int rc = EndWord()) return rc;
  }
  open_ = -1;
  if (r_.listMode) {
    itemStarted_ = false;
    lineHasBytes_ = false;
    ++item_;
    lineIndent_ = 0;
  } else {
    lineIndent_ = 0;
  }
  pendingBreak_ = false;
  return NewLine();
}

int Builder::StartItem() {
  itemStarted_ = true;
  const ListItem& it = items_[static_cast<size_t>(item_)];
  if (item_ > 0) {
    y_ += Setting(r_, kListSpacing, it.entry);
    out_->lines.back().y = y_;
  }
  SubList& sub = sublists_[static_cast<size_t>(it.sublist)];
  TextStyle bulletStyle = fmt_.style;
  bulletStyle.flags &= ~(graphics::kBold | graphics::kItalic | graphics::kUnderlined);
  if (bulletStyle.flags == 0) bulletStyle.flags = graphics::kNormal;
  bulletStyle.fontColor = fmt_.style.bulletColor;
  bulletStyle.fontPen = fmt_.style.bulletPen;
  char text[kBulletTextSize];
  const size_t n = BulletText(sub.kind, it.number, r_.encoding, f_.bitmapKind, text);
  int32_t textX = it.x;
  bulletPiece_ = -1;
  if (n > 0) {
    x_ = it.x;
    if (!out_->bytes.Append(text, n)) return kErrNoMemory;
    if (int rc = OpenPiece(false)) return rc;
    TextRun& b = Open();
    b.style = bulletStyle;
    b.length = static_cast<uint32_t>(n);
    b.bullet = 1;
    b.offset -= static_cast<uint32_t>(n);
    if (int rc = Measure(b.style, text, n, &b.extent)) return rc;
    bulletPiece_ = open_;
    open_ = -1;
    int32_t width = b.extent.advance;
    if (IsNumberedBullet(sub.kind)) {
      if (sub.widest < 0) {
        for (int32_t k = 0; k < sub.count; ++k) {
          RunMetrics m;
          const size_t len = BulletText(sub.kind, k, r_.encoding, f_.bitmapKind, text);
          if (int rc = Measure(bulletStyle, text, len, &m)) return rc;
          if (m.advance > sub.widest) sub.widest = m.advance;
        }
      }
      width = sub.widest;
    }
    textX += width;
  }
  lineIndent_ = textX;
  x_ = textX;
  return 0;
}

// One byte or a span of plain bytes of the text.
int Builder::Step(size_t* at) {
  const char* t = r_.text;
  const size_t len = r_.length;
  size_t i = *at;
  const unsigned char c = static_cast<unsigned char>(t[i]);
  lineHasBytes_ = true;
  if (r_.formatTags && (c == '[' || c == ']')) {
    if (i + 1 < len && t[i + 1] == t[i]) {
      *at = i + 2;
      return Content(t + i, 1);
    }
    if (c == ']') return kErrUnexpectedClose;
    if (r_.listMode && !itemStarted_) {
      if (int rc = StartItem()) return rc;
    }
    const TextStyle before = fmt_.style;
    fmt_.bulletColorChanged = false;
    if (int rc = ApplyFormatTag(t, len, i, r_.constants, &fmt_, at)) return rc;
    if (fmt_.bulletColorChanged && bulletPiece_ >= 0) {
      TextRun& b = out_->runs[static_cast<size_t>(bulletPiece_)];
      b.style.fontColor = fmt_.style.bulletColor;
      b.style.fontPen = fmt_.style.bulletPen;
    }
    if (!SameStyle(before, fmt_.style) && open_ >= 0) {
      if (!measured_) {
        if (int rc = MeasureOpen()) return rc;
      }
      open_ = -1;
    }
    return 0;
  }
  switch (c) {
    case '\r':
      *at = i + 1;
      return 0;
    case '\n':
      *at = i + 1;
      return LineBreak();
    case '\t':
      *at = i + 1;
      return Tab();
    case ' ':
      *at = i + 1;
      return Blank();
    default:
      break;
  }
  if (Utf8() && c == 0xC2 && i + 1 < len && static_cast<unsigned char>(t[i + 1]) == 0xAD) {
    // Soft hyphen: a place to break; its "-" is kept behind the run and shown
    // only when the line breaks there.
    *at = i + 2;
    if (!inWord_) return 0;
    if (int rc = EndWord()) return rc;
    if (open_ >= 0) {
      if (!out_->bytes.Push('-')) return kErrNoMemory;
      Open().softHyphen = 1;
      open_ = -1;
    }
    return 0;
  }
  if (Utf8() && c == 0xE2 && i + 2 < len && static_cast<unsigned char>(t[i + 1]) == 0x80 &&
      static_cast<unsigned char>(t[i + 2]) == 0x8B) {
    *at = i + 3;  // zero-width space: a place to break, nothing to draw
    if (inWord_) {
      if (int rc = EndWord()) return rc;
    }
    open_ = -1;
    return 0;
  }
  size_t j = i + 1;
  while (j < len) {
    const unsigned char d = static_cast<unsigned char>(t[j]);
    if (d == ' ' || d == '\n' || d == '\t' || d == '\r' || d == '[' || d == ']') break;
    if (Utf8() && (d == 0xC2 || d == 0xE2)) break;
    ++j;
  }
  *at = j;
  return Content(t + i, j - i);
}

int Builder::Run() {
  if (int rc = CheckRequest()) return rc;
  if (int rc = SpaceAdvance(r_.style, &out_->spaceWidth)) return rc;
  if (r_.listMode) {
    if (int rc = ScanList()) return rc;
  }
  x_ = r_.listMode ? 0 : r_.firstIndent;
  LayoutLine first;
  if (!out_->lines.Push(first)) return kErrNoMemory;
  size_t i = 0;
  while (i < r_.length) {
    if (int rc = Step(&i)) return rc;
  }
  if (r_.listMode && !itemStarted_ && lineHasBytes_) {
    if (int rc = StartItem()) return rc;
  }
  if (inWord_) {
    if (int rc = EndWord()) return rc;
  }
  return Finish();
}

// Line ends get their soft hyphens and lose trailing blanks where they would
// show; neighbouring pieces of one style become one run, measured whole.
int Builder::Finish() {
  HostArray<TextRun>& runs = out_->runs;
  const bool trim = r_.align != kLeftAlign;
  for (size_t i = 0; i < runs.size(); ++i) {
    TextRun& p = runs[i];
    const bool last = i + 1 == runs.size() || runs[i + 1].line != p.line;
    if (!last || p.bullet) continue;
    p.lineEnd = 1;
    bool changed = false;
    if (p.softHyphen) {
      ++p.length;
      changed = true;
    }
    if (trim || (p.style.flags & graphics::kUnderlined)) {
      while (p.length > 0 && out_->bytes[p.offset + p.length - 1] == ' ') {
        --p.length;
        changed = true;
      }
    }
    if (changed) {
      if (int rc = Measure(p.style, out_->bytes.data() + p.offset, p.length, &p.extent)) return rc;
    }
  }
  size_t w = 0;
  HostArray<uint8_t> remeasure;
  for (size_t i = 0; i < runs.size(); ++i) {
    TextRun p = runs[i];
    if (p.length == 0) continue;
    if (w > 0) {
      TextRun& q = runs[w - 1];
      const bool join = q.line == p.line && !q.bullet && !p.bullet && !q.softHyphen &&
                        !(Justified() && p.wordStart) && q.offset + q.length == p.offset &&
                        p.x == q.x + q.extent.advance && SameStyle(q.style, p.style);
      if (join) {
        q.length += p.length;
        q.lineEnd = p.lineEnd;
        remeasure[w - 1] = 1;
        continue;
      }
    }
    runs[w++] = p;
    if (!remeasure.Push(0)) return kErrNoMemory;
  }
  runs.Resize(w);
  for (size_t i = 0; i < w; ++i) {
    TextRun& p = runs[i];
    if (!remeasure[i]) continue;
    if (int rc = Measure(p.style, out_->bytes.data() + p.offset, p.length, &p.extent)) return rc;
  }
  // Lines: their runs and widths; a line is the end of a paragraph when no
  // line with text follows directly below it.
  HostArray<LayoutLine>& lines = out_->lines;
  for (size_t i = 0; i < w; ++i) {
    LayoutLine& l = lines[static_cast<size_t>(runs[i].line)];
    if (l.runCount == 0) l.firstRun = static_cast<uint32_t>(i);
    ++l.runCount;
    runs[i].lineEnd = 0;
    l.width = runs[i].x + runs[i].extent.advance;
  }
  out_->width = 0;
  for (size_t k = 0; k < lines.size(); ++k) {
    LayoutLine& l = lines[k];
    if (l.runCount > 0) runs[l.firstRun + l.runCount - 1].lineEnd = 1;
    l.paragraphEnd = k + 1 == lines.size() || lines[k + 1].runCount == 0;
    if (l.width > out_->width) out_->width = l.width;
  }
  const LayoutLine& end = lines.back();
  out_->endX = end.runCount > 0 ? end.width : x_;
  out_->endY = end.y;
  out_->height = end.y + f_.height;
  out_->items = static_cast<int32_t>(items_.size());
  return 0;
}

}  // namespace

void DefaultListSettings(LayoutRequest* request) {
  for (int32_t k = 0; k < kListLevels; ++k) {
    request->list[kListBullet][k] = kBulletDash;
    request->list[kListIndent][k] = 4;
    request->list[kListOffset][k] = 0;
    request->list[kListSpacing][k] = 0;
  }
}

int LayOut(const LayoutRequest& request, const LayoutFont& font, Layout* out) {
  Builder b(request, font, out);
  return b.Run();
}

void AlignLayout(Layout* layout, int32_t align, int32_t boxWidth) {
  if (align != graphics::kRight && align != graphics::kCenter && align != graphics::kJustified)
    return;
  for (size_t k = 0; k < layout->lines.size(); ++k) {
    const LayoutLine& l = layout->lines[k];
    if (l.runCount == 0) continue;
    TextRun* runs = &layout->runs[l.firstRun];
    const int32_t free = boxWidth - l.width;
    if (free <= 0) continue;
    if (align != graphics::kJustified) {
      const int32_t shift = align == graphics::kRight ? free : free / 2;
      for (uint32_t i = 0; i < l.runCount; ++i) runs[i].x += shift;
      continue;
    }
    int32_t gaps = 0;
    for (uint32_t i = 1; i < l.runCount; ++i) gaps += runs[i].wordStart;
    if (gaps == 0) continue;
    if (l.paragraphEnd && free / gaps > 2 * layout->spaceWidth) continue;
    // Gap g (1-based) widens by free / gaps, and by one more while the
    // remainder lasts: one pixel per pass from the left.
    const int32_t each = free / gaps;
    const int32_t extra = free % gaps;
    int32_t gap = 0;
    for (uint32_t i = 1; i < l.runCount; ++i) {
      gap += runs[i].wordStart;
      runs[i].x += each * gap + (gap < extra ? gap : extra);
    }
  }
}

bool RunInFrame(const TextRun& run, int32_t frameMode, int32_t frame) {
  if (frame <= 1) return true;
  return frameMode == kFramemodeSingle ? run.item == frame - 2 : run.item < frame - 1;
}

int32_t FrameCount(const Layout& layout, int32_t frameMode) {
  return layout.items + (frameMode == kFramemodeSingle ? 1 : 0);
}

}  // namespace tzx::text
