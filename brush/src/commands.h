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

// Geometry
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

// Image effects and distortions
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
