#include "decode/string_encoder.h"

#include <algorithm>

#include "decode/encoding.h"
#include "decode/fallback_forms.h"
#include "decode/string_decoder.h"

namespace {

// The byte of a bracketed form that `text` starts with, or -1.
int bracketed_byte(std::string_view text, const BracketedForm& form) {
  if (text.size() < form.size() || !text.starts_with(form.opening)) return -1;
  text.remove_prefix(form.opening.size());
  if (!text.substr(BracketedForm::kDigits).starts_with(BracketedForm::kClosing)) return -1;
  const int high = ScriptSink::hex_value(text[0]);
  const int low = ScriptSink::hex_value(text[1]);
  return high < 0 || low < 0 ? -1 : high << 4 | low;
}

// True if `text` is the start of a longer text in `form`, of any digits.
bool may_grow_into(std::string_view text, const BracketedForm& form) {
  if (text.empty() || text.size() >= form.size()) return false;
  if (text.size() <= form.opening.size()) return form.opening.starts_with(text);
  if (!text.starts_with(form.opening)) return false;
  text.remove_prefix(form.opening.size());
  const std::string_view digits = text.substr(0, BracketedForm::kDigits);
  return std::ranges::all_of(digits, [](char c) { return ScriptSink::hex_value(c) >= 0; }) &&
         BracketedForm::kClosing.starts_with(text.substr(digits.size()));
}

// The table pages the follow bytes of runs are looked up on are 0x0100 and 0x0200, numbered
// by their high byte.
constexpr bool run_pages_are_one_and_two() {
  for (const ByteClass& c : kByteClasses)
    if (c.kind == ByteKind::kRunLead && c.follow_page != 0x0100 && c.follow_page != 0x0200)
      return false;
  return true;
}
static_assert(run_pages_are_one_and_two());

// The first byte of every bracketed form: a text that does not start with it holds none.
constexpr char kFallbackOpening = kRawForm.opening.front();
static_assert(kCodeForm.opening.front() == kFallbackOpening);

}  // namespace

StringEncoder::StringEncoder(const TextTable& table, const TokenRenderings& renderings)
    : renderings_(renderings) {
  auto add = [&](TextTrie& trie, int code, int given) {
    if (table.defined(code)) trie.add(table.text(code), given);
  };
  // Where a token starts: each single byte, and each parameter control with its parameter.
  for (int b = 0; b < 0x100; ++b) {
    add(token_start_, b, b);
    if (kByteClasses[b].kind == ByteKind::kParameterControl)
      for (int code = b << 8; code <= (b << 8 | 0xFF); ++code) add(token_start_, code, code);
  }
  for (int page = 1; page <= kRunPages; ++page)
    for (int low = 0; low < 0x100; ++low) add(run_page(page << 8), page << 8 | low, low);
  // Every text finds room: the codes where a token starts, each text at most kMaxText bytes.
  static_assert((1 + kParameterControls) * 0x100 * TextTable::kMaxText < TextTrie::kMaxNodes);

  for (int slot = 0; slot < TokenRenderings::kSlots; ++slot) {
    std::string_view text = renderings.text(slot);
    SlotForesight& foresight = foresight_[static_cast<std::size_t>(slot)];
    foresight.length = static_cast<std::uint8_t>(text.size());
    const bool line_ends = text.ends_with(kLineEnd);  // the line break and the end codes
    while (text.ends_with(kLineEnd)) text.remove_suffix(kLineEnd.size());
    // The fast paths look a parameter up by its own slot, never by its control's.
    if (slot < 0x100 && kByteClasses[slot].kind == ByteKind::kParameterControl) continue;
    foresight.taken = slot_taken(slot, text, line_ends, renderings.fallback(slot));
    char form[TokenRenderings::kLongest];
    foresight.fallback_taken =
        slot_taken(slot, {form, TokenRenderings::put_fallback(form, slot)}, line_ends, true);
  }
}

StringEncoder::Taken StringEncoder::slot_taken(int slot, std::string_view text, bool line_ends,
                                               bool control_then_raw) const {
  const int key = TokenRenderings::key_of(slot);
  if (slot < 0x100) return taken_as(text, token_start_, key, line_ends);
  if (!TokenRenderings::is_parameter_slot(slot))  // a run page's: its key
    return taken_as(text, run_page(key & 0xFF00), key & 0xFF, false);
  if (!control_then_raw) return taken_as(text, token_start_, key, false);
  // The control's own text or its code form, then the parameter in its raw form, which is all
  // that may come after the control: the control decides.
  return taken_as(text.substr(0, text.size() - kRawForm.size()), token_start_, key >> 8, false);
}

