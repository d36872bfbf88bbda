// Picture decoding: files of each format written here with the same libraries
// (or byte by byte for BMP and ICO), then read back; damaged files, folders
// and hostile sizes must fail cleanly.
#include <gtest/gtest.h>

#include <csetjmp>
#include <cstring>

#include <png.h>
#include <jpeglib.h>
#include <openjpeg.h>

#include "platform/files.h"
#include "platform/image_read.h"
#include "test_support.h"

namespace orv {

namespace {

using Bytes = std::string;

struct Rgba {
  uint8_t r, g, b, a;
};

// A 3 x 2 picture: red, green, blue / white, half-transparent grey, clear black.
const Rgba kSample[6] = {{255, 0, 0, 255},     {0, 255, 0, 255},     {0, 0, 255, 255},
                         {255, 255, 255, 255}, {128, 128, 128, 128}, {0, 0, 0, 0}};

void put16(Bytes& b, uint32_t v) { b += char(v & 0xFF), b += char((v >> 8) & 0xFF); }
void put32(Bytes& b, uint32_t v) { put16(b, v & 0xFFFF), put16(b, v >> 16); }

// A BITMAPINFOHEADER (40 bytes) for w x h (negative h: top-down).
Bytes infoHeader(int w, int h, int bpp, uint32_t compression, uint32_t colours = 0) {
  Bytes b;
  put32(b, 40), put32(b, uint32_t(w)), put32(b, uint32_t(h)), put16(b, 1), put16(b, bpp);
  put32(b, compression), put32(b, 0), put32(b, 2835), put32(b, 2835), put32(b, colours), put32(b, 0);
  return b;
}

Bytes withFileHeader(const Bytes& dib, size_t pixelsAt) {
  Bytes b = "BM";
  put32(b, uint32_t(14 + dib.size())), put32(b, 0), put32(b, uint32_t(14 + pixelsAt));
  return b + dib;
}

// 24-bit bottom-up rows, padded to four bytes.
Bytes bmp24() {
  Bytes dib = infoHeader(3, 2, 24, 0);
  for (int y = 1; y >= 0; --y) {
    for (int x = 0; x < 3; ++x) {
      const Rgba& p = kSample[y * 3 + x];
      dib += char(p.b), dib += char(p.g), dib += char(p.r);
    }
    dib += Bytes(3, '\0');
  }
  return withFileHeader(dib, 40);
}

// 32-bit top-down with an alpha mask (BI_BITFIELDS in a V4-sized header).
Bytes bmp32Alpha() {
  Bytes dib = infoHeader(3, -2, 32, 3);
  put32(dib, 0x00FF0000), put32(dib, 0x0000FF00), put32(dib, 0x000000FF), put32(dib, 0xFF000000);
  dib.replace(0, 4, "\x38\0\0\0", 4);  // a 56-byte header holds the four masks
  for (const Rgba& p : kSample) dib += char(p.b), dib += char(p.g), dib += char(p.r), dib += char(p.a);
  return withFileHeader(dib, 56);
}

// 8-bit palette, two entries used, bottom-up.
Bytes bmp8() {
  Bytes dib = infoHeader(3, 2, 8, 0, 2);
  dib += Bytes("\x10\x20\x30\0\x40\x50\x60\0", 8);  // blue, green, red, 0
  dib += Bytes("\x01\x00\x01\0", 4);                // bottom row
  dib += Bytes("\x00\x01\x00\0", 4);                // top row
  return withFileHeader(dib, 48);
}

// 16-bit 5-6-5 with BI_BITFIELDS after a 40-byte header.
Bytes bmp565() {
  Bytes dib = infoHeader(2, 1, 16, 3);
  put32(dib, 0xF800), put32(dib, 0x07E0), put32(dib, 0x001F);
  put16(dib, 0xF800), put16(dib, 0x001F);  // red, blue
  return withFileHeader(dib, 52);
}

void pngWrite(png_structp png, png_bytep data, png_size_t n) {
  static_cast<Bytes*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), n);
}
void pngFlush(png_structp) {}

