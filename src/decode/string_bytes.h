#pragma once

#include <cstdint>
#include <vector>

#include "rom/rom_window.h"

// The bytes the decoder reads for the string at window offset `start`, into `bytes`: every
// token up to and with its end code, and 0xFF for each byte read past the window's end.
// Returns the window offset just past the string, as the decoder leaves its cursor.
int read_string_bytes(const RomWindow& window, int start, std::vector<std::uint8_t>& bytes);
