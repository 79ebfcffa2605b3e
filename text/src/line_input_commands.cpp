// InKeyStr: a line typed on the current display, echoed at the print cursor
// with the current font and style. Each typed character is a small text
// layer of the display (the layers library) at its place in the line; the
// layers after the caret move when a character comes or goes. When the input
// ends the echo layers go, which shows what was under them again, and the
// line is printed at its start through the print path; the cursor goes to
// the next line.
#include <cstring>

#include "bindings.h"
#include "cursor.h"
#include "font_record.h"
#include "line_input.h"
#include "print.h"
#include "print_glue.h"
#include "style_measure.h"
#include "text_objects.h"
#include "tzx/errors.h"
#include "tzx/graphics.h"
#include "tzx/graphics_constants.h"
#include "tzx/siblings.h"
#include "tzx/text_constants.h"

// After the fonts' TextExtent record: the command of that name hides it, and
// this file names the record as "struct TextExtent".
#include "commands.h"

namespace tzx::text {

namespace {

bool gInputActive = false;

// The refusal of an output that is not a plain display.
int OutputRefusal(const graphics::OutputRecord* output) {
  switch (output->kind) {
    case graphics::kOutputDisplay:
      return 0;
    case graphics::kOutputBgPic:
      return kErrOutputBgPic;
    case graphics::kOutputMask:
      return kErrOutputMask;
    case graphics::kOutputAlpha:
      return kErrOutputAlpha;
    default:
      return kErrOutputBrush;
  }
}

// The echo of one character: its layer (serial 0 when the character has no
// ink) and how far it moves the pen.
struct Echo {
  int32_t serial;
  int32_t advance;
};

// The input's state; the echo layers and the blocks go on every path out of
// the command.
struct Session {
  LineInput* line = nullptr;
  char* text = nullptr;        // kInputBufferBytes
  Echo* echo = nullptr;        // kInputBufferBytes, parallel to line->chars
  LayerMove* moves = nullptr;  // kInputBufferBytes
  ObjectId* ids = nullptr;     // kInputBufferBytes
  graphics::OutputRecord* output = nullptr;
  void* display = nullptr;
  ObjectId displayId;
  int32_t x = 0, y = 0;
  int32_t serials = 0;
  bool password = false;

