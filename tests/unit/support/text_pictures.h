// Rendering tests compare with reference pictures in tests/images/text
// (binary PPM). Set TZX_UPDATE_IMAGES=1 to write them anew after a
// deliberate change.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/src/bitmaps.h"
#include "tzx/graphics_records.h"

namespace tzx::text {

// Compares with the reference picture: at most `tolerance` per channel.
inline void ExpectPicture(const graphics::BitmapHandle* b, const std::string& name,
                          int tolerance = 0) {
  const std::string path = std::string(TZX_SOURCE_DIR) + "/tests/images/text/" + name + ".ppm";
  std::vector<uint8_t> rgb;
  for (int y = 0; y < b->height; ++y)
    for (int x = 0; x < b->width; ++x) {
      const uint32_t p = graphics::ReadPixel(b, x, y, 0);
      rgb.push_back(p >> 16 & 0xFF);
      rgb.push_back(p >> 8 & 0xFF);
      rgb.push_back(p & 0xFF);
    }
  const std::string header =
      "P6\n" + std::to_string(b->width) + " " + std::to_string(b->height) + "\n255\n";
  if (std::getenv("TZX_UPDATE_IMAGES")) {
    std::ofstream out(path, std::ios::binary);
    out << header;
    out.write(reinterpret_cast<const char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
    return;
  }
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << path;
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(data.size(), header.size() + rgb.size()) << path;
  ASSERT_EQ(data.substr(0, header.size()), header);
  int worst = 0;
  for (size_t i = 0; i < rgb.size(); ++i)
    worst = std::max(worst, std::abs(static_cast<uint8_t>(data[header.size() + i]) - rgb[i]));
  EXPECT_LE(worst, tolerance) << name;
}

}  // namespace tzx::text