// A PNG of w x h, colour type and depth as given; rows as libpng wants them.
Bytes encodePng(int w, int h, int type, int depth, const std::vector<Bytes>& rows, bool interlaced = false,
                const std::vector<png_color>& palette = {}, const Bytes& trns = "") {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return "";
  }
  png_set_write_fn(png, &out, pngWrite, pngFlush);
  png_set_IHDR(png, info, w, h, depth, type, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), int(palette.size()));
  if (!trns.empty())
    png_set_tRNS(png, info, reinterpret_cast<png_const_bytep>(trns.data()), int(trns.size()), nullptr);
  png_write_info(png, info);
  std::vector<png_bytep> pointers;
  for (const Bytes& r : rows) pointers.push_back(reinterpret_cast<png_bytep>(const_cast<char*>(r.data())));
  png_write_image(png, pointers.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

Bytes pngRgba() {
  std::vector<Bytes> rows(2);
  for (int i = 0; i < 6; ++i)
    rows[i / 3] += Bytes{char(kSample[i].r), char(kSample[i].g), char(kSample[i].b), char(kSample[i].a)};
  return encodePng(3, 2, PNG_COLOR_TYPE_RGB_ALPHA, 8, rows);
}

// JPEG of a 24 x 16 picture in six flat 8 x 8 blocks, no chroma subsampling.
Bytes encodeJpeg(bool gray) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* mem = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &mem, &size);
  c.image_width = 24, c.image_height = 16;
  c.input_components = gray ? 1 : 3;
  c.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 100, TRUE);
  for (int i = 0; i < c.num_components; ++i) c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
  jpeg_start_compress(&c, TRUE);
  std::vector<uint8_t> row(24 * 3);
  while (c.next_scanline < 16) {
    for (int x = 0; x < 24; ++x) {
      const Rgba& p = kSample[(c.next_scanline / 8) * 3 + x / 8];
      if (gray)
        row[x] = p.g;
      else
        row[x * 3] = p.r, row[x * 3 + 1] = p.g, row[x * 3 + 2] = p.b;
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  Bytes out(reinterpret_cast<char*>(mem), size);
  jpeg_destroy_compress(&c);
  free(mem);
  return out;
}

// An in-memory file the encoder writes, skips and seeks in.
struct MemFile {
  Bytes data;
  size_t pos = 0;
};
OPJ_SIZE_T j2kWrite(void* data, OPJ_SIZE_T n, void* user) {
  auto* f = static_cast<MemFile*>(user);
  if (f->data.size() < f->pos + n) f->data.resize(f->pos + n);
  f->data.replace(f->pos, n, static_cast<char*>(data), n);
  f->pos += n;
  return n;
}
OPJ_OFF_T j2kSkip(OPJ_OFF_T n, void* user) {
  auto* f = static_cast<MemFile*>(user);
  f->pos += size_t(n);
  if (f->data.size() < f->pos) f->data.resize(f->pos);
  return n;
}
OPJ_BOOL j2kSeek(OPJ_OFF_T to, void* user) {
  auto* f = static_cast<MemFile*>(user);
  f->pos = size_t(to);
  if (f->data.size() < f->pos) f->data.resize(f->pos);
  return OPJ_TRUE;
}

// A lossless JPEG 2000 picture of the sample's colours and alpha (4 components).
Bytes encodeJpeg2000(bool jp2) {
  opj_image_cmptparm_t parms[4];
  std::memset(parms, 0, sizeof(parms));
  for (auto& p : parms) p.dx = p.dy = 1, p.w = 3, p.h = 2, p.prec = 8;
  opj_image_t* img = opj_image_create(4, parms, OPJ_CLRSPC_SRGB);
  img->x1 = 3, img->y1 = 2;
  for (int i = 0; i < 6; ++i) {
    img->comps[0].data[i] = kSample[i].r, img->comps[1].data[i] = kSample[i].g;
    img->comps[2].data[i] = kSample[i].b, img->comps[3].data[i] = kSample[i].a;
  }
  img->comps[3].alpha = 1;
  opj_cparameters_t params;
  opj_set_default_encoder_parameters(&params);
  params.numresolution = 1;
  params.tcp_numlayers = 1, params.tcp_rates[0] = 0, params.cp_disto_alloc = 1;
  opj_codec_t* codec = opj_create_compress(jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
  opj_setup_encoder(codec, &params, img);
  MemFile out;
  opj_stream_t* s = opj_stream_create(4096, OPJ_FALSE);
  opj_stream_set_user_data(s, &out, nullptr);
  opj_stream_set_write_function(s, j2kWrite);
  opj_stream_set_skip_function(s, j2kSkip);
  opj_stream_set_seek_function(s, j2kSeek);
  bool ok = opj_start_compress(codec, img, s) && opj_encode(codec, s) && opj_end_compress(codec, s);
  opj_stream_destroy(s);
  opj_destroy_codec(codec);
  opj_image_destroy(img);
  return ok ? out.data : "";
}

// An icon file of the given entries: {width, height, bpp, data}.
struct IconPart {
  int w, h, bpp;
  Bytes data;
};
Bytes icoFile(const std::vector<IconPart>& parts) {
  Bytes b;
  put16(b, 0), put16(b, 1), put16(b, uint16_t(parts.size()));
  size_t at = 6 + 16 * parts.size();
  for (const IconPart& p : parts) {
    b += char(p.w & 0xFF), b += char(p.h & 0xFF), b += '\0', b += '\0';
    put16(b, 1), put16(b, p.bpp), put32(b, uint32_t(p.data.size())), put32(b, uint32_t(at));
    at += p.data.size();
  }
  for (const IconPart& p : parts) b += p.data;
  return b;
}

// A 4-bit 3 x 2 icon entry: one palette colour, transparency from the mask.
Bytes icon4bit() {
  Bytes dib = infoHeader(3, 4, 4, 0, 16);
  dib += Bytes("\x00\x00\xFF\0", 4) + Bytes(60, '\0');  // entry 0 red
  dib += Bytes(8, '\0');                                // two colour rows, all entry 0
  dib += Bytes("\x20\0\0\0", 4);                        // bottom row: third pixel masked
  dib += Bytes("\x80\0\0\0", 4);                        // top row: first pixel masked
  return dib;
}

// A 32-bit 3 x 2 icon entry carrying the sample's alpha.
Bytes icon32bit() {
  Bytes dib = infoHeader(3, 4, 32, 0);
  for (int y = 1; y >= 0; --y)
    for (int x = 0; x < 3; ++x) {
      const Rgba& p = kSample[y * 3 + x];
      dib += char(p.b), dib += char(p.g), dib += char(p.r), dib += char(p.a);
    }
  return dib + Bytes(8, '\0');
}

// The CRC of a PNG chunk (bit by bit: the test needs no table).
uint32_t crc32(const Bytes& bytes) {
  uint32_t c = 0xFFFFFFFFu;
  for (char ch : bytes) {
    c ^= uint8_t(ch);
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
  }
  return c ^ 0xFFFFFFFFu;
}

Rgba pixel(const Picture& p, int x, int y) {
  const uint8_t* q = p.bgra.data() + (size_t(y) * p.width + x) * 4;
  return {q[2], q[1], q[0], q[3]};
}

bool near(const Rgba& a, const Rgba& b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance && a.a == b.a;
}

// Decodes bytes and checks every pixel against kSample (colours within
// tolerance); opaque: the format has no alpha, so every pixel reads 255.
void expectSample(const Bytes& bytes, bool opaque, int tolerance = 0) {
  Picture p;
  ASSERT_TRUE(decodePicture(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), p));
  ASSERT_EQ(p.width, 3);
  ASSERT_EQ(p.height, 2);
  for (int i = 0; i < 6; ++i) {
    Rgba want = kSample[i];
    if (opaque) want.a = 255;
    Rgba got = pixel(p, i % 3, i / 3);
    EXPECT_TRUE(near(got, want, tolerance))
        << "pixel " << i << ": " << int(got.r) << "," << int(got.g) << "," << int(got.b) << "," << int(got.a);
  }
}

bool decodes(const Bytes& bytes) {
  Picture p;
  bool ok = decodePicture(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), p);
  EXPECT_EQ(ok, p.valid());
  return ok;
}

}  // namespace

