#pragma once

#include <cstdint>
#include <deque>
#include <string_view>

// The sections of an edited script, of its original (the dump the tool last put beside it)
// and of today's dump, side by side. A section is the lines after a position line, up to the
// next position line or the end of the file. The k-th sections of the three are paired while
// the k-th position lines of all three are the same line; from the first place where they are
// not, no later section is paired.
//
// A paired section that is not empty and whose lines are the original's (line ends aside) is
// still what the tool wrote: the update takes today's section for it.
class PairedSections {
 public:
  struct Section {
    std::int64_t position_line;  // in the script, from 1
    // The script's bytes of the section: from the start of its first line to the end of its
    // last line's text, that line's line end left off.
    const char* begin;
    const char* end;
    std::string_view today;   // today's section, the same way: lines with CR LF between them
    bool tool_own;            // not empty, and its lines are the original's
    bool as_today;            // its lines are today's
    bool holds_comment_copy;  // an empty line, then a line that starts with "//"
  };

  // The three must outlive it.
  PairedSections(std::string_view script, std::string_view original, std::string_view today);

  // The paired section whose position line is `line`, or null if none is, or if it was let go.
  // Each section is worked out once, when first asked for.
  const Section* at_line(std::int64_t line);
  // The first section not let go, or null when none is left; and letting it go. A section
  // stays until it is let go, valid until then.
  const Section* front();
  void pop_front() { kept_.pop_front(); }

 private:
  // A text's position lines one after another.
  class PositionLines {
   public:
    explicit PositionLines(std::string_view text) : text_(text) {}
    // Moves to the next position line; false if none is left.
    bool next();
    std::string_view line() const { return line_; }  // without its line end
    std::int64_t number() const { return number_; }
    // The section after it: from the line after it up to the next position line.
    std::string_view section();

   private:
    std::string_view text_;
    std::size_t at_ = 0;  // where the next line starts
    std::string_view line_;
    std::int64_t number_ = 0;
  };

  // Works out the next paired section, at the back of `kept_`; false if none is left.
  bool add_next();

  PositionLines script_;
  PositionLines original_;
  PositionLines today_;
  bool paired_ = true;
  std::deque<Section> kept_;  // in script order
};
