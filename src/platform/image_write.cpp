#include "platform/image_write.h"

// libjpeg's header needs size_t and FILE declared before it.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include <jpeglib.h>
#include <png.h>

#include "platform/files.h"

namespace orv {

namespace {

void fillLibraryError(sys::OsError& error, const char* call, int64_t code, const char* message) {
  error = {};
  error.call = call;
  error.code = code;
  error.message = message;
}

void putLe16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

void putLe32(std::string& out, uint32_t v) {
  putLe16(out, v & 0xFFFF);
  putLe16(out, v >> 16);
}

// A 24-bit bottom-up BMP: file header, BITMAPINFOHEADER, rows padded to 4 bytes.
void encodeBmp(const Picture& p, std::string& out) {
  const size_t stride = (static_cast<size_t>(p.width) * 3 + 3) & ~size_t{3};
  const size_t imageSize = stride * static_cast<size_t>(p.height);
  const uint32_t offset = 14 + 40;
  out.reserve(offset + imageSize);
  out += "BM";
  putLe32(out, static_cast<uint32_t>(offset + imageSize));
  putLe32(out, 0);  // two reserved words
  putLe32(out, offset);
  putLe32(out, 40);  // BITMAPINFOHEADER
  putLe32(out, static_cast<uint32_t>(p.width));
  putLe32(out, static_cast<uint32_t>(p.height));  // positive: bottom-up rows
  putLe16(out, 1);                                // planes
  putLe16(out, 24);                               // bits per pixel
  putLe32(out, 0);                                // BI_RGB
  putLe32(out, static_cast<uint32_t>(imageSize));
  putLe32(out, 3780);  // 96 dpi in pixels per metre
  putLe32(out, 3780);
  putLe32(out, 0);  // colours used
  putLe32(out, 0);  // important colours
  std::string row(stride, '\0');
  for (int y = p.height - 1; y >= 0; --y) {
    const uint8_t* src = p.bgra.data() + static_cast<size_t>(y) * p.width * 4;
    for (int x = 0; x < p.width; ++x, src += 4) std::memcpy(&row[static_cast<size_t>(x) * 3], src, 3);
    out += row;
  }
}

// ---- PNG ----

struct PngSink {
  std::string* bytes;
  char message[256];
};

void pngError(png_structp png, png_const_charp message) {
  auto* sink = static_cast<PngSink*>(png_get_error_ptr(png));
  std::snprintf(sink->message, sizeof sink->message, "%s", message ? message : "");
  png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

void pngWrite(png_structp png, png_bytep data, size_t n) {
  auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
  bool stored = true;
  try {
    sink->bytes->append(reinterpret_cast<const char*>(data), n);
  } catch (const std::bad_alloc&) {
    stored = false;
  }
  if (!stored) png_error(png, "out of memory");
}

void pngFlush(png_structp) {}

// The steps that may jump back on a library error: only plain locals here.
bool writePngRows(png_structp png, png_infop info, const Picture& p, uint8_t* row) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, static_cast<png_uint_32>(p.width), static_cast<png_uint_32>(p.height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < p.height; ++y) {
    const uint8_t* src = p.bgra.data() + static_cast<size_t>(y) * p.width * 4;
    for (int x = 0; x < p.width; ++x, src += 4) {
      row[x * 3] = src[2];
      row[x * 3 + 1] = src[1];
      row[x * 3 + 2] = src[0];
    }
    png_write_row(png, row);
  }
  png_write_end(png, info);
  return true;
}

bool encodePng(const Picture& p, std::string& out, sys::OsError& error) {
  PngSink sink{&out, {}};
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, pngError, pngWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    if (png) png_destroy_write_struct(&png, nullptr);
    fillLibraryError(error, "png_create_write_struct", 0, "out of memory");
    return false;
  }
  std::vector<uint8_t> row(static_cast<size_t>(p.width) * 3);
  png_set_write_fn(png, &sink, pngWrite, pngFlush);
  bool ok = writePngRows(png, info, p, row.data());
  png_destroy_write_struct(&png, &info);
  if (!ok) fillLibraryError(error, "png_write_row", 0, sink.message);
  return ok;
}

// ---- JPEG ----

struct JpegFailure {
  jpeg_error_mgr manager;  // first: libjpeg hands back a pointer to it
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  int code;
};

void jpegErrorExit(j_common_ptr cinfo) {
  auto* failure = reinterpret_cast<JpegFailure*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, failure->message);
  failure->code = cinfo->err->msg_code;
  std::longjmp(failure->jump, 1);
}

