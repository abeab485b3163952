#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

// The one stream every writer of the script appends to. Each line feed is stored as
// CR LF; no other byte is changed. Output is gathered in a buffer and handed to the
// file in large writes; a write that fails is remembered, not reported.
class ScriptSink {
 public:
  explicit ScriptSink(std::FILE* file) : file_(file) {}
  ScriptSink(const ScriptSink&) = delete;
  ScriptSink& operator=(const ScriptSink&) = delete;
  ~ScriptSink() { flush(); }

  // Text that may hold line feeds.
  void write(std::string_view text);
  // Text known to hold no line feed, such as a table entry.
  void write_plain(std::string_view text);
  // Upper-case hexadecimal with at least `min_digits` digits, as "%0<min_digits>X".
  void write_hex(std::uint32_t value, int min_digits = 1);

  // Hands everything buffered to the file. Returns false if any write so far failed.
  bool flush();
  bool failed() const { return failed_; }

 private:
  void make_room(std::size_t bytes);

  static constexpr std::size_t kCapacity = 1 << 16;
  std::FILE* file_;
  std::size_t used_ = 0;
  bool failed_ = false;
  std::array<char, kCapacity> buffer_;
};
