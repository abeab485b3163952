#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

// How the script ends a line on every system: each line feed a writer gives is stored so.
inline constexpr std::string_view kLineEnd = "\r\n";

// A script literal with each line feed already stored as kLineEnd, made at compile time so
// that writing it is one copy: script.write<"\n#WRITE(PtrTable)\n\n">().
template <std::size_t N>
struct ScriptLiteral {
  consteval ScriptLiteral(const char (&text)[N]) {
    for (std::size_t i = 0; i + 1 < N; ++i)
      for (char c : text[i] == '\n' ? kLineEnd : std::string_view(text + i, 1)) bytes[size++] = c;
  }
  char bytes[kLineEnd.size() * N] = {};
  std::size_t size = 0;
};

// Hears each piece of the script as a sink hands it on to its file: a second copy of it.
class ScriptCopy {
 public:
  // False if the piece could not be kept.
  virtual bool copy(std::string_view piece) = 0;

 protected:
  ~ScriptCopy() = default;
};

// The one stream every writer of the script appends to. Each line feed is stored as
// kLineEnd; no other byte is changed. Output is gathered in a buffer and handed to the
// file in large writes; a write that fails is remembered, not reported.
class ScriptSink {
 public:
  // A sink without a file keeps nothing: CHECK_TABLE decodes into one.
  explicit ScriptSink(std::FILE* file) : file_(file) {}
  // A sink that also hands each piece it writes to `copy`; a piece it could not keep counts
  // as a failed write.
  ScriptSink(std::FILE* file, ScriptCopy& copy) : file_(file), copy_(&copy) {}
  // A sink that appends what it is given to `kept` at each flush: CHECK_SCRIPT decodes a
  // string into one to compare it with the script's text.
  explicit ScriptSink(std::string& kept) : file_(nullptr), kept_(&kept) {}
  ScriptSink(const ScriptSink&) = delete;
  ScriptSink& operator=(const ScriptSink&) = delete;
  ~ScriptSink() { flush(); }

  // A literal, as above.
  template <ScriptLiteral text>
  void write() {
    write_plain({text.bytes, text.size});
  }

  // Text that may hold line feeds, known only at run time (the header's pieces).
  void write(std::string_view text);

  // Text known to hold no line feed.
  void write_plain(std::string_view text) {
    if (text.size() > kSlack) return write_plain_long(text);
    make_room(text.size());
    std::memcpy(buffer_.data() + used_, text.data(), text.size());
    used_ += text.size();
  }

  // Bytes already as the script stores them, line ends and all: an edited script's own lines,
  // whose line ends are the translator's.
  void write_stored(std::string_view bytes) { write_plain(bytes); }

  // Direct writing, for a writer of many small pieces that keeps its position in a register:
  // room for at least `kBytes` from the returned position up to room_end(); hand back the end
  // of what was written with written_up_to(). Nothing written there may hold a line feed
  // other than as kLineEnd.
  template <std::size_t kBytes>
  char* room_for() {
    static_assert(kBytes <= kCapacity, "more room than the buffer has");
    make_room(kBytes);
    return buffer_.data() + used_;
  }
  char* room_end() { return buffer_.data() + kCapacity; }
  void written_up_to(const char* end) { used_ = static_cast<std::size_t>(end - buffer_.data()); }

  // Upper-case hexadecimal with at least `min_digits` digits, as "%0<min_digits>X".
  void write_hex(std::uint32_t value, int min_digits = 1) {
    make_room(kHexRoom);
    used_ = static_cast<std::size_t>(put_hex(buffer_.data() + used_, value, min_digits) -
                                     buffer_.data());
  }

  // The same two for direct writing: each writes at `out` and returns the end of what it
  // wrote; put writes its literals one after the other. put_hex needs kHexRoom bytes of room.
  template <ScriptLiteral... texts>
  static constexpr char* put(char* out) {
    ((out = std::copy_n(texts.bytes, texts.size, out)), ...);
    return out;
  }
  static constexpr std::size_t kHexRoom = std::numeric_limits<std::uint32_t>::digits / 4;
  static constexpr char* put_hex(char* out, std::uint32_t value, int min_digits = 1) {
    const int digits = std::max({(static_cast<int>(std::bit_width(value)) + 3) / 4, min_digits, 1});
    // Six digits, the width of most offsets and addresses, take three steps and no loop.
    if (digits == 6) {
      out = std::copy_n(kHexPairs[value >> 16].data(), 2, out);
      out = std::copy_n(kHexPairs[value >> 8 & 0xFF].data(), 2, out);
      return std::copy_n(kHexPairs[value & 0xFF].data(), 2, out);
    }
    int at = digits;
    for (; at >= 2; at -= 2, value >>= 8)
      std::copy_n(kHexPairs[value & 0xFF].data(), 2, out + at - 2);
    if (at == 1) out[0] = kHexPairs[value & 0xF][1];
    return out + digits;
  }
  // The value of a digit put_hex writes, or -1 for any other byte.
  static constexpr int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }
  // The room a direct writer needs: what put(out) writes, put being a writer given the widest
  // numbers (-1 for each, so every number takes kHexRoom digits).
  template <typename Put>
  static consteval std::size_t most_written(Put put) {
    char out[256] = {};
    return static_cast<std::size_t>(put(out) - out);
  }

  // Hands everything buffered to the file. Returns false if any write so far failed.
  bool flush();

 private:
  static constexpr std::size_t kCapacity = 1 << 16;  // the largest piece handed on
  static constexpr std::size_t kSlack = 256;         // writes up to this size take the short path
  // "00" to "FF": two digits a step.
  static constexpr auto kHexPairs = [] {
    std::array<std::array<char, 2>, 256> pairs{};
    for (int i = 0; i < 256; ++i)
      pairs[i] = {"0123456789ABCDEF"[i >> 4], "0123456789ABCDEF"[i & 0xF]};
    return pairs;
  }();

  void make_room(std::size_t bytes) {
    if (kCapacity - used_ < bytes) flush();
  }
  void write_plain_long(std::string_view text);

  std::FILE* file_;
  std::string* kept_ = nullptr;
  ScriptCopy* copy_ = nullptr;
  std::size_t used_ = 0;
  bool failed_ = false;
  std::array<char, kCapacity> buffer_;
};
