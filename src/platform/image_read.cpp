#include "platform/image_read.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/files.h"
#include "platform/image_codecs.h"

namespace orv {

namespace {

// Largest picture file read into memory.
constexpr int64_t kMaxFileBytes = 64LL * 1024 * 1024;

uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// A channel described by a bit mask of a 16- or 32-bit pixel.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint32_t max = 0;

  explicit Channel(uint32_t m = 0) : mask(m) {
    if (mask == 0) return;
    while (((mask >> shift) & 1u) == 0) ++shift;
    max = mask >> shift;
  }
  uint8_t value(uint32_t pixel) const {
    if (max == 0) return 0;
    return static_cast<uint8_t>((((pixel & mask) >> shift) * 255u + max / 2) / max);
  }
};

// What a device-independent bitmap header says about its pixels.
struct DibLayout {
  int width = 0, height = 0;
  bool topDown = false;
  int bpp = 0;
  uint32_t compression = 0;
  size_t headerSize = 0;
  size_t paletteOffset = 0, paletteEntries = 0, paletteEntrySize = 4;
  Channel red, green, blue, alpha;
  bool hasMasks = false;
};

constexpr uint32_t kBiRgb = 0, kBiBitfields = 3, kBiAlphaBitfields = 6;

// Reads the header of a DIB (the part of a BMP file after its file header, or
// an icon entry). iconHeight: the stored height holds the colour and mask rows.
bool readDibHeader(const uint8_t* dib, size_t size, bool iconHeight, DibLayout& d) {
  if (size < 12) return false;
  d.headerSize = le32(dib);
  int64_t height = 0;
  if (d.headerSize == 12) {
    d.width = le16(dib + 4);
    height = static_cast<int16_t>(le16(dib + 6));
    d.bpp = le16(dib + 10);
    d.paletteEntrySize = 3;
  } else {
    if (d.headerSize < 40 || d.headerSize > size) return false;
    d.width = static_cast<int32_t>(le32(dib + 4));
    height = static_cast<int32_t>(le32(dib + 8));
    d.bpp = le16(dib + 14);
    d.compression = le32(dib + 16);
    d.paletteEntries = le32(dib + 32);
  }
  if (iconHeight) height /= 2;
  d.topDown = height < 0;
  if (height < 0) height = -height;
  d.height = static_cast<int>(std::min<int64_t>(height, image::kMaxSide + 1));
  if (!image::acceptableSize(d.width, d.height)) return false;
  return d.bpp == 1 || d.bpp == 4 || d.bpp == 8 || d.bpp == 16 || d.bpp == 24 || d.bpp == 32;
}

// Colour masks of a 16- or 32-bit DIB; the defaults are 5-5-5 and 8-8-8.
bool readMasks(const uint8_t* dib, size_t size, DibLayout& d) {
  if (d.compression == kBiBitfields || d.compression == kBiAlphaBitfields) {
    if (d.bpp != 16 && d.bpp != 32) return false;
    size_t count = d.compression == kBiAlphaBitfields || d.headerSize >= 56 ? 4 : 3;
    // Masks follow a 40-byte header; larger headers hold them inside.
    size_t at = 40;
    if (at + count * 4 > size) return false;
    d.red = Channel(le32(dib + at));
    d.green = Channel(le32(dib + at + 4));
    d.blue = Channel(le32(dib + at + 8));
    if (count == 4) d.alpha = Channel(le32(dib + at + 12));
    d.hasMasks = true;
    if (d.headerSize == 40) d.paletteOffset = 40 + count * 4;
    return true;
  }
  if (d.compression != kBiRgb) return false;  // run-length and embedded formats are not read
  if (d.bpp == 16) {
    d.red = Channel(0x7C00), d.green = Channel(0x03E0), d.blue = Channel(0x001F);
    d.hasMasks = true;
  }
  return true;
}

// Rows of a DIB into out. alphaUsed: set when a 32-bit pixel had non-zero alpha.
bool readDibPixels(const uint8_t* dib, size_t size, size_t pixelOffset, const DibLayout& d, Picture& out,
                   bool& alphaUsed) {
  if (d.paletteOffset == 0) return false;
  size_t colours = d.bpp <= 8 ? (d.paletteEntries ? d.paletteEntries : (size_t{1} << d.bpp)) : 0;
  colours = std::min<size_t>(colours, 256);
  if (d.paletteOffset + colours * d.paletteEntrySize > size) return false;
  size_t stride = ((static_cast<size_t>(d.width) * d.bpp + 31) / 32) * 4;
  if (pixelOffset > size || stride * d.height > size - pixelOffset) return false;
  image::allocate(out, d.width, d.height);
  const uint8_t* palette = dib + d.paletteOffset;
  for (int y = 0; y < d.height; ++y) {
    const uint8_t* row = dib + pixelOffset + stride * (d.topDown ? y : d.height - 1 - y);
    uint8_t* px = out.bgra.data() + static_cast<size_t>(y) * d.width * 4;
    for (int x = 0; x < d.width; ++x, px += 4) {
      if (d.bpp <= 8) {
        int perByte = 8 / d.bpp;
        uint8_t byte = row[x / perByte];
        size_t index = (byte >> (8 - d.bpp * (x % perByte + 1))) & ((1u << d.bpp) - 1);
        if (index >= colours) index = 0;
        const uint8_t* c = palette + index * d.paletteEntrySize;
        px[0] = c[0], px[1] = c[1], px[2] = c[2], px[3] = 255;
      } else if (d.bpp == 24) {
        px[0] = row[x * 3], px[1] = row[x * 3 + 1], px[2] = row[x * 3 + 2], px[3] = 255;
      } else {
        uint32_t v = d.bpp == 16 ? le16(row + x * 2) : le32(row + x * 4);
        if (d.bpp == 32 && !d.hasMasks) {
          px[0] = row[x * 4], px[1] = row[x * 4 + 1], px[2] = row[x * 4 + 2], px[3] = row[x * 4 + 3];
        } else {
          px[0] = d.blue.value(v), px[1] = d.green.value(v), px[2] = d.red.value(v);
          px[3] = d.alpha.mask ? d.alpha.value(v) : 255;
        }
        if (d.bpp == 32 && px[3] != 0) alphaUsed = true;
      }
    }
  }
  return true;
}

// A 32-bit picture whose fourth bytes are all zero carries no alpha: opaque.
void opaqueWhenNoAlpha(Picture& out, bool alphaUsed, int bpp) {
  if (bpp != 32 || alphaUsed) return;
  for (size_t i = 3; i < out.bgra.size(); i += 4) out.bgra[i] = 255;
}

bool decodeBmp(const uint8_t* data, size_t size, Picture& out) {
  if (size < 14 + 12) return false;
  size_t pixelOffset = le32(data + 10);
  if (pixelOffset < 14) return false;
  const uint8_t* dib = data + 14;
  size_t dibSize = size - 14;
  DibLayout d;
  if (!readDibHeader(dib, dibSize, false, d) || !readMasks(dib, dibSize, d)) return false;
  if (d.paletteOffset == 0) d.paletteOffset = d.headerSize;
  bool alphaUsed = false;
  if (!readDibPixels(dib, dibSize, pixelOffset - 14, d, out, alphaUsed)) return false;
  opaqueWhenNoAlpha(out, alphaUsed, d.bpp);
  return true;
}

// An icon entry stored as a DIB: colour rows, then a 1-bit mask (1 = transparent).
bool decodeIconDib(const uint8_t* dib, size_t size, Picture& out) {
  DibLayout d;
  if (!readDibHeader(dib, size, true, d) || !readMasks(dib, size, d)) return false;
  if (d.paletteOffset == 0) d.paletteOffset = d.headerSize;
  size_t colours =
      d.bpp <= 8 ? (d.paletteEntries ? std::min<size_t>(d.paletteEntries, 256) : (size_t{1} << d.bpp)) : 0;
  size_t pixelOffset = d.paletteOffset + colours * d.paletteEntrySize;
  bool alphaUsed = false;
  if (!readDibPixels(dib, size, pixelOffset, d, out, alphaUsed)) return false;
  if (d.bpp == 32 && alphaUsed) return true;
  size_t stride = ((static_cast<size_t>(d.width) * d.bpp + 31) / 32) * 4;
  size_t maskOffset = pixelOffset + stride * d.height;
  size_t maskStride = ((static_cast<size_t>(d.width) + 31) / 32) * 4;
  bool hasMask = maskOffset <= size && maskStride * d.height <= size - maskOffset;
  for (int y = 0; y < d.height; ++y) {
    const uint8_t* row = dib + maskOffset + maskStride * (d.height - 1 - y);
    for (int x = 0; x < d.width; ++x) {
      bool transparent = hasMask && ((row[x / 8] >> (7 - x % 8)) & 1);
      out.bgra[(static_cast<size_t>(y) * d.width + x) * 4 + 3] = transparent ? 0 : 255;
    }
  }
  return true;
}

struct IconEntry {
  int64_t area = 0;
  int bpp = 0;
  size_t offset = 0, bytes = 0;
};

// Icon (.ico) and cursor (.cur) files: the largest entry, the deepest colours
// first; an entry that does not decode gives way to the next best.
bool decodeIco(const uint8_t* data, size_t size, Picture& out) {
  size_t count = le16(data + 4);
  if (count == 0 || 6 + count * 16 > size) return false;
  std::vector<IconEntry> entries;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* e = data + 6 + i * 16;
    IconEntry entry;
    entry.area = static_cast<int64_t>(e[0] ? e[0] : 256) * (e[1] ? e[1] : 256);
    entry.bpp = le16(e + 6);
    entry.bytes = le32(e + 8);
    entry.offset = le32(e + 12);
    if (entry.offset < size && entry.bytes <= size - entry.offset) entries.push_back(entry);
  }
  std::stable_sort(entries.begin(), entries.end(), [](const IconEntry& a, const IconEntry& b) {
    return a.area != b.area ? a.area > b.area : a.bpp > b.bpp;
  });
  for (const IconEntry& e : entries) {
    const uint8_t* p = data + e.offset;
    bool png = e.bytes >= 8 && std::memcmp(p, "\x89PNG", 4) == 0;
    if (png ? readPng(p, e.bytes, out) : decodeIconDib(p, e.bytes, out)) return true;
  }
  out = Picture();
  return false;
}

