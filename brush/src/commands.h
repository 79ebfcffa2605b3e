// The script commands of brush.tzx, by file.
#pragma once

struct lua_State;

namespace tzx::brush {

// brush_commands.cpp
int CreateBrush(lua_State* L);
int FreeBrush(lua_State* L);
int CopyBrush(lua_State* L);
int IsBrushEmpty(lua_State* L);
int DisplayBrush(lua_State* L);
int DisplayBrushPart(lua_State* L);

// load_save_commands.cpp
int LoadBrush(lua_State* L);
int SaveBrush(lua_State* L);

// convert_commands.cpp
int GetBrushLink(lua_State* L);
int ConvertToBrush(lua_State* L);

// geometry_commands.cpp
int ScaleBrush(lua_State* L);
int RotateBrush(lua_State* L);
int TransformBrush(lua_State* L);
int FlipBrush(lua_State* L);
int CropBrush(lua_State* L);
int TrimBrush(lua_State* L);
int ExtendBrush(lua_State* L);
int MixBrush(lua_State* L);
int RasterizeBrush(lua_State* L);
int CreateTexturedBrush(lua_State* L);
int CreateGradientBrush(lua_State* L);

// pixel_commands.cpp
int ReadBrushPixel(lua_State* L);
int WriteBrushPixel(lua_State* L);
int ReplaceColors(lua_State* L);
int FloodFill(lua_State* L);

// array_commands.cpp
int BrushToRGBArray(lua_State* L);
int RGBArrayToBrush(lua_State* L);
int BrushToPenArray(lua_State* L);
int PenArrayToBrush(lua_State* L);

// mask_commands.cpp
int DeleteMask(lua_State* L);
int DeleteAlphaChannel(lua_State* L);
int SetBrushTransparency(lua_State* L);
int ChangeBrushTransparency(lua_State* L);

// palette_commands.cpp
int SetBrushPen(lua_State* L);
int GetBrushPen(lua_State* L);
int SetBrushTransparentPen(lua_State* L);
int SetBrushDepth(lua_State* L);
int SetBrushPalette(lua_State* L);
int RemoveBrushPalette(lua_State* L);

// quantize_commands.cpp
int QuantizeBrush(lua_State* L);
int RemapBrush(lua_State* L);

// filter_commands.cpp
int BlurBrush(lua_State* L);
int EmbossBrush(lua_State* L);
int EdgeBrush(lua_State* L);
int SharpenBrush(lua_State* L);
int SolarizeBrush(lua_State* L);
int GammaBrush(lua_State* L);
int ContrastBrush(lua_State* L);
int ModulateBrush(lua_State* L);
int SepiaToneBrush(lua_State* L);
int CharcoalBrush(lua_State* L);
int SwirlBrush(lua_State* L);
int PixelateBrush(lua_State* L);
int BrushToMonochrome(lua_State* L);
int WaterRippleBrush(lua_State* L);
int OilPaintBrush(lua_State* L);
int InvertBrush(lua_State* L);
int BrushToGray(lua_State* L);
int InvertMask(lua_State* L);
int InvertAlphaChannel(lua_State* L);
int PerspectiveDistortBrush(lua_State* L);
int ArcDistortBrush(lua_State* L);
int PolarDistortBrush(lua_State* L);
int BarrelDistortBrush(lua_State* L);
int CreateShadowBrush(lua_State* L);
int CreateBorderBrush(lua_State* L);
int TintBrush(lua_State* L);
int ReduceAlphaChannel(lua_State* L);

}  // namespace tzx::brush
