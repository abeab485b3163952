#include "decode/string_encoder.h"

#include "decode/encoding.h"

namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The byte of a bracketed form "<opening>XX>" that `text` starts with, or -1.
template <std::size_t N>
int bracketed_byte(std::string_view text, const char (&opening)[N]) {
  constexpr std::size_t open = N - 1;
  if (text.size() < open + 3 || text.compare(0, open, opening) != 0 || text[open + 2] != '>')
    return -1;
  const int high = hex_value(text[open]);
  const int low = hex_value(text[open + 1]);
  return high < 0 || low < 0 ? -1 : high << 4 | low;
}

constexpr int kRawLength = 5;   // "<$XX>"
constexpr int kCodeLength = 9;  // "<CODE XX>"

// True if a bracketed form that the state allows could start with `text` and be longer.
bool may_start_bracketed(std::string_view text, bool code_form_allowed) {
  auto starts = [&](std::string_view form) {
    if (text.size() >= form.size() || text.empty()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const bool digit_place = form[i] == 'X';
      if (digit_place ? hex_value(text[i]) < 0 : text[i] != form[i]) return false;
    }
    return true;
  };
  return starts("<$XX>") || (code_form_allowed && starts("<CODE XX>"));
}

}  // namespace

StringEncoder::StringEncoder(const TextTable& table, const TokenRenderings& renderings) {
  auto add = [&](TextTrie& trie, int code, int given) {
    if (table.defined(code)) trie.add(table.text(code), given);
  };
  for (int code = 0; code < 0x100; ++code) add(token_start_, code, code);
  for (int code = 0xBF00; code <= 0xBFFF; ++code) add(token_start_, code, code);
  for (int code = 0xF000; code <= 0xF3FF; ++code) add(token_start_, code, code);
  for (int low = 0; low < 0x100; ++low) {
    add(run_pages_[0], 0x0100 + low, low);
    add(run_pages_[1], 0x0200 + low, low);
  }
  // Every text finds room: 0x600 codes where a token starts, each text at most kMaxText bytes.
  static_assert(0x600 * TextTable::kMaxText < TextTrie::kMaxNodes);
  static_assert(byte_class(0xC0).follow_page == 0x0100 && byte_class(0xC8).follow_page == 0x0200);

  for (int slot = 0; slot < TokenRenderings::kSlots; ++slot) {
    std::string_view text = renderings.text(slot);
    SlotForesight& foresight = foresight_[static_cast<std::size_t>(slot)];
    foresight.length = static_cast<std::uint8_t>(text.size());
    const bool line_ends = text.ends_with("\r\n");  // the line break and the end codes
    while (text.ends_with("\r\n")) text.remove_suffix(2);
    const int key = TokenRenderings::key_of(slot);
    if (slot < 0x100) {
      foresight.taken = taken_as(text, token_start_, key, line_ends);
    } else if (slot < 0x300) {
      foresight.taken = taken_as(text, run_pages_[slot < 0x200 ? 0 : 1], key & 0xFF, false);
    } else if (!renderings.fallback(slot)) {
      foresight.taken = taken_as(text, token_start_, key, false);
    } else {
      // The control's own text or "<CODE XX>", then the parameter as "<$XX>", which is all
      // that may come after the control: the control decides.
      constexpr std::size_t kParameter = kRawLength;
      foresight.taken =
          taken_as(text.substr(0, text.size() - kParameter), token_start_, key >> 8, false);
    }
  }
}

StringEncoder::Taken StringEncoder::taken_as(std::string_view text, const TextTrie& trie, int given,
                                             bool line_ends) const {
  const bool code_form = &trie == &token_start_;
  const TextTrie::Exact exact = trie.exact(text);
  // A longer text could match too, unless a line end follows.
  if (!line_ends && (exact.extended || may_start_bracketed(text, code_form))) return Taken::kUnsure;
  int taken = exact.code;
  if (taken < 0) {  // no table text: a bracketed form, or nothing the encoder takes whole
    const int code = code_form ? bracketed_byte(text, "<CODE ") : -1;
    const int raw = bracketed_byte(text, "<$");
    if (code >= 0 && text.size() == kCodeLength) {
      taken = code;
    } else if (raw >= 0 && text.size() == kRawLength) {
      taken = raw;
    } else {
      return Taken::kUnsure;
    }
  }
  if (taken == given) return Taken::kGivenBack;
  // Other bytes from the first on: this token is where the encoding parts. With the same first
  // byte (a control on its own, or with another parameter), what follows decides.
  auto first_byte = [](int code) { return code > 0xFF ? code >> 8 : code; };
  return first_byte(taken) != first_byte(given) ? Taken::kOther : Taken::kUnsure;
}

