// Gradient records read from script arguments and option tables, and written
// back into tables. Errors are host codes; nothing is allocated while a
// reader runs, so the host's argument errors may leave from any of them.
#pragma once

#include "tzx/graphics_records.h"
#include "tzx/types.h"

namespace tzx::graphics {

// The gradient arguments of SetFillStyle from argument `index` on: the angle
// (LINEAR and CONICAL; types 0 and 1 are LINEAR at 0 and 90 degrees), then an
// option table read by ReadGradientTable. The record's type must be set; its
// other fields start from InitGradientRecord.
int ReadGradientOptions(lua_State* L, int index, GradientRecord* gradient);
// Centre, balance and border (RADIAL and CONICAL only), then the colour stops
// {colour, position, ...} from index 0 of the table at `table`. *given (may
// be null) is set when stops were read.
int ReadGradientTable(lua_State* L, int table, GradientRecord* gradient, const char* centerXKey,
                      const char* centerYKey, const char* balanceKey, const char* borderKey,
                      const char* colorsKey, int* given);
// The "gradient..." keys of an option table (display backgrounds); with
// `initialise` the record is first reset with InitGradientRecord(initFlag).
int ParseGradientTags(lua_State* L, int table, GradientRecord* gradient, int initFlag,
                      int initialise);
// A recorded gradient from the arguments from `index` on: type, centre x and
// y, balance and border (millionths), the stop count, then colour and
// position (millionths) of each stop.
int ReadGradientArgs(lua_State* L, int index, GradientRecord* gradient);

// Writes the gradient into the table on the stack top under prefix + "style",
// "startcolor", "endcolor", "angle", "centerx", "centery", "balance", "border",
// and with colour stops prefix + "colors" {colour, position, ...} from index 0.
void PushGradientTable(lua_State* L, const char* prefix, const GradientRecord* gradient);

}  // namespace tzx::graphics
