// Picture encoding (each file decoded back by the libraries themselves), the
// planning of screen rectangles, and SCREENSHOT's failing paths.
#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <utility>

#include <jpeglib.h>
#include <png.h>

#include "engine/document.h"
#include "engine/engine.h"
#include "engine/interpreter.h"
#include "platform/files.h"
#include "platform/image_write.h"
#include "platform/screen.h"
#include "test_support.h"

namespace orv {

namespace {

// Four blocks of colour (red, green / blue, white) with a distinct pixel at
// each corner, so that flipped rows or swapped channels show.
Picture quadrants(int width, int height) {
  Picture p;
  p.width = width;
  p.height = height;
  p.bgra.resize(static_cast<size_t>(width) * height * 4);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* px = &p.bgra[(static_cast<size_t>(y) * width + x) * 4];
      bool right = x >= width / 2, bottom = y >= height / 2;
      uint8_t r = (!bottom && !right) || (bottom && right) ? 255 : 0;
      uint8_t g = (!bottom && right) || (bottom && right) ? 255 : 0;
      uint8_t b = bottom ? 255 : 0;
      px[0] = b, px[1] = g, px[2] = r, px[3] = 255;
    }
  return p;
}

// A picture of noise: it compresses badly, so JPEG quality shows in the size.
Picture noise(int width, int height) {
  Picture p;
  p.width = width;
  p.height = height;
  p.bgra.resize(static_cast<size_t>(width) * height * 4);
  uint32_t state = 12345;
  for (uint8_t& byte : p.bgra) byte = static_cast<uint8_t>((state = state * 1103515245 + 12345) >> 16);
  return p;
}

// Decodes a PNG with libpng's own reader, as BGRA.
bool decodePng(const std::string& bytes, Picture& out) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return false;
  image.format = PNG_FORMAT_BGRA;
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  out.bgra.resize(PNG_IMAGE_SIZE(image));
  return png_image_finish_read(&image, nullptr, out.bgra.data(), 0, nullptr) != 0;
}

struct JpegErrors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

void jumpBack(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<JpegErrors*>(cinfo->err)->jump, 1); }

