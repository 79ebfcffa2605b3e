// The script commands of brush.tzx, in the order of the command table.
#pragma once

struct lua_State;

namespace tzx::brush {

// Objects and lifecycle
int CreateBrush(lua_State* L);
int FreeBrush(lua_State* L);
int CopyBrush(lua_State* L);
int LoadBrush(lua_State* L);
int SaveBrush(lua_State* L);
int GetBrushLink(lua_State* L);
int ConvertToBrush(lua_State* L);
int IsBrushEmpty(lua_State* L);

// Drawing
int DisplayBrush(lua_State* L);
int DisplayBrushPart(lua_State* L);

// Pixels and arrays
int ReadBrushPixel(lua_State* L);
int WriteBrushPixel(lua_State* L);
int BrushToRGBArray(lua_State* L);
int RGBArrayToBrush(lua_State* L);
int BrushToPenArray(lua_State* L);
int PenArrayToBrush(lua_State* L);

// Transparency planes
int DeleteMask(lua_State* L);
int DeleteAlphaChannel(lua_State* L);
int SetBrushTransparency(lua_State* L);
int ChangeBrushTransparency(lua_State* L);

// Palettes and pens
int SetBrushPen(lua_State* L);
int GetBrushPen(lua_State* L);
int SetBrushTransparentPen(lua_State* L);
int SetBrushDepth(lua_State* L);
int SetBrushPalette(lua_State* L);
int RemoveBrushPalette(lua_State* L);

// Colour quantisation
int QuantizeBrush(lua_State* L);
int RemapBrush(lua_State* L);

// Colour replacement and flood fill
int ReplaceColors(lua_State* L);
int FloodFill(lua_State* L);

}  // namespace tzx::brush
