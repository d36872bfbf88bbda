// PNG (libpng), JPEG (libjpeg-turbo) and JPEG 2000 (OpenJPEG) decoders.
// libpng and libjpeg report damage through longjmp: the functions that call
// setjmp create every C++ object they use before it, so a jump skips no
// destructor.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <png.h>
#include <jpeglib.h>
#include <openjpeg.h>

#include "platform/image_codecs.h"
#include "platform/image_read.h"

namespace orv {

namespace {

struct PngSource {
  const uint8_t* data;
  size_t size;
  size_t pos;
};

void pngRead(png_structp png, png_bytep out, png_size_t length) {
  auto* src = static_cast<PngSource*>(png_get_io_ptr(png));
  if (length > src->size - src->pos) png_error(png, "truncated");
  std::memcpy(out, src->data + src->pos, length);
  src->pos += length;
}

void pngWarning(png_structp, png_const_charp) {}
void pngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// Asks libpng for 8-bit blue, green, red, alpha whatever the stored format.
void pngTransforms(png_structp png, png_infop info) {
  png_byte type = png_get_color_type(png, info);
  if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  if ((type == PNG_COLOR_TYPE_GRAY) && png_get_bit_depth(png, info) < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  png_set_strip_16(png);
  png_set_packing(png);
  png_set_bgr(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
}

bool pngDecode(png_structp png, png_infop info, PngSource& src, std::vector<png_bytep>& rows, Picture& out) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, &src, pngRead);
  png_set_user_limits(png, image::kMaxSide, image::kMaxSide);
  png_read_info(png, info);
  png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
  if (!image::acceptableSize(width, height)) return false;
  pngTransforms(png, info);
  if (png_get_rowbytes(png, info) != static_cast<size_t>(width) * 4) return false;
  image::allocate(out, static_cast<int>(width), static_cast<int>(height));
  rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) rows[y] = out.bgra.data() + static_cast<size_t>(y) * width * 4;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  return true;
}

struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
};

void jpegExit(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1); }
void jpegMessage(j_common_ptr) {}

// CMYK rows (Adobe files store them inverted) into blue, green, red, alpha.
void cmykRow(const uint8_t* in, uint8_t* out, int width, bool inverted) {
  for (int x = 0; x < width; ++x, in += 4, out += 4) {
    int c = in[0], m = in[1], y = in[2], k = in[3];
    if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    out[0] = static_cast<uint8_t>(y * k / 255);
    out[1] = static_cast<uint8_t>(m * k / 255);
    out[2] = static_cast<uint8_t>(c * k / 255);
    out[3] = 255;
  }
}

bool jpegDecode(jpeg_decompress_struct& cinfo, JpegError& err, std::vector<uint8_t>& line, Picture& out) {
  if (setjmp(err.jump)) return false;
  jpeg_read_header(&cinfo, TRUE);
  if (!image::acceptableSize(cinfo.image_width, cinfo.image_height)) return false;
  bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
  jpeg_start_decompress(&cinfo);
  if (cinfo.output_components != 4) return false;
  int width = static_cast<int>(cinfo.output_width);
  image::allocate(out, width, static_cast<int>(cinfo.output_height));
  line.resize(static_cast<size_t>(width) * 4);
  while (cinfo.output_scanline < cinfo.output_height) {
    uint8_t* row = out.bgra.data() + static_cast<size_t>(cinfo.output_scanline) * width * 4;
    JSAMPROW target = cmyk ? line.data() : row;
    if (jpeg_read_scanlines(&cinfo, &target, 1) != 1) return false;
    if (cmyk) cmykRow(line.data(), row, width, cinfo.saw_Adobe_marker);
    if (!cmyk)
      for (int x = 0; x < width; ++x) row[x * 4 + 3] = 255;
  }
  jpeg_finish_decompress(&cinfo);
  return true;
}

// OpenJPEG reads from memory through these stream callbacks.
struct J2kSource {
  const uint8_t* data;
  size_t size;
  size_t pos;
};

OPJ_SIZE_T j2kRead(void* buffer, OPJ_SIZE_T bytes, void* user) {
  auto* src = static_cast<J2kSource*>(user);
  size_t left = src->size - src->pos;
  if (left == 0) return static_cast<OPJ_SIZE_T>(-1);
  size_t n = bytes < left ? bytes : left;
  std::memcpy(buffer, src->data + src->pos, n);
  src->pos += n;
  return n;
}

OPJ_OFF_T j2kSkip(OPJ_OFF_T bytes, void* user) {
  auto* src = static_cast<J2kSource*>(user);
  if (bytes < 0) return -1;
  size_t n =
      static_cast<size_t>(bytes) < src->size - src->pos ? static_cast<size_t>(bytes) : src->size - src->pos;
  src->pos += n;
  return static_cast<OPJ_OFF_T>(n);
}

OPJ_BOOL j2kSeek(OPJ_OFF_T to, void* user) {
  auto* src = static_cast<J2kSource*>(user);
  if (to < 0 || static_cast<size_t>(to) > src->size) return OPJ_FALSE;
  src->pos = static_cast<size_t>(to);
  return OPJ_TRUE;
}

void j2kQuiet(const char*, void*) {}

