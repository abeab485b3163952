#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// The two ways the dump writes a string into the script.
enum class StringKind : std::uint8_t {
  kInserted,     // under #WRITEINDEX and #WRITE(PtrTable), or #W16: the inserter writes it
  kCommentCopy,  // a block's first string, in its block section, every line after "//"
};

// A string as the dump writes it, in the order the dump writes them.
struct WalkedString {
  StringKind kind;
  int linear;  // the two numbers of its position line
  int offset;
  std::span<const std::uint8_t> bytes;  // as the decoder read them, the end code included
  // Its text as the script holds it, line ends as CR LF and the three after the end code
  // included; for a comment copy without the "//" that starts each line.
  std::string_view rendering;
  // For a block's string, the image offset of its offset table entry, which #WRITEINDEX
  // names; -1 for a region's string, which #W16 points at its own offset (script_lines.h).
  int entry = -1;
};

// Hears of every string the dump plan's walk writes (dump/string_walk.h). The commands that
// read the walk rather than write a script are its users: the table check counts the
// strings' codes, the script check compares them with an edited script's, the update
// renders the script's unedited ones anew.
class StringReceiver {
 public:
  virtual void receive(const WalkedString& string) = 0;

 protected:
  ~StringReceiver() = default;
};
