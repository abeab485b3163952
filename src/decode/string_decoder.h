#pragma once

#include <cstdint>
#include <span>

#include "decode/token_renderings.h"
#include "rom/rom_window.h"
#include "script/script_sink.h"

// Renders the string at the window's cursor into the script, through the renderings made
// from the table, and leaves the cursor just past its end code (0xD0 or 0xFF). A string has
// no length limit of its own: past the window's end every byte reads as 0xFF, which ends it.
void decode_string(RomWindow& window, const TokenRenderings& renderings, ScriptSink& script);
// The same with "//" after each line break, so that every line of the string, not only the
// first, stands as a comment in the script.
void decode_commented_string(RomWindow& window, const TokenRenderings& renderings,
                             ScriptSink& script);

// Calls rendered(slot) for each rendering the decoder writes for the string `bytes` (as read,
// the end code included), in order: the slot of TokenRenderings it comes from. Stops at the
// first call that returns false, and then returns false.
template <typename Rendered>
bool for_each_rendering(const TokenRenderings& renderings, std::span<const std::uint8_t> bytes,
                        const Rendered& rendered) {
  for (std::size_t at = 0; at < bytes.size();) {
    const int b = bytes[at++];
    if (renderings.whole_token(b)) {
      if (!rendered(b)) return false;
      continue;
    }
    const TokenRenderings::Lead lead = renderings.lead(b);
    if (lead.own_text && !rendered(b)) return false;
    for (int i = 0; i < lead.follow && at < bytes.size(); ++i)
      if (!rendered(lead.follow_slot + bytes[at++])) return false;
  }
  return true;
}