StringEncoder::Foreseen StringEncoder::foresee(std::span<const std::uint8_t> bytes) const {
  std::size_t offset = 0;
  std::size_t token = 0;  // where the token being looked at starts in `bytes`
  // The verdict on the token in `slot`, which starts at `offset` in the rendering.
  auto look = [&](int slot) {
    const SlotForesight& foresight = foresight_[static_cast<std::size_t>(slot)];
    if (foresight.taken != Taken::kGivenBack) return false;
    offset += foresight.length;
    return true;
  };
  auto verdict = [&](int slot) {
    return Foreseen{foresight_[static_cast<std::size_t>(slot)].taken, offset, token};
  };
  for (std::size_t at = 0; at < bytes.size();) {
    token = at;
    const int b = bytes[at++];
    const ByteClass& lead = kByteClasses[b];
    if (lead.kind == ByteKind::kParameterControl) {
      const int slot = TokenRenderings::parameter_slot(b, at < bytes.size() ? bytes[at++] : 0xFF);
      if (!look(slot)) return verdict(slot);
      continue;
    }
    if (!look(b)) return verdict(b);
    if (lead.kind != ByteKind::kRunLead) continue;
    for (int i = 0; i < lead.follow && at < bytes.size(); ++i) {
      token = at;
      const int slot = lead.follow_page + bytes[at++];
      if (!look(slot)) return verdict(slot);
    }
  }
  return {Taken::kGivenBack, offset, bytes.size()};
}

StringEncoder::Token StringEncoder::token_at(std::string_view text, State state) const {
  Token token;
  if (state.follow == 0) {
    const TextTrie::Match match = token_start_.longest(text);
    token = {match.length, match.code};
    const int code = text[0] == '<' ? bracketed_byte(text, "<CODE ") : -1;
    // A table text of the same length comes first.
    if (code >= 0 && kCodeLength > token.length) return {kCodeLength, code};
  } else if (state.page != 0) {
    const TextTrie::Match match = run_pages_[state.page == 0x0100 ? 0 : 1].longest(text);
    token = {match.length, match.code};
  }
  const int raw = text[0] == '<' ? bracketed_byte(text, "<$") : -1;
  if (raw >= 0 && kRawLength > token.length) return {kRawLength, raw};
  return token;
}

bool StringEncoder::State::give(std::uint8_t b) {
  if (follow > 0) {
    --follow;
    return false;
  }
  const ByteClass& read_as = kByteClasses[b];
  follow = read_as.follow;
  page = read_as.kind == ByteKind::kRunLead ? read_as.follow_page : 0;
  return read_as.kind == ByteKind::kEnd;
}

void StringEncoder::encode(std::span<const std::string_view> lines, StringEncoding& out,
                           TextPlace from, std::span<const std::uint8_t> given_before) const {
  out.bytes.assign(given_before.begin(), given_before.end());
  out.tokens.clear();
  State state;
  for (const std::uint8_t b : given_before) state.give(b);
  for (int line = from.line; line < static_cast<int>(lines.size()); ++line) {
    const std::string_view text = lines[static_cast<std::size_t>(line)];
    for (auto column = static_cast<std::size_t>(line == from.line ? from.column : 0);
         column < text.size();) {
      const TextPlace place{line, static_cast<int>(column)};
      const Token token = token_at(text.substr(column), state);
      if (token.length == 0) {
        out.outcome = StringEncoding::Outcome::kNoCandidate;
        out.stop = place;
        return;
      }
      out.tokens.push_back({place, static_cast<int>(out.bytes.size())});
      bool ended = false;
      if (token.given > 0xFF) {
        out.bytes.push_back(static_cast<std::uint8_t>(token.given >> 8));
        state.give(static_cast<std::uint8_t>(token.given >> 8));  // a parameter control
      }
      out.bytes.push_back(static_cast<std::uint8_t>(token.given));
      ended = state.give(static_cast<std::uint8_t>(token.given));
      column += static_cast<std::size_t>(token.length);
      if (ended) {
        // Whatever text is left, on this line or a later one, would be written after it.
        for (std::size_t rest = static_cast<std::size_t>(line); rest < lines.size(); ++rest) {
          const std::size_t after = rest == static_cast<std::size_t>(line) ? column : 0;
          if (lines[rest].size() > after) {
            out.outcome = StringEncoding::Outcome::kTextAfterEnd;
            out.stop = {static_cast<int>(rest), static_cast<int>(after)};
            return;
          }
        }
        out.outcome = StringEncoding::Outcome::kEncoded;
        return;
      }
    }
  }
  out.outcome = StringEncoding::Outcome::kNoEndCode;
}