bool decodeJpegRows(jpeg_decompress_struct* c, JpegErrors* errors, const std::string& bytes, Picture& out) {
  if (setjmp(errors->jump)) return false;
  jpeg_create_decompress(c);
  jpeg_mem_src(c, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(c, TRUE);
  c->out_color_space = JCS_EXT_BGRA;
  jpeg_start_decompress(c);
  out.width = static_cast<int>(c->output_width);
  out.height = static_cast<int>(c->output_height);
  out.bgra.resize(static_cast<size_t>(out.width) * out.height * 4);
  while (c->output_scanline < c->output_height) {
    JSAMPROW row = out.bgra.data() + static_cast<size_t>(c->output_scanline) * out.width * 4;
    jpeg_read_scanlines(c, &row, 1);
  }
  jpeg_finish_decompress(c);
  return true;
}

// Decodes a JPEG with libjpeg's own reader, as BGRA.
bool decodeJpeg(const std::string& bytes, Picture& out) {
  jpeg_decompress_struct c;
  std::memset(&c, 0, sizeof c);
  JpegErrors errors;
  c.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = jumpBack;
  bool ok = decodeJpegRows(&c, &errors, bytes, out);
  jpeg_destroy_decompress(&c);
  return ok;
}

// True when every channel of every pixel is within tolerance of the original.
::testing::AssertionResult samePixels(const Picture& a, const Picture& b, int tolerance) {
  if (a.width != b.width || a.height != b.height)
    return ::testing::AssertionFailure() << "size " << b.width << "x" << b.height;
  for (size_t i = 0; i < a.bgra.size(); ++i) {
    if (i % 4 == 3) continue;
    if (std::abs(a.bgra[i] - b.bgra[i]) > tolerance)
      return ::testing::AssertionFailure()
             << "byte " << i << ": " << int(a.bgra[i]) << " vs " << int(b.bgra[i]);
  }
  return ::testing::AssertionSuccess();
}

uint32_t le32(const std::string& s, size_t at) {
  return static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8 |
         static_cast<uint8_t>(s[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(s[at + 3])) << 24;
}

std::string encode(const Picture& p, ImageFormat format, int quality = 75) {
  std::string bytes;
  sys::OsError error;
  EXPECT_TRUE(encodePicture(p, format, quality, bytes, error)) << error.call << ": " << error.message;
  return bytes;
}

}  // namespace

TEST(ImageWrite, PngAndJpegDecodeBackToThePicture) {
  // An odd width: rows whose size is not a multiple of four.
  Picture original = quadrants(67, 40);
  Picture back;
  ASSERT_TRUE(decodePng(encode(original, ImageFormat::Png), back));
  EXPECT_TRUE(samePixels(original, back, 0));
  for (int quality : {50, 100}) {
    ASSERT_TRUE(decodeJpeg(encode(original, ImageFormat::Jpeg, quality), back));
    EXPECT_EQ(back.width, 67);
    EXPECT_EQ(back.height, 40);
    // Blocks of one colour survive; only the pixels along the edges blur.
    for (auto [x, y] : std::initializer_list<std::pair<int, int>>{{8, 8}, {58, 8}, {8, 32}, {58, 32}}) {
      size_t i = (static_cast<size_t>(y) * 67 + x) * 4;
      for (int c = 0; c < 3; ++c) EXPECT_NEAR(back.bgra[i + c], original.bgra[i + c], 20) << x << "," << y;
    }
  }
}

TEST(ImageWrite, BmpHasPaddedBottomUpRowsOfBlueGreenRed) {
  Picture p = quadrants(3, 2);  // row 0: red green green; row 1: blue white white
  std::string bmp = encode(p, ImageFormat::Bmp);
  ASSERT_EQ(bmp.size(), 54u + 2 * 12);  // 9 bytes of pixels padded to 12 per row
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(le32(bmp, 2), bmp.size());
  EXPECT_EQ(le32(bmp, 10), 54u);
  EXPECT_EQ(le32(bmp, 18), 3u);
  EXPECT_EQ(le32(bmp, 22), 2u);
  // The bottom row comes first: blue, white, white; then red, green, green.
  EXPECT_EQ(bmp.substr(54, 12), std::string("\xFF\0\0\xFF\xFF\xFF\xFF\xFF\xFF\0\0\0", 12));
  EXPECT_EQ(bmp.substr(66, 12), std::string("\0\0\xFF\0\xFF\0\0\xFF\0\0\0\0", 12));
}

TEST(ImageWrite, RatioMapsOntoTheWholeQualityRange) {
  EXPECT_EQ(jpegQualityOfRatio(-3), 1);
  EXPECT_EQ(jpegQualityOfRatio(0), 1);
  EXPECT_EQ(jpegQualityOfRatio(1), 10);
  EXPECT_EQ(jpegQualityOfRatio(7), 70);
  EXPECT_EQ(jpegQualityOfRatio(10), 100);
  EXPECT_EQ(jpegQualityOfRatio(INT64_MAX), 100);
  // The ends of the range really change the file.
  Picture p = noise(64, 64);
  std::string smallest = encode(p, ImageFormat::Jpeg, jpegQualityOfRatio(0));
  std::string best = encode(p, ImageFormat::Jpeg, jpegQualityOfRatio(10));
  EXPECT_LT(smallest.size() * 4, best.size());
  Picture back;
  ASSERT_TRUE(decodeJpeg(best, back));
  EXPECT_TRUE(samePixels(p, back, 40));
}

TEST(ImageWrite, BadPicturesAndUnwritablePathsFailWithoutAFile) {
  std::string bytes;
  sys::OsError error;
  Picture empty;
  EXPECT_FALSE(encodePicture(empty, ImageFormat::Png, 75, bytes, error));
  Picture shortBuffer = quadrants(4, 4);
  shortBuffer.bgra.resize(10);
  EXPECT_FALSE(encodePicture(shortBuffer, ImageFormat::Bmp, 75, bytes, error));
  Picture tooWide;
  tooWide.width = 70000;
  tooWide.height = 1;
  tooWide.bgra.resize(70000 * 4);
  EXPECT_FALSE(encodePicture(tooWide, ImageFormat::Jpeg, 75, bytes, error));

  test::TempDir dir;
  std::string missing = dir.file("absent") + fs::separator() + "shot.png";
  error = {};
  EXPECT_FALSE(writePicture(missing, quadrants(8, 8), ImageFormat::Png, 75, error));
  EXPECT_FALSE(error.call.empty());
  EXPECT_EQ(error.path, missing);
  EXPECT_FALSE(fs::pathExists(missing));

  std::string good = dir.file("shot.bmp");
  error = {};
  ASSERT_TRUE(writePicture(good, quadrants(8, 8), ImageFormat::Bmp, 75, error));
  EXPECT_EQ(fs::fileSize(good), 54 + 8 * 24);
}

TEST(ScreenRectangle, PartlyOffTheScreenKeepsItsSizeAndPlacesTheVisiblePart) {
  screen::CapturePlan plan;
  ASSERT_TRUE(screen::planCapture(800, 600, {750, 580, 100, 40}, plan));
  EXPECT_EQ(plan.width, 100);
  EXPECT_EQ(plan.height, 40);
  EXPECT_EQ(plan.srcX, 750);
  EXPECT_EQ(plan.srcY, 580);
  EXPECT_EQ(plan.dstX, 0);
  EXPECT_EQ(plan.dstY, 0);
  EXPECT_EQ(plan.copyWidth, 50);
  EXPECT_EQ(plan.copyHeight, 20);

  ASSERT_TRUE(screen::planCapture(800, 600, {-30, -10, 100, 40}, plan));
  EXPECT_EQ(plan.srcX, 0);
  EXPECT_EQ(plan.srcY, 0);
  EXPECT_EQ(plan.dstX, 30);
  EXPECT_EQ(plan.dstY, 10);
  EXPECT_EQ(plan.copyWidth, 70);
  EXPECT_EQ(plan.copyHeight, 30);

  ASSERT_TRUE(screen::planCapture(800, 600, {0, 0, 800, 600}, plan));
  EXPECT_EQ(plan.copyWidth, 800);
  EXPECT_EQ(plan.copyHeight, 600);
}

TEST(ScreenRectangle, EmptyHugeOrEntirelyOffScreenRectanglesAreRefused) {
  screen::CapturePlan plan;
  for (screen::Rect r : std::initializer_list<screen::Rect>{{0, 0, 0, 10},
                                                            {0, 0, 10, -1},
                                                            {800, 0, 10, 10},
                                                            {0, 600, 10, 10},
                                                            {-10, 0, 10, 10},
                                                            {0, -20, 10, 20},
                                                            {INT64_MAX, 0, 10, 10},
                                                            {INT64_MIN, 0, 10, 10},
                                                            {0, 0, 100000, 10},
                                                            {0, 0, 20000, 20000}})
    EXPECT_FALSE(screen::planCapture(800, 600, r, plan))
        << r.left << "," << r.top << " " << r.width << "x" << r.height;
}

class Screenshot : public ::testing::Test {
 protected:
  void SetUp() override { engine.runLog.path = dir.file("run.log"); }
  int64_t run(const std::string& attrs) {
    doc = parseDocument("<SCREENSHOT " + attrs + "/>", "");
    return runEntry(engine, *findHandler("SCREENSHOT"), *doc->root);
  }
  bool logged(const std::string& text) {
    for (const std::string& line : test::logLines(engine.runLog.path))
      if (line.find(text) != std::string::npos) return true;
    return false;
  }
  test::TempDir dir;
  Engine engine;
  std::unique_ptr<ParsedDocument> doc;
};

TEST_F(Screenshot, AnEmptyRectangleOrNoAttributesWriteNothingAndFail) {
  std::string path = dir.file("shot.png");
  EXPECT_EQ(run("filepath=\"" + path + "\" mode=\"SIZE\" width=\"0\" height=\"50\" type=\"png\""), 0);
  EXPECT_TRUE(logged("CATCH"));
  EXPECT_TRUE(logged("Retour de l'execution de la capture : 0"));
  EXPECT_TRUE(logged("Sauvegarde de l'image capturée : 0"));
  EXPECT_TRUE(logged("Retour de l'enregistrement du fichier : 0"));
  EXPECT_FALSE(fs::pathExists(path));
  EXPECT_TRUE(logged("Zone de capture vide, trop grande ou entièrement hors de l'écran : 0,0 0x50"));
  EXPECT_EQ(run(""), 0);
  EXPECT_EQ(run("filepath=\"" + path +
                "\" blocktagerror=\"ignore\" mode=\"size\" widthposition=\"-500\" "
                "width=\"100\" height=\"100\""),
            -1);
  EXPECT_FALSE(fs::pathExists(path));
}

}  // namespace orv