// One sample of a component at picture coordinates x, y, scaled to 8 bits.
uint8_t j2kSample(const opj_image_comp_t& c, int x, int y, int width, int height) {
  size_t cx = static_cast<size_t>(x) * c.w / width, cy = static_cast<size_t>(y) * c.h / height;
  int64_t v = c.data[cy * c.w + cx];
  if (c.sgnd) v += int64_t{1} << (c.prec - 1);
  if (c.prec > 8) v >>= (c.prec - 8);
  if (c.prec < 8) v = v * 255 / ((int64_t{1} << c.prec) - 1);
  return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

// YCbCr (sYCC) samples into red, green, blue.
void yccToRgb(uint8_t& r, uint8_t& g, uint8_t& b) {
  double y = r, cb = g - 128.0, cr = b - 128.0;
  auto clamp = [](double v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v + 0.5); };
  r = clamp(y + 1.402 * cr);
  g = clamp(y - 0.344136 * cb - 0.714136 * cr);
  b = clamp(y + 1.772 * cb);
}

bool j2kComponentsUsable(const opj_image_t& img) {
  if (img.numcomps == 0 || img.comps == nullptr) return false;
  for (OPJ_UINT32 i = 0; i < img.numcomps && i < 4; ++i) {
    const opj_image_comp_t& c = img.comps[i];
    if (c.data == nullptr || c.w == 0 || c.h == 0 || c.prec == 0 || c.prec > 31) return false;
  }
  return true;
}

bool j2kToPicture(const opj_image_t& img, Picture& out) {
  if (!j2kComponentsUsable(img)) return false;
  int width = static_cast<int>(img.comps[0].w), height = static_cast<int>(img.comps[0].h);
  if (!image::acceptableSize(width, height)) return false;
  image::allocate(out, width, height);
  bool colour = img.numcomps >= 3;
  bool alpha = img.numcomps == 2 || img.numcomps >= 4;
  for (int y = 0; y < height; ++y) {
    uint8_t* px = out.bgra.data() + static_cast<size_t>(y) * width * 4;
    for (int x = 0; x < width; ++x, px += 4) {
      uint8_t r = j2kSample(img.comps[0], x, y, width, height), g = r, b = r;
      if (colour)
        g = j2kSample(img.comps[1], x, y, width, height), b = j2kSample(img.comps[2], x, y, width, height);
      if (colour && img.color_space == OPJ_CLRSPC_SYCC) yccToRgb(r, g, b);
      px[0] = b, px[1] = g, px[2] = r;
      px[3] = alpha ? j2kSample(img.comps[colour ? 3 : 1], x, y, width, height) : 255;
    }
  }
  return true;
}

bool j2kDecode(opj_codec_t* codec, opj_stream_t* stream, Picture& out) {
  opj_dparameters_t params;
  opj_set_default_decoder_parameters(&params);
  opj_set_info_handler(codec, j2kQuiet, nullptr);
  opj_set_warning_handler(codec, j2kQuiet, nullptr);
  opj_set_error_handler(codec, j2kQuiet, nullptr);
  if (!opj_setup_decoder(codec, &params)) return false;
  opj_image_t* img = nullptr;
  bool ok = opj_read_header(stream, codec, &img) && img != nullptr &&
            image::acceptableSize(static_cast<int64_t>(img->x1) - img->x0,
                                  static_cast<int64_t>(img->y1) - img->y0) &&
            opj_decode(codec, stream, img) && opj_end_decompress(codec, stream) && j2kToPicture(*img, out);
  if (img) opj_image_destroy(img);
  return ok;
}

}  // namespace

bool readPng(const uint8_t* data, size_t size, Picture& out) {
  out = Picture();
  if (data == nullptr || size < 8 || png_sig_cmp(const_cast<png_bytep>(data), 0, 8) != 0) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  PngSource src{data, size, 0};
  std::vector<png_bytep> rows;
  bool ok = info != nullptr && pngDecode(png, info, src, rows, out);
  png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  if (!ok) out = Picture();
  return ok;
}

namespace image {

bool readJpeg(const uint8_t* data, size_t size, Picture& out) {
  out = Picture();
  jpeg_decompress_struct cinfo;
  JpegError err;
  std::vector<uint8_t> line;
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = jpegExit;
  err.mgr.output_message = jpegMessage;
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  bool ok = jpegDecode(cinfo, err, line, out);
  jpeg_destroy_decompress(&cinfo);
  if (!ok) out = Picture();
  return ok;
}

bool readJpeg2000(const uint8_t* data, size_t size, bool jp2, Picture& out) {
  out = Picture();
  J2kSource src{data, size, 0};
  opj_stream_t* stream = opj_stream_create(64 * 1024, OPJ_TRUE);
  opj_codec_t* codec = opj_create_decompress(jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
  bool ok = false;
  if (stream && codec) {
    opj_stream_set_user_data(stream, &src, nullptr);
    opj_stream_set_user_data_length(stream, size);
    opj_stream_set_read_function(stream, j2kRead);
    opj_stream_set_skip_function(stream, j2kSkip);
    opj_stream_set_seek_function(stream, j2kSeek);
    ok = j2kDecode(codec, stream, out);
  }
  if (codec) opj_destroy_codec(codec);
  if (stream) opj_stream_destroy(stream);
  if (!ok) out = Picture();
  return ok;
}

}  // namespace image

}  // namespace orv
