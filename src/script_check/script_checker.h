#pragma once

#include <cstdio>
#include <string_view>

#include "decode/string_encoder.h"
#include "dump/string_receiver.h"
#include "script_check/comment_copy_matcher.h"
#include "script_check/free_space.h"
#include "script_check/report.h"
#include "script_check/script_matcher.h"

// Checks an edited script against the image's strings, given one by one in the order the
// dump writes them and paired by ScriptMatcher, which reports where the two part; the check
// stops there. Each string that matches is
//   as dumped   its text is what DUMP_TEXT wrote for it (is_as_dumped), and should encode
//               back to the bytes read;
//   edited      otherwise, and should encode.
// A block's first string, written as a comment, is passed over by the inserter; its copy,
// paired by CommentCopyMatcher up to a mismatch of the strings, is
//   as dumped, or gives the image's bytes back (an unedited copy under an older table);
//   edited otherwise, which gets a line, as the walk meets it.
// The report goes to the console as the check goes, each line starting with a line feed:
//   [SCRIPT] line N: the string @ LLLLLL is edited in a comment, which the inserter skips
//                                                    N: the copy's first text line
//   [SCRIPT] line N: the string @ LLLLLL needs the command CMD   before the string's own line
//   [ROUND TRIP] line N, column C @ LLLLLL: "TEXT"    as dumped, but not given back
//   [EDITED] line N @ LLLLLL: A -> B bytes
//   [SCRIPT] line N: the string @ LLLLLL ends with code XX where the image has YY
//                                                    right after, if the last byte differs
//   [SCRIPT] line N, column C: no code for "TEXT"     edited, and it does not encode
//   [SCRIPT] line N: text after the end code
//   [SCRIPT] line N starts with # inside the string @ LLLLLL, before its end code  (or //)
//   [SCRIPT] line N: the string @ LLLLLL has no end code
//                                                    instead, when empty lines, or the
//                                                    commands, come right before that line
//   [SCRIPT] line N: the file ends inside the string @ LLLLLL, before its end code
//   [SPACE] ...                                      FreeSpace's, after a region's strings
//   ScriptMatcher's line where the script and the image part
// and last the summary, the four groups adding up to the strings checked:
//   [SUMMARY] S strings: U as dumped, E edited (+D bytes), R not given back, X cannot be encoded
class ScriptChecker final : public StringReceiver {
 public:
  // Reports on `console`. `script` and `copies` give the same script, read once for the
  // strings and once for their comment copies.
  ScriptChecker(ScriptSource& script, ScriptSource& copies, const StringEncoder& encoder,
                std::FILE* console)
      : report_(console),
        space_(report_),
        matcher_(script, report_, &space_),
        copies_(copies),
        encoder_(encoder) {}

  // Each string the inserter writes, and each block's first string written as a comment.
  void receive(const WalkedString& image_string) override;
  // After the image's last string: what the script holds beyond it, and the summary line.
  void finish();

  // True if the script matches the image and every string is as dumped and encodes back,
  // or edited and encodes.
  bool all_well() const {
    return !matcher_.parted() && not_given_back_ == 0 && cannot_encode_ == 0 && other_lines_ == 0 &&
           !space_.overflowed();
  }
  // True once a line went to the console.
  bool reported() const { return report_.reported(); }

 private:
  // Whether a comment copy, paired by CommentCopyMatcher, still holds the image's string.
  void check_comment_copy(const WalkedString& dumped, const ScriptString& copy);
  // Whether the string's first command is the one DUMP_TEXT writes for it.
  void check_command(const WalkedString& dumped, const ScriptString& string);
  // Returns the bytes the string takes once inserted, FreeSpace::kProblem if its encoding has
  // a problem, or 0 for a string outside the regions whose size would take a full encoding.
  long long check(const WalkedString& dumped, const ScriptString& string);
  // The bytes of encoding_, FreeSpace::kProblem if it has a problem.
  long long inserted_size() const;
  // "line N, column C" of a place in `string`, C in characters; returns the line's text from
  // there, at most kShownText bytes and not ending inside a character.
  std::string_view put_place(const ScriptString& string, TextPlace place);

  Report report_;
  FreeSpace space_;  // hears of the jump lines the matcher's reading meets
  ScriptMatcher matcher_;
  CommentCopyMatcher copies_;
  const StringEncoder& encoder_;
  StringEncoding encoding_;

  int as_dumped_ = 0;
  int edited_ = 0;
  long long added_bytes_ = 0;
  int not_given_back_ = 0;
  int cannot_encode_ = 0;
  int other_lines_ = 0;  // lines on strings outside the summary's four groups
};
