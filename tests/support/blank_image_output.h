#pragma once

#include <string>

// What a DUMP_TEXT run writes for an image that holds no text at all (every byte 0xFF, or
// nothing: past the image's end reads 0xFF). Each block the plan dumps then has an offset
// table of 0xFFFF words reaching to the window's end, so it writes no string and ends with
// the missed warning; the region sections hold only their opening lines.
struct BlankImageOutput {
  std::string script;   // exact bytes, CR LF line ends
  std::string console;  // standard output after the table message, if any
};

// `index_names_sentinel_block`: an index of 0xFFFF entries points every record past the
// index window, so each record reads as bank 0xFF, address 0xFFFF, a block dumped once.
// An index whose records hold bank 0 and address 0 names no block.
BlankImageOutput blank_image_output(bool index_names_sentinel_block);
