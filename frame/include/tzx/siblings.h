// The slots of the host's own sibling libraries that the five libraries call,
// one header per sibling under tzx/siblings/. Siblings that only some
// libraries call (anim, bgpic, layers, sprite, vectorpath, video) have their
// headers there too and are included where they are used.
#pragma once

#include "tzx/siblings/async.h"
#include "tzx/siblings/clipboard.h"
#include "tzx/siblings/event.h"
#include "tzx/siblings/filters.h"
#include "tzx/siblings/imageio.h"
#include "tzx/siblings/object.h"
#include "tzx/siblings/offscreen.h"
#include "tzx/siblings/palette.h"
#include "tzx/siblings/time.h"
