#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "decode/string_encoder.h"
#include "script/script_reader.h"

// How a string of an edited script stands to the image's string it is paired with. The
// script check reports on it; the update renders anew the strings that are still the
// image's own text.

// True if the text of `string` is `rendering` as DUMP_TEXT wrote it (line ends aside): its
// lines, with the line ends after the end code and the empty lines at the text's end left
// off. An empty line within the text is an edit.
bool is_as_dumped(std::string_view rendering, const ScriptString& string);

// True if `lines` encode with no problem to exactly `bytes`, the image's string: the text
// gives the image's own bytes back. `encoding` is the encoder's room, which it keeps.
bool gives_back(const StringEncoder& encoder, std::span<const std::string_view> lines,
                std::span<const std::uint8_t> bytes, StringEncoding& encoding);