TEST(PictureFormats, BitmapsOfEveryDepth) {
  expectSample(bmp24(), true);
  expectSample(bmp32Alpha(), false);
  Picture p;
  Bytes b = bmp8();
  ASSERT_TRUE(decodePicture(reinterpret_cast<const uint8_t*>(b.data()), b.size(), p));
  EXPECT_TRUE(near(pixel(p, 0, 0), {0x30, 0x20, 0x10, 255}, 0));  // top row: entries 0, 1, 0
  EXPECT_TRUE(near(pixel(p, 1, 0), {0x60, 0x50, 0x40, 255}, 0));
  EXPECT_TRUE(near(pixel(p, 1, 1), {0x30, 0x20, 0x10, 255}, 0));  // bottom row: 1, 0, 1
  b = bmp565();
  ASSERT_TRUE(decodePicture(reinterpret_cast<const uint8_t*>(b.data()), b.size(), p));
  EXPECT_TRUE(near(pixel(p, 0, 0), {255, 0, 0, 255}, 0));
  EXPECT_TRUE(near(pixel(p, 1, 0), {0, 0, 255, 255}, 0));
}

TEST(PictureFormats, IconsTakeTheLargestEntryAndTheirMasks) {
  expectSample(icoFile({{3, 2, 32, icon32bit()}}), false);
  // The largest entry wins, whatever its place and depth: here a 4 x 4 PNG.
  std::vector<Bytes> rows(4, Bytes(16, '\x7F'));
  Bytes big = encodePng(4, 4, PNG_COLOR_TYPE_RGB_ALPHA, 8, rows);
  Picture p;
  Bytes ico = icoFile({{3, 2, 4, icon4bit()}, {4, 4, 32, big}, {3, 2, 32, icon32bit()}});
  ASSERT_TRUE(decodePicture(reinterpret_cast<const uint8_t*>(ico.data()), ico.size(), p));
  EXPECT_EQ(p.width, 4);
  EXPECT_TRUE(near(pixel(p, 3, 3), {0x7F, 0x7F, 0x7F, 0x7F}, 0));
  // Without alpha, the mask decides: masked pixels are transparent.
  ico = icoFile({{3, 2, 4, icon4bit()}});
  ASSERT_TRUE(decodePicture(reinterpret_cast<const uint8_t*>(ico.data()), ico.size(), p));
  EXPECT_TRUE(near(pixel(p, 0, 0), {255, 0, 0, 0}, 0));
  EXPECT_TRUE(near(pixel(p, 1, 0), {255, 0, 0, 255}, 0));
  EXPECT_TRUE(near(pixel(p, 2, 1), {255, 0, 0, 0}, 0));
  // A damaged best entry gives way to the next one.
  Bytes broken = big.substr(0, 40);
  ico = icoFile({{4, 4, 32, broken}, {3, 2, 32, icon32bit()}});
  expectSample(ico, false);
}

