#include "tools/common/png_file.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <filesystem>

namespace {

const char* pngError = nullptr;

void OnPngError(png_structp png, png_const_charp) {
  pngError = "libpng could not encode the picture";
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// libpng reports failures by longjmp, so nothing with a destructor may live
// in this frame.
bool Encode(std::FILE* file, const unsigned char* rgba, int width, int height) {
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  if (png == nullptr) {
    pngError = "libpng could not start";
    return false;
  }
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    if (info == nullptr) pngError = "libpng could not start";
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  for (int y = 0; y < height; ++y) png_write_row(png, rgba + rowBytes * static_cast<size_t>(y));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WritePngFile(const char* path, const unsigned char* rgba, int width, int height,
                  const char** error) {
  if (width < 1 || height < 1) {
    if (error != nullptr) *error = "picture size must be at least 1 x 1";
    return false;
  }
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) {
    if (error != nullptr) *error = "cannot open the file for writing";
    return false;
  }
  pngError = nullptr;
  const bool encoded = Encode(file, rgba, width, height);
  const bool closed = std::fclose(file) == 0;
  if (encoded && closed) return true;
  // Only a half-written regular file is ours to remove, never a device.
  std::error_code ignored;
  if (std::filesystem::is_regular_file(path, ignored)) std::remove(path);
  if (error != nullptr) *error = encoded ? "cannot finish writing the file" : pngError;
  return false;
}
