// The fifteen pixel formats: sizes, depths, single pixels and whole rows.
// Row converters are specialised per format; callers pick the row function
// once per row, never per pixel.
#pragma once

#include <cstdint>

namespace tzx::graphics {

int FormatBytes(int format);      // 0 for unknown codes
int FormatDepthBits(int format);  // 0 for unknown codes, 32 for -1 (no output)

// One pixel in memory, as 0xAARRGGBB. Formats without alpha give alpha 0;
// 5- and 6-bit channels are shifted to the top of their byte; format 14 is a
// grey level.
uint32_t ReadColor(const uint8_t* pixel, int format);
// Stores an 0xAARRGGBB colour; format 14 takes the colour's grey level.
void WriteColor(uint8_t* pixel, int format, uint32_t argb);

// The stored value of a pixel: its bytes read as a little-endian word.
uint32_t ReadRaw(const uint8_t* pixel, int format);
void WriteRaw(uint8_t* pixel, int format, uint32_t raw);

// A stored value as a colour: 0x00RRGGBB, or 0xAARRGGBB for the 32-bit
// formats when keepAlpha is set.
uint32_t RawToColor(uint32_t raw, int format, bool keepAlpha);

void RowToArgb(const uint8_t* source, int format, uint32_t* target, int count);
void RowFromArgb(const uint32_t* source, uint8_t* target, int format, int count);
// Any format to any format; equal formats are copied.
void ConvertRow(const uint8_t* source, int sourceFormat, uint8_t* target, int targetFormat,
                int count);
void ConvertRect(const uint8_t* source, int sourceBytesPerRow, int sourceFormat, uint8_t* target,
                 int targetBytesPerRow, int targetFormat, int width, int height);

}  // namespace tzx::graphics
