#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "decode/string_encoder.h"
#include "dump/string_receiver.h"
#include "script/script_reader.h"
#include "script/script_sink.h"
#include "script_check/comment_copy_matcher.h"
#include "script_check/report.h"
#include "script_check/script_matcher.h"
#include "script_update/paired_sections.h"

// What UPDATE_TEXT makes of an edited script held whole: each string that is still the
// image's own text is rendered as DUMP_TEXT renders it today, and every other line stays
// byte for byte, translations, notes and commands alike.
//
// The strings the inserter writes are paired with the image's as the script check pairs them
// (ScriptMatcher, whose line says where the two part; nothing after that is updated). Each
// paired string is
//   unchanged   already as DUMP_TEXT writes it today (is_as_dumped);
//   updated     otherwise, if its text gives the image's bytes back (gives_back): its lines,
//               from its first text line to the one that holds its end code, become today's
//               rendering, without the line ends after the end code;
//   kept        otherwise: a translation, or a text that today's table cannot give back.
// The comment copies of the blocks' first strings are paired on their own (CommentCopyMatcher)
// and updated on the same terms, each new line after "//".
//
// Given the original, the dump the tool last put beside the script, and today's dump, each
// paired section that is still what the tool wrote (PairedSections) becomes today's section,
// whatever its strings are; such a section's strings count as updated, or unchanged where the
// section already is today's, and a comment copy in a replaced one counts as a comment updated.
// So an unedited script updates to today's dump whatever table it was dumped with.
//
// New lines end with the script's own line end, that of its first line (CR LF if it has
// none); the last one ends as the last line it replaces did.
class ScriptUpdater final : public StringReceiver {
 public:
  // `script`, its `original` if there is one, and `today`'s dump must outlive the updater. The
  // updated script goes to `out` as the walk goes; the report gets the pairing's line, if the
  // script and the image part, and the summary.
  ScriptUpdater(std::string_view script, std::optional<std::string_view> original,
                std::string_view today, const StringEncoder& encoder, Report& report,
                ScriptSink& out);

  void receive(const WalkedString& image_string) override;
  // After the image's last string: what the script holds beyond it, the rest of the updated
  // script, and the summary:
  //   [SUMMARY] S strings: U updated, A unchanged, K kept; C comments updated
  void finish();

  // True if the script and the image parted.
  bool parted() const { return matcher_.parted(); }
  // True if a string or a comment copy was updated: else `out` got the script as it is.
  bool changed() const { return rewritten_; }

 private:
  // The script's bytes from `begin` to `end` (the text of a string's lines, up to its end
  // code, without that line's line end) become `text`.
  struct Replacement {
    const char* begin;
    const char* end;
    std::string text;
    std::int64_t position_line;  // of the string or comment copy replaced
    bool comment_copy;
  };
  // Replaces `lines` (views into the script, each after `lead` bytes of its line) up to the
  // end code by the image string's rendering, each line after `lead`, if they give its bytes
  // back; true if they did.
  bool update(const ScriptString& string, std::string_view lead, const WalkedString& image_string);
  // The section headed by `position_line`, if it is still what the tool wrote; `sections`
  // moves on to it.
  const PairedSections::Section* tool_own(std::int64_t position_line);
  // The next section to become today's, if it starts before `end`.
  const PairedSections::Section* section_to_replace(const char* end);
  void write_replacement(const char* begin, const char* end, std::string_view text);
  void receive_inserted(const WalkedString& image_string);
  void receive_comment_copy(const WalkedString& image_string);
  // Writes the script up to where both readers have come, with the replacements there: no
  // later one can lie before it.
  void write_up_to(const char* end);
  void write_ready();

  std::string_view script_;
  std::string_view line_end_;  // the script's own
  const StringEncoder& encoder_;
  Report& report_;
  ScriptSink& out_;
  ScriptMatcher matcher_;
  CommentCopyMatcher copies_;
  StringEncoding encoding_;
  std::deque<Replacement> waiting_;  // in script order
  const char* written_;              // the script's bytes before it are in `out_`
  bool rewritten_ = false;           // a replacement was written
  // Paired sections, when there is an original: worked out as the strings and comment copies
  // reach them, let go once written.
  std::optional<PairedSections> sections_;

  int updated_ = 0;
  int unchanged_ = 0;
  int kept_ = 0;
  int comments_updated_ = 0;
};
