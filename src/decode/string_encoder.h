#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "decode/text_trie.h"
#include "decode/token_renderings.h"
#include "table/text_table.h"

// The decoder read backwards: turns a string's text into the bytes an inserter that reads the
// same table would write, taking at each place the longest text that matches there.
//
// Which texts may match depends on where the decoder stands in the bytes given so far:
//   where a token starts   the text of a defined code 00-FF (one byte), or of BF00-BFFF or
//                          F000-F3FF (the control, then its parameter); "<$XX>"; "<CODE XX>"
//   inside a run           the text of a defined code on the run's page (its low byte); "<$XX>"
//   after a control that   "<$XX>" only
//   came on its own and
//   takes a parameter
// XX is two upper-case hexadecimal digits. Of texts that match with the same length, a table
// text comes before a bracketed form and the lower code before the higher.

// A place in the text: the index of a line among those given, and a byte column from 0.
struct TextPlace {
  int line = 0;
  int column = 0;
};

// What encode() found. Its vectors keep their room from one string to the next.
struct StringEncoding {
  enum class Outcome {
    kEncoded,       // the text ends with the token that gives the end code
    kNoCandidate,   // nothing matches at `stop`
    kTextAfterEnd,  // the end code came, and text follows it at `stop`
    kNoEndCode,     // the text ran out before an end code
  };
  struct Token {
    TextPlace place;
    int first_byte;  // index in `bytes` of the first byte it gave
  };

  Outcome outcome = Outcome::kNoEndCode;
  TextPlace stop;
  std::vector<std::uint8_t> bytes;
  std::vector<Token> tokens;
};

class StringEncoder {
 public:
  // Reads the texts from `table`, and learns which of the texts in `renderings` (made from
  // the same table) encode back whole. Build a fresh encoder for another table.
  StringEncoder(const TextTable& table, const TokenRenderings& renderings);

  // Encodes the text `lines` into `out`. Line ends give no byte, and no token spans two
  // lines. The bytes stop at the end code, D0 or FF where a token starts. To go on from a
  // token's place `from`, give the bytes the text before it encodes to as `given_before`
  // (they open out.bytes; out.tokens holds only the tokens from there on).
  void encode(std::span<const std::string_view> lines, StringEncoding& out, TextPlace from = {},
              std::span<const std::uint8_t> given_before = {}) const;

  // What encode() does with the text the decoder writes for the string `bytes` (end code
  // included) through the renderings, where a lookup a token can tell: for each token the
  // encoder takes its whole text and nothing more, whatever text follows, unless the table
  // has a longer text or a bracketed form that starts with it. Most strings of an unedited
  // script are told so, without a search of the table.
  enum class Taken : std::uint8_t {
    kGivenBack,  // as the same bytes
    kOther,      // whole, but as other bytes
    kUnsure,     // encode() must tell
  };
  struct Foreseen {
    Taken taken;         // of the first token not given back, or kGivenBack for the whole string
    std::size_t offset;  // where that token's text starts in the rendering
    std::size_t byte;    // and its first byte in `bytes`
  };
  Foreseen foresee(std::span<const std::uint8_t> bytes) const;

  // True if encode() surely gives `bytes` back from `lines`, told without a search of the
  // table: token by token, the text holds each token of `bytes` as the renderings write it
  // today or as it is written without a table, in forms the encoder takes back whole as that
  // token, line ends after the line break and the end code. So reads an unedited string
  // dumped with an older table that lacked some codes. False if it cannot tell.
  bool surely_gives_back(std::span<const std::string_view> lines,
                         std::span<const std::uint8_t> bytes) const;

 private:
  // Where the decoder stands: how many parameter or follow bytes are still to come, and for
  // a run the table page they are looked up on (0 after a parameter control).
  struct State {
    int follow = 0;
    int page = 0;

    // Moves on by byte `b` as the decoder reads it; true if it ends the string.
    bool give(std::uint8_t b);
  };
  struct Token {
    int length = 0;  // bytes of text it takes; 0: nothing matches
    int given = 0;   // the byte it gives, or above 0xFF the two: the control, the parameter
  };

  Token token_at(std::string_view text, State state) const;
  // How the encoder takes `text` where a token starts and the text starts with it, if it
  // should give `given` (the byte, or above 0xFF the control and parameter) from `trie`'s
  // dictionary; `line_ends`: a line end follows it.
  Taken taken_as(std::string_view text, const TextTrie& trie, int given, bool line_ends) const;

  struct SlotForesight {
    Taken taken = Taken::kUnsure;
    std::uint8_t length = 0;                // of the slot's text, line ends included
    Taken fallback_taken = Taken::kUnsure;  // of its text without a table
  };
  // How the encoder takes a slot's `text`, line ends left off; `line_ends`: they follow it.
  // `control_then_raw`: a parameter's text is its control's text, then its raw form.
  Taken slot_taken(int slot, std::string_view text, bool line_ends, bool control_then_raw) const;
  static_assert(TokenRenderings::kLongest <= 0xFF);

  static constexpr int kRunPages = 2;
  // The dictionary of the run page `follow_page` (0x0100 or 0x0200).
  const TextTrie& run_page(int follow_page) const { return run_pages_[(follow_page >> 8) - 1]; }
  TextTrie& run_page(int follow_page) { return run_pages_[(follow_page >> 8) - 1]; }

  const TokenRenderings& renderings_;
  TextTrie token_start_;           // the single bytes, and each parameter control's codes
  TextTrie run_pages_[kRunPages];  // 0100-01FF, 0200-02FF, each by its low byte
  std::array<SlotForesight, TokenRenderings::kSlots> foresight_;
};