StringEncoder::Taken StringEncoder::taken_as(std::string_view text, const TextTrie& trie, int given,
                                             bool line_ends) const {
  const bool code_form = &trie == &token_start_;
  const TextTrie::Exact exact = trie.exact(text);
  // A longer text could match too, unless a line end follows.
  if (!line_ends && (exact.extended || may_grow_into(text, kRawForm) ||
                     (code_form && may_grow_into(text, kCodeForm))))
    return Taken::kUnsure;
  int taken = exact.code;
  if (taken < 0) {  // no table text: a bracketed form, or nothing the encoder takes whole
    const int code = code_form ? bracketed_byte(text, kCodeForm) : -1;
    const int raw = bracketed_byte(text, kRawForm);
    if (code >= 0 && text.size() == kCodeForm.size()) {
      taken = code;
    } else if (raw >= 0 && text.size() == kRawForm.size()) {
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
      const int slot = TokenRenderings::run_slot(lead.follow_page, bytes[at++]);
      if (!look(slot)) return verdict(slot);
    }
  }
  return {Taken::kGivenBack, offset, bytes.size()};
}

bool StringEncoder::surely_gives_back(std::span<const std::string_view> lines,
                                      std::span<const std::uint8_t> bytes) const {
  std::size_t line = 0;
  std::string_view text = lines.empty() ? std::string_view{} : lines.front();
  // Takes the text of the token in `slot` off `text`, and the line ends after it.
  auto take = [&](int slot) {
    const SlotForesight& foresight = foresight_[static_cast<std::size_t>(slot)];
    std::string_view today = renderings_.text(slot);
    const bool line_ends = today.ends_with(kLineEnd);
    while (today.ends_with(kLineEnd)) today.remove_suffix(kLineEnd.size());
    std::size_t taken = 0;
    if (foresight.taken == Taken::kGivenBack && text.starts_with(today)) {
      taken = today.size();
    } else if (foresight.fallback_taken == Taken::kGivenBack &&
               text.starts_with(kFallbackOpening)) {
      char form[TokenRenderings::kLongest];
      const std::string_view fallback{form, TokenRenderings::put_fallback(form, slot)};
      if (text.starts_with(fallback)) taken = fallback.size();
    }
    if (taken == 0) return false;
    text.remove_prefix(taken);
    if (!line_ends) return true;
    if (!text.empty() || ++line > lines.size()) return false;
    text = line < lines.size() ? lines[line] : std::string_view{};
    return true;
  };
  if (!for_each_rendering(renderings_, bytes, take)) return false;
  // After the end code, only empty lines.
  return std::all_of(lines.begin() + static_cast<std::ptrdiff_t>(std::min(line, lines.size())),
                     lines.end(), [](std::string_view rest) { return rest.empty(); });
}

StringEncoder::Token StringEncoder::token_at(std::string_view text, State state) const {
  Token token;
  if (state.follow == 0) {
    const TextTrie::Match match = token_start_.longest(text);
    token = {match.length, match.code};
    const int code = text[0] == '<' ? bracketed_byte(text, kCodeForm) : -1;
    // A table text of the same length comes first.
    if (code >= 0 && int{kCodeForm.size()} > token.length) return {int{kCodeForm.size()}, code};
  } else if (state.page != 0) {
    const TextTrie::Match match = run_page(state.page).longest(text);
    token = {match.length, match.code};
  }
  const int raw = text[0] == '<' ? bracketed_byte(text, kRawForm) : -1;
  if (raw >= 0 && int{kRawForm.size()} > token.length) return {int{kRawForm.size()}, raw};
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
  out.stop = from;  // never one left from an earlier string
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
      if (token.given > 0xFF) {
        out.bytes.push_back(static_cast<std::uint8_t>(token.given >> 8));
        state.give(static_cast<std::uint8_t>(token.given >> 8));  // a parameter control
      }
      out.bytes.push_back(static_cast<std::uint8_t>(token.given));
      const bool ended = state.give(static_cast<std::uint8_t>(token.given));
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
