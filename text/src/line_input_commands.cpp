// InKeyStr: a line typed on the current display, echoed at the print cursor
// with the current font and style. The echo is drawn over a saved copy of
// the line's area, which comes back when the input ends; the line is then
// printed at its start and the cursor goes to the next line.
#include "bindings.h"
#include "commands.h"
#include "cursor.h"
#include "font_record.h"
#include "line_input.h"
#include "print.h"
#include "print_glue.h"
#include "tzx/errors.h"
#include "tzx/graphics.h"
#include "tzx/graphics_constants.h"
#include "tzx/siblings.h"
#include "tzx/text_constants.h"

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

// The input's state; freed on every path out of the command.
struct Session {
  LineInput* line = nullptr;
  char* text = nullptr;  // kInputBufferBytes
  graphics::BitmapHandle* saved = nullptr;
  int32_t x = 0, y = 0, width = 0, height = 0;
  ~Session() {
    if (saved) gBound.graphics->FreeBitmap(saved);
    HostFree(text);
    HostFree(line);
    gInputActive = false;
  }
};

// The area under the echo as it was before the input.
int Restore(lua_State* L, const Session& s) {
  if (!s.saved) return 0;
  graphics::DrawObjectArgs a{};
  a.type = graphics::kDrawBitmap;
  a.bitmap = s.saved;
  a.x = s.x;
  a.y = s.y;
  return gBound.graphics->DrawObject(L, &a);
}

int DrawLine(lua_State* L, const char* text, size_t length, int32_t x, int32_t y) {
  int rc = 0;
  graphics::OutputRecord* output = PrintOutput(&rc);
  if (!output) return rc;
  LayoutRequest r;
  if ((rc = StartRequest(&r, output, false))) return rc;
  r.text = text;
  r.length = length;
  r.formatTags = false;
  r.encoding = DefaultEncoding();
  Layout layout;
  return DrawText(L, r, x, y, false, nullptr, &layout);
}

int ShowEcho(lua_State* L, Session* s, bool password) {
  if (int rc = Restore(L, *s)) return rc;
  const size_t n = EncodeLine(*s->line, password, s->text);
  return n ? DrawLine(L, s->text, n, s->x, s->y) : 0;
}

// Ctrl+V: the clipboard's characters one by one, until one ends the input.
InputResult Paste(LineInput* line) {
  auto* clipboard = gBound.clipboard;
  char* text = clipboard && clipboard->getText ? clipboard->getText() : nullptr;
  if (!text) {
    auto* system = gBound.system;
    if (system && system->noText) system->noText(0);
    return InputResult::kNone;
  }
  InputResult result = InputResult::kNone;
  for (const char* p = text; *p && result != InputResult::kEnded;) {
    uint32_t c = static_cast<uint8_t>(*p);
    int bytes = 1;
    if (line->utf8) {
      bytes = Host().utf8->decode(p, &c);
      if (bytes < 1) bytes = 1;
    }
    p += bytes;
    const InputResult r = TypeCharacter(line, c);
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
  if (!s.line || !s.text) return kErrNoMemory;
  s.line->filter = filter;
  s.line->maxChars = maxChars;
  s.line->utf8 = DefaultEncoding() == 1;
  PrepareCursor(output);
  graphics::PrintCursor& cursor = output->cursor;
  s.x = cursor.cursorX;
  s.y = cursor.cursorY;
  // The echo's line, with room below for shadows and edges.
  s.width = output->width - s.x;
  s.height = style.font->height;
  if (style.flags & graphics::kShadow) s.height += style.shadowSize;
  if (style.flags & graphics::kEdge) s.height += 2 * style.borderSize;
  if (s.y + s.height > output->height) s.height = output->height - s.y;
  if (s.x >= 0 && s.y >= 0 && s.width > 0 && s.height > 0) {
    if (int rc = gBound.graphics->CreateBitmapFromTarget(s.x, s.y, s.width, s.height, &s.saved))
      return rc;
  }
  const ObjectId display = output->object;

  InputResult ended = InputResult::kNone;
  while (ended == InputResult::kNone) {
    int32_t code = 0;
    intptr_t a = 0, c = 0;
    if (!event->takeKeyEvent(&display, &code, &a, &c)) {
      if (int rc = event->waitKeyEvent(L)) {
        Restore(L, s);
        return rc;
      }
      // Messages handled meanwhile may have ended the display.
      if (*gBound.graphics->currentOutput != output || !(output->object == display))
        return kErrNoOutput;
      continue;
    }
    InputResult r = code == kEventCharacter ? TypeCharacter(s.line, static_cast<uint32_t>(c))
                                            : PressKey(s.line, static_cast<int>(c), a != 0);
    if (r == InputResult::kPaste) r = Paste(s.line);
    if (r == InputResult::kChanged || r == InputResult::kEnded) {
      if (int rc = ShowEcho(L, &s, password)) return rc;
    }
    if (r == InputResult::kEnded || r == InputResult::kCancelled) ended = r;
  }
  if (int rc = Restore(L, s)) return rc;
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
  auto* event = gBound.event;
  if (!event || !event->takeKeyEvent || !event->waitKeyEvent) {
    return ErrorWithString(kErrSiblingAbsent, "event");
  }
  if (caret && !gBound.draw) return ErrorWithString(kErrSiblingAbsent, "draw");
  graphics::OutputRecord* output = *gBound.graphics->currentOutput;
  if (!output) return kErrNoOutput;
  if (int rc = OutputRefusal(output)) return rc;
  if (gInputActive) return kErrInputActive;
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
