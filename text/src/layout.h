// The layout pass: a string with its options becomes positioned runs of one
// style each, with word wrap, tabs, soft hyphens, lists and alignment. It
// takes no interpreter state: fonts are reached only through the measuring
// callback, so the algorithm is tested with a fake font.
#pragma once

#include <cstddef>
#include <cstdint>

#include "format_tags.h"
#include "layout_array.h"
#include "style.h"

namespace tzx::text {

inline constexpr int kMaxTabs = 32;
inline constexpr int kListLevels = 32;

// Advance and ink width (the larger of the advance and the ink's right edge
// + 1, growths of shadow and edge included) of bytes in a style.
struct RunMetrics {
  int32_t advance = 0;
  int32_t inkWidth = 0;
};

struct LayoutFont {
  void* context = nullptr;
  // 0 or an error code. Char spacing is added after every character; a
  // character whose advance would turn negative does not move the pen back.
  int (*measure)(void* context, const TextStyle& style, const char* bytes, size_t length,
                 int32_t charSpacing, RunMetrics* out) = nullptr;
  int32_t height = 0;       // the font's height: one line
  bool bitmapKind = false;  // bitmap and brush fonts choose other bullet symbols
};

enum ListSetting { kListBullet, kListIndent, kListOffset, kListSpacing, kListSettings };

struct LayoutRequest {
  TextStyle style;
  const char* text = nullptr;
  size_t length = 0;
  int32_t align = -90000;  // LEFT, CENTER, RIGHT or JUSTIFIED
  int32_t wrapWidth = 0;   // 0: no wrap
  int32_t encoding = 0;    // 0 8-bit, 1 UTF-8
  int32_t lineSpacing = 0;
  int32_t charSpacing = 0;
  bool formatTags = true;
  bool paletteMode = false;
  bool listMode = false;
  bool simpleList = false;
  int32_t frameMode = 0;  // FRAMEMODE_FULL 0, FRAMEMODE_SINGLE 1
  int32_t frame = 1;
  int32_t tabs[kMaxTabs] = {};
  int32_t tabCount = 0;
  int32_t list[kListSettings][kListLevels] = {};
  const int32_t* wrapTable = nullptr;  // word indices to break after, ascending
  int32_t wrapTableCount = 0;
  // Print: the first line starts at this indent and tab stops count from the
  // left margin.
  int32_t firstIndent = 0;
  int32_t leftMargin = 0;
  TagConstants constants;
};

// The list settings' defaults: dashes, indent 4, offset 0, spacing 0.
void DefaultListSettings(LayoutRequest* request);

struct TextRun {
  int32_t x = 0;
  int32_t y = 0;        // top of its line
  uint32_t offset = 0;  // bytes in Layout::bytes
  uint32_t length = 0;
  TextStyle style;
  RunMetrics extent;
  int32_t line = 0;
  int32_t item = 0;  // the text line (list item) it belongs to
  uint8_t wordStart = 0;
  uint8_t softHyphen = 0;
  uint8_t lineEnd = 0;
  uint8_t bullet = 0;
};

struct LayoutLine {
  int32_t y = 0;
  uint32_t firstRun = 0;
  uint32_t runCount = 0;
  int32_t width = 0;  // last run's x + advance
  int32_t item = 0;
  bool paragraphEnd = false;  // no line follows directly below
};

struct Layout {
  HostArray<char> bytes;
  HostArray<TextRun> runs;
  HostArray<LayoutLine> lines;
  int32_t width = 0;   // the widest line
  int32_t height = 0;  // from the top of the first line to the bottom of the last
  int32_t items = 0;   // text lines: frames of list text count them
  int32_t spaceWidth = 0;
  // Where a print cursor goes on: the end of the last line and its top.
  int32_t endX = 0;
  int32_t endY = 0;
};

// Lays the text out; 0 or the failure code. Runs stand at x from the text's
// left edge (the first line's indent included) and are left-aligned;
// AlignLayout moves them.
int LayOut(const LayoutRequest& request, const LayoutFont& font, Layout* out);

// Moves the runs of every line for the alignment inside a box of `boxWidth`
// (the wrap width when wrapping, else the widest line).
void AlignLayout(Layout* layout, int32_t align, int32_t boxWidth);

// Whether a run is drawn in the frame of a list text; 1055/1094 checks are
// LayOut's.
bool RunInFrame(const TextRun& run, int32_t frameMode, int32_t frame);

// The number of frames of a laid-out list text.
int32_t FrameCount(const Layout& layout, int32_t frameMode);

}  // namespace tzx::text
