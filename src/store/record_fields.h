#pragma once

// Building blocks of the fixed binary layouts: byte-aligned little-endian integers and
// length-prefixed strings, so a layout struct has no padding and matches the file exactly.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace quillomat::store {

template <int kBytes>
struct LeUint {
  uint8_t bytes[kBytes] = {};

  uint32_t Get() const {
    uint32_t v = 0;
    for (int i = kBytes - 1; i >= 0; --i) v = (v << 8) | bytes[i];
    return v;
  }
  void Set(uint32_t v) {
    for (int i = 0; i < kBytes; ++i) bytes[i] = static_cast<uint8_t>(v >> (8 * i));
  }
};
using Le16 = LeUint<2>;
using Le32 = LeUint<4>;

struct LeDouble {
  uint8_t bytes[8] = {};

  double Get() const {
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | bytes[i];
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
  }
  void Set(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
  }
};

// One length byte, then up to kCapacity characters; the bytes after the last character are
// not significant. A length byte above the capacity reads as the capacity.
template <int kCapacity>
struct PString {
  uint8_t length = 0;
  char chars[kCapacity] = {};

  std::string Get() const { return std::string(chars, std::min<int>(length, kCapacity)); }
  // Longer values are cut to the capacity. Only the significant bytes are written, so the
  // bytes after them keep what the file held.
  void Set(std::string_view v) {
    const size_t n = std::min<size_t>(v.size(), kCapacity);
    length = static_cast<uint8_t>(n);
    std::memcpy(chars, v.data(), n);
  }
};

}  // namespace quillomat::store
