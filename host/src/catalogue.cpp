#include "catalogue.h"

#include <algorithm>
#include <string_view>

#include "tzx/errors.h"

namespace tzx::host {
namespace {

constexpr CatalogueEntry kCatalogue[] = {
    {kMsgFontNameSize, "\"%s\" in size %d"},
    {kMsgOpeningFile, "Opening file \"%s\"..."},
    {kErrNoMemory, "Out of memory!"},
    {kErrAborted, "Operation aborted!"},
    {kErrScreenMode, "Cannot change the screen mode!"},
    {kErrWrite, "Error writing data: not all bytes were written!"},
    {kErrRead, "Error reading data: the source ended early or could not be read!"},
    {kErrMissingPosition, "Colour stop without a position!"},
    {kErrQuotedTagValue, "Format tag values must not be quoted!"},
    {kErrUnknownAutoId, "Unknown automatic identifier!"},
    {kErrVolumeQuery, "Cannot query the volume or the current directory!"},
    {kErrOpenRead, "Cannot open file \"%s\" for reading!"},
    {kErrOpenWrite, "Cannot open file \"%s\" for writing!"},
    {kErrRange, "Value out of range or invalid argument!"},
    {kErrOutputBgPic, "Not possible while a background picture is the output device!"},
    {kErrOpenFont, "Cannot open font %s!"},
    {kErrTooMany, "Too many entries!"},
    {kErrNoLayers, "Layers are not enabled!"},
    {kErrUnknownAttribute, "Unknown attribute!"},
    {kErrUnknownLayer, "Layer not found on the current display!"},
    {kErrOutputBrush, "Not possible while a brush is the output device!"},
    {kErrMakeDir, "Cannot create directory \"%s\"!"},
    {kErrFrameRange, "Frame number out of range!"},
    {kErrTagNotClosed, "Format tag is not closed with \"]\"!"},
    {kErrTableArgument, "Table expected as argument %d!"},
    {kErrFileReadOnly, "File was opened for reading only!"},
    {kErrFileWriteOnly, "File was opened for writing only!"},
    {kErrDeleteFile, "Cannot delete file!"},
    {kErrExamine, "Cannot examine \"%s\"!"},
    {kErrOutputMask, "Not possible while a mask is the output device!"},
    {kErrBrushIsOutput, "Brush is the current output device and cannot be changed!"},
    {kErrLockBitmap, "Cannot lock bitmap for pixel access!"},
    {kErrNegativePosition, "Position must not be negative!"},
    {kErrBrushTooSmall, "Brush is too small for the character grid!"},
    {kErrDoubleBufferActive, "Double buffering is already active!"},
    {kErrOutputAlpha, "Not possible while an alpha channel is the output device!"},
    {kErrUnknownBrush, "Brush %d not found!"},
    {kErrUnknownTextObject, "Text object %d not found!"},
    {kErrUnknownFile, "File handle %d not found!"},
    {kErrNotNumber, "Table \"%s\" holds a value that is not a number!"},
    {kErrTooManyArgs, "Too many arguments!"},
    {kErrOutside, "Position is outside the object!"},
    {kErrSizeTooSmall, "Width and height must be at least 1!"},
    {kErrAlphaWithTransparency, "Alpha channel and transparent colour cannot be combined!"},
    {kErrDoubleBufferState, "Double buffering is not possible in the display's current state!"},
    {kErrOutputBrushMode, "Not possible in the current brush output mode!"},
    {kErrBgPicBusy, "Background picture is busy!"},
    {kErrNoDoubleBuffer, "Double buffering is not active!"},
    {kErrLengthExceeds, "Length is larger than the string!"},
    {kErrNotCached, "Image is not in the cache!"},
    {kErrNotString, "String expected!"},
    {kErrUnknownTag, "Unknown format tag!"},
    {kErrUnexpectedClose, "Unexpected \"]\" or closing tag!"},
    {kErrTagNeedsValue, "Format tag needs a value!"},
    {kErrNoAntialias, "Font does not support anti-aliasing!"},
    {kErrOpenDir, "Cannot open directory \"%s\"!"},
    {kErrThread, "Cannot create thread!"},
    {kErrNotOnPlatform, "This feature is not available on this platform!"},
    {kErrTimer, "Cannot start timer!"},
    {kErrObjectBusy, "Object is in use and cannot be changed!"},
    {kErrUnknownDirectory, "Directory handle %d not found!"},
    {kErrFontNotFound, "Font not found!"},
    {kErrUnknownFont, "Font %d not found!"},
    {kErrBadFontFile, "Invalid font file!"},
    {kErrPositionConstant, "Position constants are not allowed here!"},
    {kErrOutputBrushState,
     "Not possible while a brush is the output device in the display's current state!"},
    {kErrUnknownDisplay, "Display %d not found!"},
    {kErrDisplayIsCurrent, "Cannot free the current display!"},
    {kErrDisplayClosed, "Display is not open!"},
    {kErrNegativeInsertPos, "Insert position must not be negative!"},
    {kErrNameTooLong, "Name is too long!"},
    {kErrGroupIsName, "Group name must differ from the name!"},
    {kErrDisplayHeld, "Display is still needed by another library!"},
    {kErrFontEngine, "Cannot initialise the font engine!"},
    {kErrNotAllowed, "Operation not allowed for this brush!"},
    {kErrVectorLayerTransform, "Transformed vector brushes cannot be drawn as layers!"},
    {kErrUnknownFilter, "Unknown filter \"%s\"!"},
    {kErrFilterWithoutName, "Filter entry %s has no name!"},
    {kErrFieldNotTable, "Field \"%s\" must be a table!"},
    {kErrArrayTooShort, "Table has too few entries!"},
    {kErrDisplayInUse, "Display is in use!"},
    {kErrHardwareBrush, "Operation not available for hardware brushes!"},
    {kErrFreeBusyDisplay, "Cannot free a display while it is busy!"},
    {kErrDisplayBusy, "Display is busy!"},
    {kErrAllocBitmap, "Cannot allocate bitmap!"},
    {kErrHwDoubleBufferState,
     "Hardware double buffering is not possible in the display's current state!"},
    {kErrCloseDisplay, "Display cannot be closed now!"},
    {kErrNoWindow, "Display has no window yet!"},
    {kErrForeignHardwareBrush, "Hardware brush belongs to another display!"},
    {kErrSeek, "Seek failed!"},
    {kErrNoMonitorDevice, "No device for monitor %d!"},
    {kErrUnknownMonitor, "Unknown monitor!"},
    {kErrDisplaySize, "Invalid display size!"},
    {kErrAllocAlpha, "Cannot allocate alpha channel!"},
    {kErrAllocMask, "Cannot allocate mask!"},
    {kErrNoInfo, "No information available for \"%s\"!"},
    {kErrNoProcessHandle, "Program was started but cannot be waited for!"},
    {kErrZeroOrOne, "Value must be 0 or 1!"},
    {kErrUtf8, "Invalid UTF-8 sequence!"},
    {kErrNotTable, "Table expected!"},
    {kErrMove, "Cannot move file!"},
    {kErrPluginUnsupported, "Operation not supported by this adapter or plug-in!"},
    {kErrRewind, "Cannot rewind directory!"},
    {kErrMonitorDirectory, "Cannot start directory monitor!"},
    {kErrChangeDir, "Cannot change to directory \"%s\"!"},
    {kErrNotFunction, "Field \"%s\" must be a function!"},
    {kErrInputActive, "Another keyboard input is already active!"},
    {kErrUnsupportedDepth, "Unsupported colour depth in \"%s\"!"},
    {kErrNoPalette, "Brush has no palette!"},
    {kErrPaletteBrush, "Operation not available for palette brushes!"},
    {kErrPenRange, "Pen or value out of range!"},
    {kErrDepthExceeds, "Colour depth exceeds that of the output's palette!"},
    {kErrAllocIndexBitmap, "Cannot allocate index bitmap!"},
    {kErrDepthRange, "Depth must be between 1 and 8!"},
    {kErrPaletteHwDoubleBuffer, "Hardware double buffering is not available for palette displays!"},
    {kErrPenTagInRgb, "Pen tags need palette mode!"},
    {kErrColorTagInPalette, "Colour tags are not allowed in palette mode!"},
    {kErrConvert, "Text conversion failed!"},
    {kErrImageObject, "Cannot create image object!"},
    {kErrSiblingAbsent, "Library \"%s\" is not available!"},
    {kErrNoGraphics, "Library \"%s\" cannot start without the graphics library!"},
    {kErrNoOutput, "No current output device!"},
    {kErrScript, "%s"},
    {kErrTooFewArguments, "Not enough arguments to %s (at least %d expected)!"},
    {kErrTooManyArguments, "Too many arguments to %s (at most %d expected)!"},
    {kErrShuttingDown, "%s cannot run: the libraries are already closed!"},
    {kErrNulInName, "File name contains a NUL byte!"},
    {kErrNoEventSource, "No open display or running program could raise an event to wait for!"},
    {kErrDamagedPicture,
     "The picture is damaged or uses a variant of its format that cannot be read!"},
    {kErrPictureTooLarge, "The picture is too large to be read or written!"},
};

// A misplaced row would make lookups miss it, so refuse to build.
constexpr bool SortedAndUnique() {
  for (size_t i = 1; i < std::size(kCatalogue); ++i) {
    if (kCatalogue[i - 1].code >= kCatalogue[i].code) return false;
  }
  return true;
}
static_assert(SortedAndUnique(), "catalogue rows must be sorted by code, each code once");

}  // namespace

std::span<const CatalogueEntry> CatalogueEntries() {
  return kCatalogue;
}

const char* CatalogueText(int code) {
  const auto* it = std::lower_bound(std::begin(kCatalogue), std::end(kCatalogue), code,
                                    [](const CatalogueEntry& e, int c) { return e.code < c; });
  return it != std::end(kCatalogue) && it->code == code ? it->text : nullptr;
}

std::string FormatCatalogue(int code, const char* stringArg, long numberArg) {
  const char* text = CatalogueText(code);
  if (text == nullptr) return "Unknown error";
  std::string_view rest(text);
  std::string out;
  out.reserve(rest.size() + 32);
  // Walk the text ourselves so that no caller-supplied text ever reaches a
  // printf-style formatter.
  for (size_t pct; (pct = rest.find('%')) != std::string_view::npos;) {
    out.append(rest.substr(0, pct));
    const char kind = pct + 1 < rest.size() ? rest[pct + 1] : '\0';
    if (kind == 's') {
      out.append(stringArg != nullptr ? stringArg : "");
    } else if (kind == 'd') {
      out.append(std::to_string(numberArg));
    } else {
      out.push_back('%');
    }
    rest.remove_prefix(pct + (kind == 's' || kind == 'd' || kind == '%' ? 2 : 1));
  }
  out.append(rest);
  return out;
}

}  // namespace tzx::host