  // Echo layers are named by a serial and this session, which no script
  // identifier can be.
  ObjectId LayerId(int32_t serial) const { return ObjectId{serial, const_cast<Session*>(this)}; }
  // The display is still the one the input began on (script code run while
  // waiting may have freed it).
  bool DisplayAlive() const {
    display::DisplayRecord* d = nullptr;
    return gBound.display->FindDisplay(&displayId, &d) == 0 && d == display;
  }
  int RemoveEcho(lua_State* L) {
    if (!line || !echo || !DisplayAlive()) return 0;
    if (!ids) return 0;
    int n = 0;
    for (int i = 0; i < line->count; ++i) {
      if (echo[i].serial) ids[n++] = LayerId(echo[i].serial);
      echo[i].serial = 0;
    }
    return n ? gBound.layers->removeLayers(L, display, ids, n) : 0;
  }
  ~Session() {
    RemoveEcho(nullptr);
    HostFree(ids);
    HostFree(moves);
    HostFree(echo);
    HostFree(text);
    HostFree(line);
    gInputActive = false;
  }
};

// Where the pen stands before character i.
int32_t PenAt(const Session& s, int i) {
  int32_t x = s.x;
  for (int k = 0; k < i; ++k) x += s.echo[k].advance;
  return x;
}

// Moves the echo of characters from..count-1 by dx.
int ShiftFrom(lua_State* L, Session* s, int from, int32_t dx) {
  int n = 0;
  for (int i = from; i < s->line->count; ++i) {
    if (!s->echo[i].serial) continue;
    const ObjectId id = s->LayerId(s->echo[i].serial);
    graphics::Rect box;
    if (!gBound.layers->layerBox(s->display, &id, &box)) continue;
    s->moves[n++] = LayerMove{id, box.x + dx, box.y};
  }
  return n ? gBound.layers->moveLayers(L, s->display, s->moves, n) : 0;
}

// Character i came: the echo after it makes room, and its own layer is
// drawn at the pen.
int EchoInserted(lua_State* L, Session* s, int i) {
  LineInput& line = *s->line;
  LineInput one;
  one.utf8 = line.utf8;
  one.chars[0] = s->password ? '*' : line.chars[i];
  one.count = 1;
  char bytes[8];
  LayoutRequest r;
  if (int rc = StartRequest(&r, s->output, false)) return rc;
  r.text = bytes;
  r.length = EncodeLine(one, false, bytes);
  r.formatTags = false;
  r.encoding = line.utf8 ? 1 : 0;
  struct TextExtent extent;
  if (int rc = MeasureInStyle(r.style, r.text, r.length, r.encoding, 0, &extent)) return rc;
  std::memmove(s->echo + i + 1, s->echo + i, (line.count - 1 - i) * sizeof(Echo));
  s->echo[i] = Echo{0, extent.width};
  if (int rc = ShiftFrom(L, s, i + 1, extent.width)) return rc;
  ObjectPlanes planes;
  if (int rc = RenderPlain(r, &planes)) return rc;
  if (!planes.color || planes.width < 1 || planes.height < 1) {
    FreeObjectPlanes(&planes);
    return 0;
  }
  const int32_t serial = ++s->serials;
  LayerRequest q{};
  q.type = graphics::kDrawTextOut;
  q.id = s->LayerId(serial);
  q.x = PenAt(*s, i) + planes.adjustX;
  q.y = s->y + planes.adjustY;
  q.width = planes.width;
  q.height = planes.height;
  q.color = planes.color;
  q.alpha = planes.alpha;
  const int rc = gBound.layers->insertLayer(L, s->display, &q);
  // The layers library has the planes unless it refused them.
  planes.color = q.color;
  planes.alpha = q.alpha;
  FreeObjectPlanes(&planes);
  if (rc == 0 || gBound.layers->findLayer(s->display, &q.id)) {
    s->echo[i].serial = serial;
  }
  return rc;
}

// Character i went: its layer goes and the echo after it closes up.
int EchoRemoved(lua_State* L, Session* s, int i, int count) {
  const Echo gone = s->echo[i];
  std::memmove(s->echo + i, s->echo + i + 1, (count - 1 - i) * sizeof(Echo));
  if (gone.serial) {
    const ObjectId id = s->LayerId(gone.serial);
    if (int rc = gBound.layers->removeLayers(L, s->display, &id, 1)) return rc;
  }
  return ShiftFrom(L, s, i, -gone.advance);
}

// The echo follows what a key or character did to the line.
int FollowLine(lua_State* L, Session* s, int oldCount, int oldCaret) {
  const LineInput& line = *s->line;
  if (line.count == oldCount + 1) return EchoInserted(L, s, line.caret - 1);
  if (line.count == oldCount - 1) {
    // Backspace takes the character before the caret, delete the one at it.
    return EchoRemoved(L, s, line.caret < oldCaret ? oldCaret - 1 : oldCaret, oldCount);
  }
  return 0;
}

// One character typed (or pasted) with its echo.
InputResult Type(lua_State* L, Session* s, uint32_t c, int* rc) {
  const int count = s->line->count, caret = s->line->caret;
  const InputResult r = TypeCharacter(s->line, c);
  if (r == InputResult::kChanged) *rc = FollowLine(L, s, count, caret);
  return r;
}

// Ctrl+V: the clipboard's characters one by one, until one ends the input.
InputResult Paste(lua_State* L, Session* s, int* rc) {
  auto* clipboard = gBound.clipboard;
  char* text = clipboard && clipboard->getText ? clipboard->getText() : nullptr;
  if (!text) {
    auto* system = gBound.system;
    if (system && system->noText) system->noText(0);
    return InputResult::kNone;
  }
  InputResult result = InputResult::kNone;
  for (const char* p = text; *p && result != InputResult::kEnded && *rc == 0;) {
    uint32_t c = static_cast<uint8_t>(*p);
    int bytes = 1;
    if (s->line->utf8) {
      bytes = Host().utf8->decode(p, &c);
      if (bytes < 1) bytes = 1;
    }
    p += bytes;
    const InputResult r = Type(L, s, c, rc);
    if (r != InputResult::kNone) result = r;
  }
  HostFree(text);
  return result;
}

// The input itself, from the first key to the printed line; the typed
// text (or "" when cancelled) goes to `result`.
int RunInput(lua_State* L, const EventSibling* event, graphics::OutputRecord* output, int filter,
             int maxChars, bool password, char* result, size_t* length) {
  const TextStyle& style = CurrentStyle();
  gInputActive = true;
  Session s;
  s.line = AllocRecord<LineInput>();
  s.text = static_cast<char*>(HostAlloc(kInputBufferBytes, false));
  s.echo = static_cast<Echo*>(HostAlloc(kInputBufferBytes * sizeof(Echo), false));
  s.moves = static_cast<LayerMove*>(HostAlloc(kInputBufferBytes * sizeof(LayerMove), false));
  s.ids = static_cast<ObjectId*>(HostAlloc(kInputBufferBytes * sizeof(ObjectId), false));
  if (!s.line || !s.text || !s.echo || !s.moves || !s.ids) return kErrNoMemory;
  s.line->filter = filter;
  s.line->maxChars = maxChars;
  s.line->utf8 = DefaultEncoding() == 1;
  s.output = output;
  s.display = output->owner;
  s.displayId = output->object;
  s.password = password;
  PrepareCursor(output);
  graphics::PrintCursor& cursor = output->cursor;
  s.x = cursor.cursorX;
  s.y = cursor.cursorY;
  const ObjectId display = output->object;

  InputResult ended = InputResult::kNone;
  while (ended == InputResult::kNone) {
    int32_t code = 0;
    intptr_t a = 0, c = 0;
    if (!event->takeKeyEvent(&display, &code, &a, &c)) {
      if (int rc = event->waitKeyEvent(L)) return rc;
      // Script code run meanwhile may have freed the display, and its output
      // with it: the display is looked up by its id before the output is used.
      if (!s.DisplayAlive() || *gBound.graphics->currentOutput != output) return kErrNoOutput;
      continue;
    }
    int rc = 0;
    InputResult r;
    if (code == kEventCharacter) {
      r = Type(L, &s, static_cast<uint32_t>(c), &rc);
    } else {
      const int count = s.line->count, caret = s.line->caret;
      r = PressKey(s.line, static_cast<int>(c), a != 0);
      if (r == InputResult::kChanged) rc = FollowLine(L, &s, count, caret);
    }
    if (r == InputResult::kPaste) r = Paste(L, &s, &rc);
    if (rc) return rc;
    if (r == InputResult::kEnded || r == InputResult::kCancelled) ended = r;
  }
  if (int rc = s.RemoveEcho(L)) return rc;
  if (ended == InputResult::kCancelled) {
    *length = 0;
    return 0;
  }
  // The line is printed where it was typed; the cursor goes to the next line.
  LayoutRequest r;
  if (int rc = StartRequest(&r, output, false)) return rc;
  r.text = s.text;
  r.length = EncodeLine(*s.line, password, s.text);
  r.formatTags = false;
  cursor.cursorX = s.x;
  cursor.cursorY = s.y;
  if (int rc = PrintAtCursor(L, output, &r)) return rc;
  cursor.cursorX = cursor.leftMargin;
  cursor.cursorY += style.font->height;
  *length = EncodeLine(*s.line, false, result);
  return 0;
}

}  // namespace

// InKeyStr(filter[, maxchars[, password[, caret]]])
int InKeyStr(lua_State* L) {
  L = Args().beginCommand(L, 1, 4, 0, 0);
  const int filter = Lua().checkinteger(L, 1);
  const int maxChars = Lua().optinteger(L, 2, 0);
  const bool password = Lua().optinteger(L, 3, 0) != 0;
  const bool caret = Lua().optinteger(L, 4, 0) != 0;
  if (filter < kAll || filter > kHexnumerical || maxChars < 0) return kErrRange;
  if (!gBound.display) return ErrorWithString(kErrSiblingAbsent, "display");
  const LayersSibling* layers = gBound.layers;
  if (!layers || !layers->insertLayer || !layers->removeLayers || !layers->moveLayers ||
      !layers->layerBox || !layers->findLayer) {
    return ErrorWithString(kErrSiblingAbsent, "layers");
  }
  auto* event = gBound.event;
  if (!event || !event->takeKeyEvent || !event->waitKeyEvent) {
    return ErrorWithString(kErrSiblingAbsent, "event");
  }
  if (caret && !gBound.draw) return ErrorWithString(kErrSiblingAbsent, "draw");
  graphics::OutputRecord* output = *gBound.graphics->currentOutput;
  if (!output) return kErrNoOutput;
  if (int rc = OutputRefusal(output)) return rc;
  if (gInputActive) return kErrInputActive;
  // The echo must reach the window as it is typed: not inside a refresh
  // block, nor into a back buffer that waits for a flip.
  auto* display = static_cast<display::DisplayRecord*>(output->owner);
  if (gBound.display->GetCursorAndScreen(display, display::kQueryBusy) == 1) {
    return kErrDisplayBusy;
  }
  if (!CurrentStyle().font) return kErrFontNotFound;

  // Pushing the result may run script code: the input's state is gone by
  // then, and the result waits here.
  char result[kInputBufferBytes];
  size_t length = 0;
  if (int rc = RunInput(L, event, output, filter, maxChars, password, result, &length)) return rc;
  Lua().pushlstring(L, result, length);
  return 1;
}

}  // namespace tzx::text
