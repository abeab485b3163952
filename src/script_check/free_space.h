#pragma once

#include <cstdint>
#include <string_view>

#include "script_check/report.h"
#include "script_check/script_matcher.h"

// The free space of the script's regions, against what their strings take once inserted.
//
// The reader passes each line outside the strings that starts with "#JMP(" (ScriptString::jump).
// Such a line ends the current region. If it is exactly "#JMP($S,$E)", S and E each 1 to 8
// upper-case hexadecimal digits, it opens a region that holds E - S + 1 bytes, or 0 when
// E < S: the numbers are the script's, so a translator who finds more free space in the bank
// can widen the range there. A region's strings are the strings the inserter writes whose
// position lines lie inside it, whatever their command; each takes the bytes its encoding
// gives, end code included.
//
// A region is checked where it ends, at the next "#JMP(" line or at the script's end, before
// the line of the string that comes after it: not if one of its strings has an encoding with
// a problem, and never if the script and the image part inside it. If its strings take more
// than it holds:
//   [SPACE] line N: the strings after #JMP($S,$E) take B bytes, the range holds C
// N the line of the "#JMP(", S and E as "%X", B and C in decimal.
class FreeSpace final : public ScriptMatcher::Listener {
 public:
  explicit FreeSpace(Report& report) : report_(report) {}

  void read(const ScriptString& string, bool found) override;

  // True while a region's strings are counted: only then does take() need a string's size.
  bool counting() const { return open_ && !spoiled_; }
  // The string just read takes `bytes` once inserted; kProblem if its encoding has one.
  static constexpr long long kProblem = -1;
  void take(long long bytes);

  // True once a region's strings took more than it holds.
  bool overflowed() const { return overflowed_; }

 private:
  void close();
  void open(std::string_view line, std::int64_t line_number);

  Report& report_;
  bool open_ = false;
  bool spoiled_ = false;  // a string of the region has an encoding with a problem
  std::int64_t line_ = 0;
  std::uint32_t start_ = 0;
  std::uint32_t end_ = 0;
  long long taken_ = 0;
  bool overflowed_ = false;
};
