#pragma once

#include <cstdio>

#include "table/token_tally.h"

// Writes to `console` one line per key that had no text, the most often met first and,
// among equals, the lower code first:
//   "\n[MISSING] KEY xCOUNT first @ LLLLLL"  (KEY "%02X" below 0x100, else "%04X")
// then the closing line, P being the share of the renderings that had text:
//   "\n[SUMMARY] B blocks, S strings, T tokens, P% from the table"
void write_tally_report(const TokenTally& tally, std::FILE* console);
