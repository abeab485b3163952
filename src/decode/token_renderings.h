#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "decode/encoding.h"
#include "decode/fallback_forms.h"
#include "script/script_sink.h"
#include "table/text_table.h"

// The script text of every code the decoder can meet, fixed once the table is read, so
// that a token costs one lookup and one copy whether the table defines its code or not.
//
// Slots: 0x000-0x0FF the single-byte codes, 0x100-0x2FF the two run pages (a slot there is
// its table key), then a page for the parameters of each parameter control in byte order:
// 0x300-0x3FF those of 0xBF, 0x400-0x7FF those of 0xF0-0xF3. A slot holds the table text or
// the fallback form. The end codes' slots end with their line ends and the line break's
// with its one, already as the script stores them.
//
// The texts lie back to back in one byte store that only grows as far as they need, so a
// run touches a few pages, not a slot's worth of room for each of the 2048 codes.
class TokenRenderings {
  // Pages of slots before the parameters': the single-byte codes and the two run pages.
  static constexpr int kKeyPages = 3;
  static constexpr int kFirstParameterSlot = kKeyPages << 8;
  // The control bytes whose parameters fill the slot pages after the key pages, in byte order.
  static constexpr std::array<std::uint8_t, kParameterControls> kPageControl = [] {
    std::array<std::uint8_t, kParameterControls> controls{};
    for (int b = 0, page = 0; b < 256; ++b)
      if (kByteClasses[b].kind == ByteKind::kParameterControl)
        controls[page++] = static_cast<std::uint8_t>(b);
    return controls;
  }();

 public:
  static constexpr int kSlots = (kKeyPages + kParameterControls) << 8;
  // Longest: a control's text with a parameter's fallback "<$XX>" after it, or an end code's
  // text with its line ends.
  static constexpr int kLongest =
      TextTable::kMaxText +
      std::max(int{kRawForm.size()}, line_ends_after(ByteKind::kEnd) * int{kLineEnd.size()});
  static constexpr int kCopy = 48;  // every write copies this many bytes, then keeps `length`
  static_assert(kCopy >= kLongest, "a copy must carry the longest rendering whole");

  static constexpr int parameter_slot(int hi, int param) {
    const auto page =
        std::find(kPageControl.begin(), kPageControl.end(), hi) - kPageControl.begin();
    return static_cast<int>(kKeyPages + page) << 8 | param;
  }
  // The slot of a run's follow byte `p`, looked up on the table page `follow_page` (0x0100 or
  // 0x0200): a run page's slot is its table key.
  static constexpr int run_slot(int follow_page, int p) { return follow_page + p; }
  // True for the slots of the parameter controls' parameters, after the key pages.
  static constexpr bool is_parameter_slot(int slot) { return slot >= kFirstParameterSlot; }
  // The table key whose text a slot stands for: the one a fallback in that slot lacks.
  static constexpr int key_of(int slot) {
    if (slot < kFirstParameterSlot) return slot;
    return kPageControl[(slot >> 8) - kKeyPages] << 8 | (slot & 0xFF);
  }

  // Writes at `out` (room for kLongest bytes) what a slot holds when the table has no text for
  // its key nor, for a parameter, for its control: what a dump without a table writes for it,
  // line ends left off. Returns its end.
  static char* put_fallback(char* out, int slot);

  // Fills every slot from `table`; call again after the table changes.
  void build(const TextTable& table);

