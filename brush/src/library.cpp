// The frame of brush.tzx: its descriptor, tables and start-up steps.
#include "attributes.h"
#include "bindings.h"
#include "brush_records.h"
#include "commands.h"
#include "constants.h"
#include "interface.h"
#include "tzx/errors.h"
#include "tzx/frame.h"

namespace tzx::brush {

extern const BindingRow kBindings[];

namespace {

// A leading NUL, then the version text with its trailing blank.
constexpr char kDescriptor[] = "\0$VER: brush.tzx 11.0 (10.01.26) [Windows] [x86] ";

const CommandRow kCommands[] = {
    {"CreateBrush", CreateBrush},
    {"FreeBrush", FreeBrush},
    {"CopyBrush", CopyBrush},
    {"LoadBrush", LoadBrush},
    {"SaveBrush", SaveBrush},
    {"GetBrushLink", GetBrushLink},
    {"ConvertToBrush", ConvertToBrush},
    {"IsBrushEmpty", IsBrushEmpty},
    {"ScaleBrush", ScaleBrush},
    {"RotateBrush", RotateBrush},
    {"TransformBrush", TransformBrush},
    {"FlipBrush", FlipBrush},
    {"CropBrush", CropBrush},
    {"TrimBrush", TrimBrush},
    {"ExtendBrush", ExtendBrush},
    {"MixBrush", MixBrush},
    {"RasterizeBrush", RasterizeBrush},
    {"CreateTexturedBrush", CreateTexturedBrush},
    {"CreateGradientBrush", CreateGradientBrush},
    {"DisplayBrush", DisplayBrush},
    {"DisplayBrushPart", DisplayBrushPart},
    {"ReadBrushPixel", ReadBrushPixel},
    {"WriteBrushPixel", WriteBrushPixel},
    {"BrushToRGBArray", BrushToRGBArray},
    {"RGBArrayToBrush", RGBArrayToBrush},
    {"BrushToPenArray", BrushToPenArray},
    {"PenArrayToBrush", PenArrayToBrush},
    {"DeleteMask", DeleteMask},
    {"DeleteAlphaChannel", DeleteAlphaChannel},
    {"SetBrushTransparency", SetBrushTransparency},
    {"ChangeBrushTransparency", ChangeBrushTransparency},
    {"SetBrushPen", SetBrushPen},
    {"GetBrushPen", GetBrushPen},
    {"SetBrushTransparentPen", SetBrushTransparentPen},
    {"SetBrushDepth", SetBrushDepth},
    {"SetBrushPalette", SetBrushPalette},
    {"RemoveBrushPalette", RemoveBrushPalette},
    {"QuantizeBrush", QuantizeBrush},
    {"RemapBrush", RemapBrush},
    {"ReplaceColors", ReplaceColors},
    {"FloodFill", FloodFill},
    {"BlurBrush", BlurBrush},
    {"EmbossBrush", EmbossBrush},
    {"EdgeBrush", EdgeBrush},
    {"SharpenBrush", SharpenBrush},
    {"SolarizeBrush", SolarizeBrush},
    {"GammaBrush", GammaBrush},
    {"ContrastBrush", ContrastBrush},
    {"ModulateBrush", ModulateBrush},
    {"SepiaToneBrush", SepiaToneBrush},
    {"CharcoalBrush", CharcoalBrush},
    {"SwirlBrush", SwirlBrush},
    {"PixelateBrush", PixelateBrush},
    {"BrushToMonochrome", BrushToMonochrome},
    {"WaterRippleBrush", WaterRippleBrush},
    {"OilPaintBrush", OilPaintBrush},
    {"InvertBrush", InvertBrush},
    {"BrushToGray", BrushToGray},
    {"InvertMask", InvertMask},
    {"InvertAlphaChannel", InvertAlphaChannel},
    {"PerspectiveDistortBrush", PerspectiveDistortBrush},
    {"ArcDistortBrush", ArcDistortBrush},
    {"PolarDistortBrush", PolarDistortBrush},
    {"BarrelDistortBrush", BarrelDistortBrush},
    {"CreateShadowBrush", CreateShadowBrush},
    {"CreateBorderBrush", CreateBorderBrush},
    {"TintBrush", TintBrush},
    {"ReduceAlphaChannel", ReduceAlphaChannel},
    {nullptr, nullptr},
};

const ObjectTypeRow kObjectTypes[] = {
    {kTypeBrush, "Brushes", &gBrushList, BrushAttribute},
    {0, nullptr, nullptr, nullptr},
};

void Close(lua_State* L) {
  FreeAllBrushes(L);
}

const LibraryDefinition kDefinition = {
    .name = "brush",
    .descriptor = kDescriptor,
    .commands = kCommands,
    .constants = kConstants,
    .bindings = kBindings,
    .interface = &kInterface,
    .requiresGraphics = true,
    .setUp = nullptr,
    .finishSetUp = nullptr,
    .objectTypes = kObjectTypes,
    .close = Close,
};

}  // namespace
}  // namespace tzx::brush

const tzx::LibraryDefinition& tzx::ThisLibrary() {
  return tzx::brush::kDefinition;
}
