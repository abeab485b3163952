#include "decode/token_renderings.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "decode/encoding.h"
#include "script/script_sink.h"

namespace {

// A rendering is built in a small fixed buffer, nothing is allocated.
struct Text {
  char bytes[TokenRenderings::kLongest];
  int size = 0;

  void add(std::string_view text) {
    std::memcpy(bytes + size, text.data(), text.size());
    size += static_cast<int>(text.size());
  }
  // A byte the table has no text for, in `form`.
  void add(const BracketedForm& form, int value) {
    add(form.opening);
    char* const end = ScriptSink::put_hex(bytes + size, static_cast<std::uint32_t>(value),
                                          BracketedForm::kDigits);
    size = static_cast<int>(end - bytes);
    add(BracketedForm::kClosing);
  }
  std::string_view view() const { return {bytes, static_cast<std::size_t>(size)}; }
};

// What a single-byte code that leads more bytes or ends the string takes, from its class;
// nothing for a whole token.
std::optional<TokenRenderings::Lead> lead_of(int code) {
  const ByteClass c = kByteClasses[code];
  if (c.kind == ByteKind::kParameterControl)
    return TokenRenderings::Lead{
        static_cast<std::uint16_t>(TokenRenderings::parameter_slot(code, 0)), c.follow, false,
        false};
  if (c.kind == ByteKind::kRunLead)
    return TokenRenderings::Lead{
        static_cast<std::uint16_t>(TokenRenderings::run_slot(c.follow_page, 0)), c.follow, true,
        false};
  if (c.kind == ByteKind::kEnd) return TokenRenderings::Lead{0, 0, true, true};
  return std::nullopt;
}

}  // namespace

void TokenRenderings::add(int slot, std::string_view text, bool fallback) {
  refs_[slot] = static_cast<std::uint32_t>(used_) << kOffsetShift | (fallback ? kFallbackBit : 0) |
                static_cast<std::uint32_t>(text.size());
  if (slot < 0x100) {
    ShortToken& token = short_[slot];
    if (const std::optional<Lead> lead = lead_of(slot)) {
      std::memcpy(token.text, &*lead, sizeof *lead);
      token.length = kLead;
    } else if (text.size() > kShortText) {
      token.length = kLong;
    } else {
      std::memcpy(token.text, text.data(), text.size());
      token.length = static_cast<std::uint8_t>(text.size());
    }
  }
  std::memcpy(bytes_.data() + used_, text.data(), text.size());
  used_ += static_cast<int>(text.size());
}

char* TokenRenderings::put_fallback(char* out, int slot) {
  const int key = key_of(slot);
  Text text;
  if (slot >= kFirstParameterSlot) {  // the control's code, then the parameter
    text.add(kCodeForm, key >> 8);
    text.add(kRawForm, key & 0xFF);
  } else if (slot >= 0x100 || renders_as_character(kByteClasses[key].kind)) {
    text.add(kRawForm, key & 0xFF);
  } else {
    text.add(kCodeForm, key);
  }
  return std::copy_n(text.bytes, text.size, out);
}

void TokenRenderings::build(const TextTable& table) {
  used_ = 0;
  for (int slot = 0; slot < kSlots; ++slot) {
    const int key = key_of(slot);
    Text text;
    const bool defined = table.defined(key);
    if (defined) {
      text.add(table.text(key));
    } else if (slot >= kFirstParameterSlot && table.defined(key >> 8)) {
      text.add(table.text(key >> 8));  // a parameter: the control's own text, then its value
      text.add(kRawForm, key & 0xFF);
    } else {
      text.size = static_cast<int>(put_fallback(text.bytes, slot) - text.bytes);
    }
    if (slot < 0x100)
      for (int i = 0; i < line_ends_after(kByteClasses[slot].kind); ++i) text.add(kLineEnd);
    add(slot, text.view(), !defined);
  }
}
