// Small font files built by the tests themselves: Amiga contents and size
// files (monochrome and colour), sfnt faces with a name table, collections
// and resource forks.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tzx::text::testing {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, size_t at, uint32_t v) {
  if (b.size() < at + 2) b.resize(at + 2);
  b[at] = static_cast<uint8_t>(v >> 8);
  b[at + 1] = static_cast<uint8_t>(v);
}
inline void Put32(Bytes& b, size_t at, uint32_t v) {
  Put16(b, at, v >> 16);
  Put16(b, at + 2, v & 0xFFFF);
}
inline uint32_t Be32At(const Bytes& b, size_t at) {
  return static_cast<uint32_t>(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}

// A contents file: id, then (name, YSize) entries.
inline Bytes ContentsFile(int id, const std::vector<std::pair<std::string, int>>& entries) {
  Bytes b;
  Put16(b, 0, id);
  Put16(b, 2, static_cast<uint32_t>(entries.size()));
  for (size_t i = 0; i < entries.size(); ++i) {
    const size_t at = 4 + i * 260;
    b.resize(at + 260);
    for (size_t c = 0; c < entries[i].first.size() && c < 255; ++c) b[at + c] = entries[i].first[c];
    Put16(b, at + 256, entries[i].second);
  }
  return b;
}

// A size file. Glyph rows are strings of '#' and '.'; the last glyph is the
// one for codes outside loChar..hiChar.
struct AmigaSizeFile {
  int ySize = 8;
  int xSize = 8;
  int baseline = 6;
  int loChar = 'A';
  int hiChar = 'A';
  std::vector<std::vector<std::string>> glyphs;
  std::vector<int> spacing;  // empty: none
  std::vector<int> kerning;
  bool color = false;
  int depth = 1;
  int planePick = 1;
  int modulo = 0;                // 0: as the glyphs need
  std::vector<Bytes> planes;     // colour fonts: modulo × ySize bytes each
  std::vector<uint32_t> colors;  // 0x0RGB

  Bytes Build() const {
    Bytes b(200, 0);
    Put16(b, 50, 0x0F80);
    Put16(b, 110, ySize);
    b[112] = color ? 0x40 : 0;
    Put16(b, 114, xSize);
    Put16(b, 116, baseline);
    Put16(b, 118, 1);
    b[122] = static_cast<uint8_t>(loChar);
    b[123] = static_cast<uint8_t>(hiChar);
    std::vector<int> offsets;
    int bits = 0;
    for (const auto& g : glyphs) {
      offsets.push_back(bits);
      bits += g.empty() ? 0 : static_cast<int>(g[0].size());
    }
    const int mod = modulo ? modulo : (bits + 7) / 8;
    Put16(b, 128, mod);
    auto place = [&b](size_t bytes) {
      const size_t at = b.size();
      b.resize(at + bytes);
      return at;
    };
    const size_t loc = place(glyphs.size() * 4);
    Put32(b, 130, static_cast<uint32_t>(loc - 32));
    for (size_t i = 0; i < glyphs.size(); ++i) {
      const int w = glyphs[i].empty() ? 0 : static_cast<int>(glyphs[i][0].size());
      Put32(b, loc + i * 4, static_cast<uint32_t>(offsets[i]) << 16 | w);
    }
    auto table = [&](const std::vector<int>& values, size_t field) {
      if (values.empty()) return;
      const size_t at = place(values.size() * 2);
      Put32(b, field, static_cast<uint32_t>(at - 32));
      for (size_t i = 0; i < values.size(); ++i) Put16(b, at + i * 2, values[i] & 0xFFFF);
    };
    table(spacing, 134);
    table(kerning, 138);
    if (color) {
      b[144] = static_cast<uint8_t>(depth);
      b[148] = static_cast<uint8_t>(planePick);
      const size_t record = place(8);
      Put32(b, 150, static_cast<uint32_t>(record - 32));
      Put16(b, record + 2, static_cast<uint32_t>(colors.size()));
      const size_t colorTable = place(colors.size() * 2);
      Put32(b, record + 4, static_cast<uint32_t>(colorTable - 32));
      for (size_t i = 0; i < colors.size(); ++i) Put16(b, colorTable + i * 2, colors[i]);
      for (size_t k = 0; k < planes.size(); ++k) {
        const size_t at = place(planes[k].size());
        Put32(b, 154 + k * 4, static_cast<uint32_t>(at - 32));
        for (size_t i = 0; i < planes[k].size(); ++i) b[at + i] = planes[k][i];
      }
      return b;
    }
    const size_t strip = place(static_cast<size_t>(mod) * ySize);
    Put32(b, 124, static_cast<uint32_t>(strip - 32));
    for (size_t g = 0; g < glyphs.size(); ++g)
      for (int r = 0; r < ySize && r < static_cast<int>(glyphs[g].size()); ++r)
        for (size_t c = 0; c < glyphs[g][r].size(); ++c)
          if (glyphs[g][r][c] == '#') {
            const int bit = offsets[g] + static_cast<int>(c);
            b[strip + r * mod + bit / 8] |= static_cast<uint8_t>(0x80 >> (bit % 8));
          }
    return b;
  }
};

struct NameRecord {
  int platform, encoding, language, nameId;
  std::string text;
};

// An sfnt face with a "head" placeholder and a name table; table offsets
// count from `base`.
struct Sfnt {
  uint32_t version = 0x00010000;
  std::vector<NameRecord> names;

  Bytes Build(uint32_t base = 0) const {
    Bytes b;
    Put32(b, 0, version);
    Put16(b, 4, 2);
    b.resize(12 + 2 * 16);
    const char* tags[2] = {"head", "name"};
    for (int i = 0; i < 2; ++i)
      for (int c = 0; c < 4; ++c) b[12 + i * 16 + c] = tags[i][c];
    const size_t head = b.size();
    b.resize(head + 8);
    Put32(b, 12 + 8, static_cast<uint32_t>(base + head));
    Put32(b, 12 + 12, 8);
    const size_t table = b.size();
    Bytes strings;
    Bytes records;
    for (const NameRecord& n : names) {
      Bytes s;
      for (char c : n.text) {
        if (n.platform == 3) s.push_back(0);
        s.push_back(static_cast<uint8_t>(c));
      }
      const size_t at = records.size();
      records.resize(at + 12);
      Put16(records, at, n.platform);
      Put16(records, at + 2, n.encoding);
      Put16(records, at + 4, n.language);
      Put16(records, at + 6, n.nameId);
      Put16(records, at + 8, static_cast<uint32_t>(s.size()));
      Put16(records, at + 10, static_cast<uint32_t>(strings.size()));
      strings.insert(strings.end(), s.begin(), s.end());
    }
    b.resize(table + 6);
    Put16(b, table + 2, static_cast<uint32_t>(names.size()));
    Put16(b, table + 4, static_cast<uint32_t>(6 + records.size()));
    b.insert(b.end(), records.begin(), records.end());
    b.insert(b.end(), strings.begin(), strings.end());
    Put32(b, 12 + 16 + 8, static_cast<uint32_t>(base + table));
    Put32(b, 12 + 16 + 12, static_cast<uint32_t>(b.size() - table));
    return b;
  }
};

inline Bytes Collection(const std::vector<Sfnt>& faces) {
  Bytes b = {'t', 't', 'c', 'f'};
  Put32(b, 4, 0x00010000);
  Put32(b, 8, static_cast<uint32_t>(faces.size()));
  b.resize(12 + faces.size() * 4);
  for (size_t i = 0; i < faces.size(); ++i) {
    const uint32_t at = static_cast<uint32_t>(b.size());
    Put32(b, 12 + i * 4, at);
    const Bytes face = faces[i].Build(at);
    b.insert(b.end(), face.begin(), face.end());
  }
  return b;
}

inline Bytes ResourceFork(const std::vector<Sfnt>& faces) {
  Bytes b(256, 0);
  for (const Sfnt& f : faces) {
    const Bytes face = f.Build();
    const size_t at = b.size();
    Put32(b, at, static_cast<uint32_t>(face.size()));
    b.insert(b.end(), face.begin(), face.end());
  }
  return b;
}

}  // namespace tzx::text::testing
