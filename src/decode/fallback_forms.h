#pragma once

#include <cstddef>
#include <string_view>

// The forms in which the decoder writes a byte the table has no text for, and which the
// encoder reads back: an opening, the byte as two upper-case hexadecimal digits, then ">".
//   "<$XX>"      a character, a run's lead or follow byte, or a parameter
//   "<CODE XX>"  a control
struct BracketedForm {
  static constexpr std::size_t kDigits = 2;
  static constexpr std::string_view kClosing = ">";

  std::string_view opening;

  constexpr std::size_t size() const { return opening.size() + kDigits + kClosing.size(); }
};

inline constexpr BracketedForm kRawForm{"<$"};
inline constexpr BracketedForm kCodeForm{"<CODE "};