TEST(PictureFormats, PngColourTypesAndInterlacing) {
  expectSample(pngRgba(), false);
  // A palette with transparency, and Adam7 interlacing.
  std::vector<png_color> palette;
  Bytes trns;
  std::vector<Bytes> rows(2);
  for (int i = 0; i < 6; ++i) {
    palette.push_back({kSample[i].r, kSample[i].g, kSample[i].b});
    trns += char(kSample[i].a);
    rows[i / 3] += char(i);
  }
  expectSample(encodePng(3, 2, PNG_COLOR_TYPE_PALETTE, 8, rows, true, palette, trns), false);
  // 16-bit grey: one byte of each sample is kept.
  Bytes gray = encodePng(1, 1, PNG_COLOR_TYPE_GRAY, 16, {Bytes("\xAB\xCD", 2)});
  Picture p;
  ASSERT_TRUE(readPng(reinterpret_cast<const uint8_t*>(gray.data()), gray.size(), p));
  EXPECT_TRUE(near(pixel(p, 0, 0), {0xAB, 0xAB, 0xAB, 255}, 0));
  // readPng takes nothing but PNG.
  Bytes bmp = bmp24();
  EXPECT_FALSE(readPng(reinterpret_cast<const uint8_t*>(bmp.data()), bmp.size(), p));
}

