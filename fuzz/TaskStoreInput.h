#pragma once
// Fuzz input for the task store's targets: bytes taken one at a time, and value
// names and types chosen from the input, with the store's own and odd names.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>

#include "core/ports/Registry.h"

namespace velquin::fuzz {

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Empty() const { return pos_ >= size_; }
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  std::string Bytes(size_t count) {
    count = std::min(count, size_ - std::min(pos_, size_));
    std::string bytes(reinterpret_cast<const char*>(data_) + pos_, count);
    pos_ += count;
    return bytes;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

inline const char* const kOddNames[] = {"APP01", "app2", "APP2147483646", "APP-1", "APP", "App0",
                                        "APP4294967296", "Count ", "minimizewhenstart"};
inline const uint32_t kTypes[] = {kRegSz, kRegExpandSz, kRegDword, kRegBinary,
                                  kRegMultiSz, kRegNone, kRegQword, kRegDwordBigEndian};

inline std::string NameFrom(Input& in) {
  const uint8_t selector = in.Byte();
  switch (selector % 4) {
    case 0: return "Count";
    case 1: return "MinimizeWhenStart";
    case 2: return kOddNames[(selector / 4) % std::size(kOddNames)];
    default: return "APP" + std::to_string(selector / 4 % 12);
  }
}

// A value type: mostly the common ones, now and then any number.
inline uint32_t TypeFrom(Input& in) {
  const uint8_t typeByte = in.Byte();
  return typeByte < 0xF0 ? kTypes[typeByte % std::size(kTypes)] : typeByte;
}

}  // namespace velquin::fuzz