bool startsWith(const uint8_t* data, size_t size, const char* magic, size_t n) {
  return size >= n && std::memcmp(data, magic, n) == 0;
}

}  // namespace

namespace image {

void allocate(Picture& out, int width, int height) {
  out.width = width;
  out.height = height;
  out.bgra.assign(static_cast<size_t>(width) * height * 4, 0);
}

}  // namespace image

bool decodePicture(const uint8_t* data, size_t size, Picture& out) {
  out = Picture();
  bool ok = false;
  if (startsWith(data, size, "BM", 2))
    ok = decodeBmp(data, size, out);
  else if (startsWith(data, size, "\0\0\1\0", 4) || startsWith(data, size, "\0\0\2\0", 4))
    ok = decodeIco(data, size, out);
  else if (startsWith(data, size, "\x89PNG\r\n\x1a\n", 8))
    ok = readPng(data, size, out);
  else if (startsWith(data, size, "\xFF\xD8\xFF", 3))
    ok = image::readJpeg(data, size, out);
  else if (startsWith(data, size, "\0\0\0\x0CjP  \r\n\x87\n", 12))
    ok = image::readJpeg2000(data, size, true, out);
  else if (startsWith(data, size, "\xFF\x4F\xFF\x51", 4))
    ok = image::readJpeg2000(data, size, false, out);
  if (!ok || !out.valid()) {
    out = Picture();
    return false;
  }
  return true;
}

bool readPicture(const std::string& path, Picture& out) {
  out = Picture();
  if (!fs::fileExists(path)) return false;
  int64_t size = fs::fileSize(path);
  if (size <= 0 || size > kMaxFileBytes) return false;
  std::optional<std::string> bytes = fs::readFile(path);
  if (!bytes) return false;
  return decodePicture(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size(), out);
}

}  // namespace orv