TEST(PictureFormats, JpegColourAndGrey) {
  for (bool gray : {false, true}) {
    Bytes jpeg = encodeJpeg(gray);
    Picture p;
    ASSERT_TRUE(decodePicture(reinterpret_cast<const uint8_t*>(jpeg.data()), jpeg.size(), p));
    ASSERT_EQ(p.width, 24);
    for (int i = 0; i < 6; ++i) {
      Rgba want = kSample[i];
      want.a = 255;
      if (gray) want.r = want.b = want.g;
      EXPECT_TRUE(near(pixel(p, (i % 3) * 8 + 4, (i / 3) * 8 + 4), want, 6)) << "block " << i;
    }
  }
}

TEST(PictureFormats, Jpeg2000FileAndCodestreamAreLossless) {
  Bytes jp2 = encodeJpeg2000(true), j2k = encodeJpeg2000(false);
  ASSERT_FALSE(jp2.empty());
  ASSERT_FALSE(j2k.empty());
  EXPECT_EQ(jp2.substr(4, 4), "jP  ");
  expectSample(jp2, false);
  expectSample(j2k, false);
}

TEST(PictureFiles, FormatComesFromTheContentNotTheName) {
  test::TempDir dir;
  std::string path = dir.file("logo.bmp");
  test::spit(path, pngRgba());
  Picture p;
  EXPECT_TRUE(readPicture(path, p));
  EXPECT_EQ(p.width, 3);
  test::spit(path, encodeJpeg2000(false));
  EXPECT_TRUE(readPicture(path, p));
  // Missing, a folder, empty, text: false and an empty picture.
  EXPECT_FALSE(readPicture(dir.file("missing.png"), p));
  EXPECT_FALSE(p.valid());
  EXPECT_FALSE(readPicture(dir.path(), p));
  test::spit(path, "");
  EXPECT_FALSE(readPicture(path, p));
  test::spit(path, "just some text, not a picture");
  EXPECT_FALSE(readPicture(path, p));
}

// Every truncation of every sample, and single corrupted bytes: the decoders
// answer true with a whole picture or false, and never crash or overrun.
TEST(PictureDamage, TruncatedAndCorruptedFilesFailCleanly) {
  std::vector<Bytes> samples = {bmp24(),
                                bmp32Alpha(),
                                bmp8(),
                                pngRgba(),
                                encodeJpeg(false),
                                encodeJpeg2000(true),
                                encodeJpeg2000(false),
                                icoFile({{3, 2, 4, icon4bit()}})};
  for (const Bytes& s : samples) {
    for (size_t n = 0; n < s.size(); ++n) {
      Bytes cut = s.substr(0, n);
      decodes(cut);  // the result may be either; the picture must match it
    }
    for (size_t at = 0; at < s.size(); at += 3) {
      Bytes bad = s;
      bad[at] = char(bad[at] ^ 0x5A);
      decodes(bad);
    }
  }
  // A PNG cut inside its pixel data never reports success.
  Bytes png = pngRgba();
  EXPECT_FALSE(decodes(png.substr(0, png.size() - 20)));
}

TEST(PictureDamage, HostileSizesAreRefusedBeforeAllocating) {
  // A bitmap header that claims 100000 x 100000 pixels with no pixel data.
  Bytes huge = withFileHeader(infoHeader(100000, 100000, 32, 0), 40);
  EXPECT_FALSE(decodes(huge));
  Bytes negative = withFileHeader(infoHeader(-3, 2, 24, 0), 40) + Bytes(24, '\0');
  EXPECT_FALSE(decodes(negative));
  // A PNG whose header says 20000 x 20000.
  Bytes png = encodePng(1, 1, PNG_COLOR_TYPE_GRAY, 8, {Bytes(1, '\0')});
  Bytes big = png;
  big.replace(16, 8, Bytes("\0\0\x4E\x20\0\0\x4E\x20", 8));
  uint32_t crc = crc32(big.substr(12, 17));  // the header chunk's type and data
  big.replace(29, 4, Bytes{char(crc >> 24), char(crc >> 16), char(crc >> 8), char(crc)});
  EXPECT_FALSE(decodes(big));
  // An icon directory that points past the end of the file.
  Bytes ico = icoFile({{3, 2, 32, icon32bit()}});
  ico.replace(18, 4, "\xFF\xFF\0\0", 4);
  EXPECT_FALSE(decodes(ico));
}

}  // namespace orv
