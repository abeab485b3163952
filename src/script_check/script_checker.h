#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "decode/string_encoder.h"
#include "script/script_reader.h"

// A string of the image that DUMP_TEXT writes with #WRITE(PtrTable) or #W16.
struct DumpedString {
  int linear;
  int offset;
  std::span<const std::uint8_t> bytes;  // as the decoder read them, the end code included
  std::string_view rendering;           // as the script holds it: line ends as CR LF
};

// Checks an edited script against the image's strings, given one by one in the order the
// dump writes them. The n-th string of the script must carry the n-th string's two
// addresses; at the first that does not, the check stops. Each string that matches is
//   as dumped   its text is what DUMP_TEXT wrote for it (line ends and the empty lines after
//               the end code aside), and should encode back to the bytes read;
//   edited      otherwise, and should encode.
// The report goes to the console as the check goes, each line starting with a line feed:
//   [ROUND TRIP] line N, column C @ LLLLLL: "TEXT"    as dumped, but not given back
//   [EDITED] line N @ LLLLLL: A -> B bytes
//   [SCRIPT] line N, column C: no code for "TEXT"     edited, and it does not encode
//   [SCRIPT] line N: text after the end code
//   [SCRIPT] line N starts with # inside the string @ LLLLLL, before its end code  (or //)
//   [SCRIPT] line N: the file ends inside the string @ LLLLLL, before its end code
//   [SCRIPT] line N: the image has the string @ LLLLLL here    the first mismatch
//   [SCRIPT] line N: the image has no further string
//   [SCRIPT] the string @ LLLLLL is missing                    the script ends early
// and last the summary, the four groups adding up to the strings checked:
//   [SUMMARY] S strings: U as dumped, E edited (+D bytes), R not given back, X cannot be encoded
class ScriptChecker {
 public:
  // Reports on `console`.
  ScriptChecker(ScriptSource& script, const StringEncoder& encoder, std::FILE* console)
      : reader_(script), encoder_(encoder), console_(console) {}

  // False once the script and the image went apart: further strings are not looked at.
  bool wants_more() const { return !stopped_; }
  void check(const DumpedString& dumped);
  // After the image's last string: what the script holds beyond it, and the summary line.
  void finish();

  // True if the script matches the image and every string is as dumped and encodes back,
  // or edited and encodes.
  bool all_well() const { return !stopped_ && not_given_back_ == 0 && cannot_encode_ == 0; }
  // True once a line went to the console.
  bool reported() const { return reported_; }

 private:
  // The report's lines are built piece by piece in `line_`, which starts with its line feed:
  // printf's reading of a format costs more than the check of an unedited string, and a table
  // that does not give its own dump back has a line for thousands of strings.
  void put(std::string_view text) { line_ += text; }
  void put_number(long long value);
  void put_address(int linear);  // "%06X", as a position line shows it
  // "line N, column C" of a place in the current string; returns the line's text from there,
  // at most kShownText bytes.
  std::string_view put_place(TextPlace place);
  // The number of the line `index` of the current string's text, as TextPlace counts them.
  std::int64_t line_number(int index) const;
  void write_line();

  ScriptReader reader_;
  const StringEncoder& encoder_;
  ScriptString string_;
  StringEncoding encoding_;
  bool stopped_ = false;
  bool reported_ = false;
  std::FILE* console_;
  std::string line_ = "\n";

  int as_dumped_ = 0;
  int edited_ = 0;
  long long added_bytes_ = 0;
  int not_given_back_ = 0;
  int cannot_encode_ = 0;
};
