#pragma once

// What the fuzz targets share: clearing a store between inputs, a reader of the structured
// part of an input, capture of a stream's bytes, and the failure report.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

namespace fuzz {

// For the targets' own checking code: coverage of it would only mislead the fuzzer, and
// tracing its comparisons of whole tables costs more than the code under test.
#define FUZZ_CHECKER __attribute__((no_sanitize("coverage")))

// A property did not hold: say which, and crash so that libFuzzer keeps the input.
[[noreturn]] inline void fail(const char* what) {
  std::fprintf(stderr, "\nproperty broken: %s\n", what);
  std::abort();
}

inline void require(bool holds, const char* what) {
  if (!holds) fail(what);
}

// Empties a store (the tool's are all zero when empty) for the next input. Cleared in place,
// its pages stay mapped: cheaper than a fresh store, whose pages would fault in anew.
template <typename T>
FUZZ_CHECKER void clear(T& store) {
  static_assert(std::is_trivially_copyable_v<T>);
  std::memset(static_cast<void*>(&store), 0, sizeof store);
}

// Reads an input front to back; past its end every number reads as 0 and every byte
// string as empty, so any input has a meaning.
class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::size_t left() const { return size_ - at_; }
  unsigned u8() { return at_ < size_ ? data_[at_++] : 0; }
  // Little-endian.
  unsigned u16() {
    const unsigned low = u8();
    return low | u8() << 8;
  }
  std::uint32_t u32() {
    const std::uint32_t low = u16();
    return low | static_cast<std::uint32_t>(u16()) << 16;
  }
  std::string_view bytes(std::size_t count) {
    if (count > left()) count = left();
    std::string_view taken(reinterpret_cast<const char*>(data_ + at_), count);
    at_ += count;
    return taken;
  }
  std::string_view rest() { return bytes(left()); }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// A stream whose bytes can be read back once it is closed.
class MemoryStream {
 public:
  MemoryStream() : file_(open_memstream(&buffer_, &size_)) {
    if (file_ == nullptr) fail("cannot open a memory stream");
  }
  ~MemoryStream() {
    if (file_ != nullptr) std::fclose(file_);
    std::free(buffer_);
  }
  MemoryStream(const MemoryStream&) = delete;
  MemoryStream& operator=(const MemoryStream&) = delete;

  std::FILE* get() const { return file_; }
  // Closes the stream and returns everything written to it.
  std::string take() {
    std::fclose(file_);
    file_ = nullptr;
    return std::string(buffer_, size_);
  }

 private:
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* file_;
};

}  // namespace fuzz
