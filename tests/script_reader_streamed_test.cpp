// A script read in pieces of any size reads as the same script held whole.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "script/script_reader.h"

namespace {

// Gives the script `piece` bytes at a time.
class Pieces final : public ScriptSource {
 public:
  Pieces(std::string_view text, std::size_t piece) : text_(text), piece_(piece) {}
  std::size_t read(char* into, std::size_t room) override {
    const std::string_view part = text_.substr(0, std::min(room, piece_));
    part.copy(into, part.size());
    text_.remove_prefix(part.size());
    return part.size();
  }

 private:
  std::string_view text_;
  std::size_t piece_;
};

// What the reader gave, one line per string or copy.
std::string all_read(ScriptReader& reader, bool copies) {
  std::string read;
  ScriptString s;
  while (copies ? reader.next_comment_copy(s) : reader.next(s)) {
    read += std::to_string(s.position_line) + " " + std::to_string(s.linear) + " " +
            std::to_string(s.offset) + " " + s.command + " " + std::to_string(s.last_command_line) +
            " " + std::to_string(s.jump_line) + (s.jump_line != 0 ? s.jump : "") + " " +
            std::to_string(s.first_line) + " " + std::to_string(s.cut_line) + ":";
    for (std::string_view line : s.lines) (read += line) += "|";
    read += "\n";
  }
  return read;
}

TEST(ScriptReader, a_script_read_in_pieces_reads_as_the_script_held_whole) {
  const std::string script =
      "#JMP($208000)\r\n\r\n//[07C004 ~ 03C004]\r\n\r\n//A[br]\r\n//B[end]\r\n\r\n"
      "//[07C016 ~ 03C016]\r\n#WRITEINDEX($3C002,2)\r\n#WRITE(PtrTable)\r\n\r\nC\r\n[end]\r\n\r\n"
      "//\r\n#JMP($583D,$650E)\n\n//[009404 ~ 001404]\n#W16($1404)\nD[end]\n\n"
      "//[00941B ~ 00141B]\n\n//E\n#JMP($1,$2)";
  for (const bool copies : {false, true}) {
    ScriptReader whole(script);
    const std::string expected = all_read(whole, copies);
    EXPECT_NE(expected, "");
    for (const std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{7}}) {
      Pieces pieces(script, piece);
      ScriptReader streamed(pieces);
      EXPECT_EQ(all_read(streamed, copies), expected) << "copies " << copies << ", piece " << piece;
    }
  }
}

}  // namespace
