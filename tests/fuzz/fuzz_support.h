// Helpers shared by the libFuzzer targets: cutting one input into fields.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orv::fuzz {

// The input as text.
inline std::string text(const uint8_t* data, size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// The input cut at every NUL byte (at least one field).
inline std::vector<std::string> fields(const uint8_t* data, size_t size) {
  std::vector<std::string> out(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0)
      out.emplace_back();
    else
      out.back() += static_cast<char>(data[i]);
  }
  return out;
}

// The first byte as a small choice (0 when the input is empty), and the rest.
inline unsigned choice(const uint8_t*& data, size_t& size, unsigned count) {
  if (size == 0) return 0;
  unsigned c = data[0] % count;
  ++data, --size;
  return c;
}

}  // namespace orv::fuzz