  // True if the single-byte code `b` is a token on its own after which the string goes on: a
  // character or a control without parameter. The others lead a run or a parameter, or end
  // the string.
  bool whole_token(int b) const { return short_[b].length != kLead; }
  // If `b` is a whole token with a text of up to kShortText bytes, writes that text at `out`
  // (room for kCopy bytes), moves `out` past it and returns true. Otherwise returns false;
  // `out` stays, and what was written there is of no use.
  bool copy_short(char*& out, int b) const {
    const ShortToken& token = short_[b];
    std::memcpy(out, &token, sizeof token);
    if (token.length > kShortText) return false;
    out += token.length;
    return true;
  }
  // What a single-byte code that is not a whole token takes: its own text, unless it is a
  // parameter control (the parameter's slot holds the control's text too), then `follow`
  // bytes, follow byte p rendered from slot follow_slot + p; and whether it ends the string.
  struct Lead {
    std::uint16_t follow_slot;
    std::uint8_t follow;
    bool own_text;
    bool ends;
  };
  Lead lead(int b) const {
    Lead lead;
    std::memcpy(&lead, short_[b].text, sizeof lead);
    return lead;
  }
  // Writes the lead's own text at `out`, if it has one, and returns its end. The text is
  // written either way: choosing the end is cheaper than a branch on the kind of lead.
  char* copy_lead(char* out, int b) const {
    char* const end = copy(out, b);
    return lead(b).own_text ? end : out;
  }
  // True if the table has no text for the slot's key, so its fallback form is written.
  bool fallback(int slot) const { return (refs_[slot] & kFallbackBit) != 0; }
  // The table key a translator would add for the slot's text to come from the table, or -1
  // when it already does. A parameter whose control alone has text counts as from the
  // table; one whose control has none is missing under the control's own key.
  int missing_key(int slot) const {
    if (!fallback(slot)) return -1;
    if (slot < kFirstParameterSlot) return key_of(slot);
    const int control = key_of(slot) >> 8;
    return fallback(control) ? control : -1;
  }
  std::string_view text(int slot) const {
    return {bytes_.data() + (refs_[slot] >> kOffsetShift), refs_[slot] & kLengthMask};
  }

  // Writes the slot's text at `out`, which has room for kCopy bytes, and returns its end.
  // Moves of a fixed size are cheaper than a copy of the length: 16 bytes, which most texts
  // fit, and the rest of kCopy only for longer ones.
  char* copy(char* out, int slot) const {
    const std::uint32_t ref = refs_[slot];
    const char* const text = bytes_.data() + (ref >> kOffsetShift);
    const std::uint32_t length = ref & kLengthMask;
    std::memcpy(out, text, kShortCopy);
    if (length > kShortCopy) std::memcpy(out + kShortCopy, text + kShortCopy, kCopy - kShortCopy);
    return out + length;
  }

 private:
  static constexpr std::uint32_t kShortCopy = 16;
  static constexpr std::uint32_t kLengthMask = 0xFF;
  static constexpr std::uint32_t kFallbackBit = 0x100;
  static constexpr int kOffsetShift = 9;
  static_assert(kLongest <= kLengthMask && kFallbackBit > kLengthMask &&
                kFallbackBit < std::uint32_t{1} << kOffsetShift);

  void add(int slot, std::string_view text, bool fallback);

  // The texts of the single-byte codes once more, each whole in 16 bytes, so that the
  // commonest tokens take one move of a fixed size and no reference to follow. The last
  // byte is the length, or one of these marks:
  static constexpr std::uint8_t kShortText = 15;
  static constexpr std::uint8_t kLong = 0x40;  // a whole token with a longer text
  static constexpr std::uint8_t kLead = 0x80;  // leads a run or a parameter, or ends the string
  struct ShortToken {
    char text[kShortText];  // a lead's entry holds its Lead here instead
    std::uint8_t length;
  };
  static_assert(sizeof(ShortToken) == 16 && sizeof(Lead) <= kShortText);
  // Zero at start in zeroed storage (a ZeroedStore, or value-initialised): the arrays have no
  // initializer, which would clear every page.
  // On a page of their own, with the references on the next two: a page more would be a
  // page fault more.
  alignas(4096) std::array<ShortToken, 0x100> short_;
  // Per slot: the text's offset in bytes_, a fallback flag and the length.
  std::array<std::uint32_t, kSlots> refs_;
  int used_ = 0;
  // Room for every slot at its longest, and for the last copy's full width.
  std::array<char, kSlots * kLongest + kCopy> bytes_;
  static_assert(sizeof bytes_ <= std::uint32_t{1} << (32 - kOffsetShift));
};

// The one place where a run page's slot and its table key are tied.
static_assert(TokenRenderings::key_of(TokenRenderings::run_slot(0x0100, 0x00)) == 0x0100 &&
              TokenRenderings::key_of(TokenRenderings::run_slot(0x0200, 0xFF)) == 0x02FF &&
              !TokenRenderings::is_parameter_slot(TokenRenderings::run_slot(0x0200, 0xFF)));
