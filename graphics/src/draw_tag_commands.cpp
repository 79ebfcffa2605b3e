#include "commands.h"
#include "draw_record.h"
#include "draw_tags.h"
#include "graphics_state.h"
#include "tzx/frame.h"

namespace tzx::graphics {

int SetDrawTagsDefault(lua_State* L) {
  L = Args().beginCommand(L, 1, 1, 0, 0);
  Lua().checktable(L, 1);
  // Parsed into a copy: only a parse that succeeds replaces the defaults.
  TransformRecord transform;
  TagRecord tags;
  GetTransformDefaults(&transform);
  GetDrawTagDefaults(&tags);
  if (int rc = ParseDrawTags(L, 1, 0, 0, 0, 0, 0, &transform, &tags, kParseNoSize)) return rc;
  tags.name[0] = 0;
  SharedState().transformDefaults = transform;
  SharedState().drawTagDefaults = tags;
  return 0;
}

}  // namespace tzx::graphics