void jpegSilent(j_common_ptr, int) {}

// The steps that may jump back on a library error: only plain locals here.
bool writeJpegRows(jpeg_compress_struct* c, JpegFailure* failure, const Picture& p, int quality,
                   unsigned char** buffer, unsigned long* size) {
  if (setjmp(failure->jump)) return false;
  jpeg_create_compress(c);
  jpeg_mem_dest(c, buffer, size);
  c->image_width = static_cast<JDIMENSION>(p.width);
  c->image_height = static_cast<JDIMENSION>(p.height);
  c->input_components = 4;
  c->in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(c);
  jpeg_set_quality(c, quality, TRUE);
  if (quality >= 90) {
    // Full colour resolution: small text on screen stays legible.
    c->comp_info[0].h_samp_factor = 1;
    c->comp_info[0].v_samp_factor = 1;
  }
  jpeg_start_compress(c, TRUE);
  const size_t stride = static_cast<size_t>(p.width) * 4;
  while (c->next_scanline < c->image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(p.bgra.data() + c->next_scanline * stride);
    jpeg_write_scanlines(c, &row, 1);
  }
  jpeg_finish_compress(c);
  return true;
}

bool encodeJpeg(const Picture& p, int quality, std::string& out, sys::OsError& error) {
  jpeg_compress_struct c;
  std::memset(&c, 0, sizeof c);
  JpegFailure failure;
  std::memset(&failure, 0, sizeof failure);
  c.err = jpeg_std_error(&failure.manager);
  failure.manager.error_exit = jpegErrorExit;
  failure.manager.emit_message = jpegSilent;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  bool ok = writeJpegRows(&c, &failure, p, quality, &buffer, &size);
  jpeg_destroy_compress(&c);
  if (ok) {
    try {
      out.assign(reinterpret_cast<const char*>(buffer), size);
    } catch (const std::bad_alloc&) {
      ok = false;
      std::snprintf(failure.message, sizeof failure.message, "out of memory");
    }
  }
  std::free(buffer);
  if (!ok) fillLibraryError(error, "jpeg_write_scanlines", failure.code, failure.message);
  return ok;
}

}  // namespace

int jpegQualityOfRatio(int64_t ratio) {
  if (ratio <= 0) return 1;
  if (ratio >= 10) return 100;
  return static_cast<int>(ratio * 10);
}

bool encodePicture(const Picture& picture, ImageFormat format, int quality, std::string& bytes,
                   sys::OsError& error) {
  bytes.clear();
  if (!picture.valid() || picture.width > kMaxEncodedSide || picture.height > kMaxEncodedSide ||
      static_cast<int64_t>(picture.width) * picture.height > kMaxEncodedPixels) {
    fillLibraryError(error, "encodePicture", 0, "picture empty or too large");
    return false;
  }
  switch (format) {
    case ImageFormat::Bmp: encodeBmp(picture, bytes); return true;
    case ImageFormat::Png: return encodePng(picture, bytes, error);
    case ImageFormat::Jpeg:
      return encodeJpeg(picture, quality < 1 ? 1 : quality > 100 ? 100 : quality, bytes, error);
  }
  return false;
}

bool writePicture(const std::string& path, const Picture& picture, ImageFormat format, int quality,
                  sys::OsError& error) {
  std::string bytes;
  if (!encodePicture(picture, format, quality, bytes, error)) {
    error.path = path;
    return false;
  }
  sys::clearOsError();
  if (fs::writeFile(path, bytes)) return true;
  error = sys::lastOsError();
  if (error.call.empty()) fillLibraryError(error, "writeFile", 0, "");
  error.path = path;
  // The file was opened (so truncated) but not written whole: a picture cut
  // short is worse than none, whoever reads it later would take it for the capture.
  bool opened = error.call != "open" && error.call != "CreateFileW";
  if (opened && fs::fileExists(path)) fs::removeFile(path);
  sys::clearOsError();
  return false;
}

}  // namespace orv
