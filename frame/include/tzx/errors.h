// Host error codes that commands and slots return, and the numbers of the
// catalogue messages that the libraries ask the host to format. The texts live
// in the host's catalogue; a library only returns the code and, where the text
// takes one, hands over the string or number argument just before returning.
#pragma once

namespace tzx {

enum ErrorCode : int {
  kErrNoMemory = 1000,
  kErrAborted = 1003,  // stopped by a callback, the abort flag or the event loop
  kErrScreenMode = 1004,
  kErrWrite = 1005,            // fewer bytes written than asked
  kErrRead = 1009,             // read failure, or the data ended early
  kErrMissingPosition = 1014,  // a colour stop without its position
  kErrQuotedTagValue = 1024,
  kErrUnknownAutoId = 1041,
  kErrVolumeQuery = 1043,  // also: current directory unavailable
  kErrOpenRead = 1045,     // string argument: the file name
  kErrOpenWrite = 1052,    // string argument: the file name
  kErrRange = 1055,        // any invalid argument value, option combination or state
  kErrOutputBgPic = 1056,  // command refused while a background picture is the output
  kErrOpenFont = 1064,     // string argument: message kMsgFontNameSize, formatted
  kErrTooMany = 1066,      // a list exceeds its fixed number of entries
  kErrNoLayers = 1078,
  kErrUnknownAttribute = 1080,
  kErrUnknownLayer = 1081,
  kErrOutputBrush = 1082,
  kErrMakeDir = 1084,  // string argument: the directory
  kErrFrameRange = 1094,
  kErrTagNotClosed = 1108,
  kErrTableArgument = 1140,  // number argument: the argument index
  kErrFileReadOnly = 1141,
  kErrFileWriteOnly = 1142,
  kErrDeleteFile = 1143,
  kErrExamine = 1144,  // string argument: the path
  kErrOutputMask = 1147,
  kErrBrushIsOutput = 1149,
  kErrLockBitmap = 1152,
  kErrNegativePosition = 1154,
  kErrBrushTooSmall = 1156,  // brush smaller than a font's character grid
  kErrDoubleBufferActive = 1162,
  kErrOutputAlpha = 1167,
  kErrUnknownBrush = 1174,       // number argument
  kErrUnknownTextObject = 1175,  // number argument
  kErrUnknownFile = 1179,        // number argument
  kErrNotNumber = 1189,          // string argument: the table key
  kErrTooManyArgs = 1193,
  kErrOutside = 1217,  // position at or beyond the object's size
  kErrSizeTooSmall = 1218,
  kErrAlphaWithTransparency = 1223,
  kErrDoubleBufferState = 1224,  // display state that excludes double buffering
  kErrOutputBrushMode = 1229,    // brush output in a mode that excludes the command
  kErrBgPicBusy = 1230,
  kErrNoDoubleBuffer = 1244,
  kErrLengthExceeds = 1245,
  kErrNotCached = 1246,
  kErrNotString = 1247,
  kErrUnknownTag = 1251,
  kErrUnexpectedClose = 1252,  // "]" outside a tag or a closing tag with nothing open
  kErrTagNeedsValue = 1253,
  kErrNoAntialias = 1255,
  kErrOpenDir = 1286,  // string argument: the path
  kErrThread = 1287,
  kErrNotOnPlatform = 1288,
  kErrTimer = 1297,
  kErrObjectBusy = 1314,
  kErrUnknownDirectory = 1318,  // number argument
  kErrFontNotFound = 1332,
  kErrUnknownFont = 1334,  // number argument
  kErrBadFontFile = 1336,
  kErrPositionConstant = 1337,
  kErrOutputBrushState = 1339,  // brush output while the display's state excludes it
  kErrUnknownDisplay = 1344,    // number argument
  kErrDisplayIsCurrent = 1346,
  kErrDisplayClosed = 1347,
  kErrNegativeInsertPos = 1370,
  kErrNameTooLong = 1373,
  kErrGroupIsName = 1374,
  kErrDisplayHeld = 1380,  // a sibling library refuses to let the display go
  kErrFontEngine = 1386,
  kErrNotAllowed = 1388,  // operation not possible on this kind of brush
  kErrVectorLayerTransform = 1389,
  kErrUnknownFilter = 1444,      // string argument: the filter name
  kErrFilterWithoutName = 1445,  // string argument: the entry index
  kErrFieldNotTable = 1446,      // string argument: the key
  kErrArrayTooShort = 1448,
  kErrDisplayInUse = 1455,
  kErrHardwareBrush = 1497,
  kErrFreeBusyDisplay = 1504,
  kErrDisplayBusy = 1511,
  kErrAllocBitmap = 1522,
  kErrHwDoubleBufferState = 1523,
  kErrCloseDisplay = 1525,  // busy, or the only open display of the current output
  kErrNoWindow = 1526,
  kErrForeignHardwareBrush = 1527,
  kErrSeek = 1529,
  kErrNoMonitorDevice = 1555,  // number argument: the monitor
  kErrUnknownMonitor = 1557,
  kErrDisplaySize = 1558,
  kErrAllocAlpha = 1564,
  kErrAllocMask = 1565,
  kErrNoInfo = 1571,           // string argument: the path
  kErrNoProcessHandle = 1579,  // started, but cannot be waited for; callers treat it as success
  kErrZeroOrOne = 1584,        // encodings and other 0-or-1 arguments
  kErrUtf8 = 1585,
  kErrNotTable = 1598,
  kErrMove = 1600,
  kErrPluginUnsupported = 1625,  // the serving adapter or plug-in lacks the operation
  kErrRewind = 1626,
  kErrMonitorDirectory = 1627,
  kErrChangeDir = 1630,    // string argument: the path
  kErrNotFunction = 1631,  // string argument: the key
  kErrInputActive = 1638,
  kErrUnsupportedDepth = 1643,  // string argument: the file name
  kErrNoPalette = 1644,
  kErrPaletteBrush = 1645,
  kErrPenRange = 1646,
  kErrDepthExceeds = 1647,  // pens beyond what the output's palette holds
  kErrAllocIndexBitmap = 1648,
  kErrDepthRange = 1650,
  kErrPaletteHwDoubleBuffer = 1655,
  kErrPenTagInRgb = 1658,
  kErrColorTagInPalette = 1659,
  kErrConvert = 1670,
  kErrImageObject = 1675,
  kErrSiblingAbsent = 1685,  // string argument: the missing library
  kErrNoGraphics = 1686,     // string argument: the library that cannot start
  kErrNoOutput = 1687,
  // Raised by the host itself.
  kErrScript = 1900,            // string argument: the interpreter's message
  kErrTooFewArguments = 1901,   // string: the command; number: the minimum
  kErrTooManyArguments = 1902,  // string: the command; number: the maximum
  kErrShuttingDown = 1903,      // string argument: the command refused
  kErrNulInName = 1904,         // a file or path name holds a NUL byte
  kErrNoEventSource = 1905,     // WaitEvent with nothing that could raise one
  kErrDamagedPicture = 1906,    // picture data that breaks its format, or a variant not read
  kErrPictureTooLarge = 1907,   // a picture's declared size is beyond what is decoded
};

// Every enumerator above, in ascending order, so that tables can be checked.
inline constexpr int kAllErrorCodes[] = {
    kErrNoMemory,
    kErrAborted,
    kErrScreenMode,
    kErrWrite,
    kErrRead,
    kErrMissingPosition,
    kErrQuotedTagValue,
    kErrUnknownAutoId,
    kErrVolumeQuery,
    kErrOpenRead,
    kErrOpenWrite,
    kErrRange,
    kErrOutputBgPic,
    kErrOpenFont,
    kErrTooMany,
    kErrNoLayers,
    kErrUnknownAttribute,
    kErrUnknownLayer,
    kErrOutputBrush,
    kErrMakeDir,
    kErrFrameRange,
    kErrTagNotClosed,
    kErrTableArgument,
    kErrFileReadOnly,
    kErrFileWriteOnly,
    kErrDeleteFile,
    kErrExamine,
    kErrOutputMask,
    kErrBrushIsOutput,
    kErrLockBitmap,
    kErrNegativePosition,
    kErrBrushTooSmall,
    kErrDoubleBufferActive,
    kErrOutputAlpha,
    kErrUnknownBrush,
    kErrUnknownTextObject,
    kErrUnknownFile,
    kErrNotNumber,
    kErrTooManyArgs,
    kErrOutside,
    kErrSizeTooSmall,
    kErrAlphaWithTransparency,
    kErrDoubleBufferState,
    kErrOutputBrushMode,
    kErrBgPicBusy,
    kErrNoDoubleBuffer,
    kErrLengthExceeds,
    kErrNotCached,
    kErrNotString,
    kErrUnknownTag,
    kErrUnexpectedClose,
    kErrTagNeedsValue,
    kErrNoAntialias,
    kErrOpenDir,
    kErrThread,
    kErrNotOnPlatform,
    kErrTimer,
    kErrObjectBusy,
    kErrUnknownDirectory,
    kErrFontNotFound,
    kErrUnknownFont,
    kErrBadFontFile,
    kErrPositionConstant,
    kErrOutputBrushState,
    kErrUnknownDisplay,
    kErrDisplayIsCurrent,
    kErrDisplayClosed,
    kErrNegativeInsertPos,
    kErrNameTooLong,
    kErrGroupIsName,
    kErrDisplayHeld,
    kErrFontEngine,
    kErrNotAllowed,
    kErrVectorLayerTransform,
    kErrUnknownFilter,
    kErrFilterWithoutName,
    kErrFieldNotTable,
    kErrArrayTooShort,
    kErrDisplayInUse,
    kErrHardwareBrush,
    kErrFreeBusyDisplay,
    kErrDisplayBusy,
    kErrAllocBitmap,
    kErrHwDoubleBufferState,
    kErrCloseDisplay,
    kErrNoWindow,
    kErrForeignHardwareBrush,
    kErrSeek,
    kErrNoMonitorDevice,
    kErrUnknownMonitor,
    kErrDisplaySize,
    kErrAllocAlpha,
    kErrAllocMask,
    kErrNoInfo,
    kErrNoProcessHandle,
    kErrZeroOrOne,
    kErrUtf8,
    kErrNotTable,
    kErrMove,
    kErrPluginUnsupported,
    kErrRewind,
    kErrMonitorDirectory,
    kErrChangeDir,
    kErrNotFunction,
    kErrInputActive,
    kErrUnsupportedDepth,
    kErrNoPalette,
    kErrPaletteBrush,
    kErrPenRange,
    kErrDepthExceeds,
    kErrAllocIndexBitmap,
    kErrDepthRange,
    kErrPaletteHwDoubleBuffer,
    kErrPenTagInRgb,
    kErrColorTagInPalette,
    kErrConvert,
    kErrImageObject,
    kErrSiblingAbsent,
    kErrNoGraphics,
    kErrNoOutput,
    kErrScript,
    kErrTooFewArguments,
    kErrTooManyArguments,
    kErrShuttingDown,
    kErrNulInName,
    kErrNoEventSource,
    kErrDamagedPicture,
    kErrPictureTooLarge,
};

// Catalogue messages below 1000 that are not errors of their own.
// Font name (string) and size (number); the text lib formats it and hands the
// result to kErrOpenFont as its string argument.
inline constexpr int kMsgFontNameSize = 116;
// Trace line written before a file is opened; string argument: the file name.
inline constexpr int kMsgOpeningFile = 286;

inline constexpr int kAllMessageNumbers[] = {kMsgFontNameSize, kMsgOpeningFile};

}  // namespace tzx
