#pragma once

#include <array>

// Where the image keeps its text, beyond what its file index names.

struct BlockAt {
  int bank;
  int address;
};

struct Region {
  int bank;        // the window starts at this bank's address 0x8000 and spans two banks
  int free_start;  // image offsets of the bank's free space, for the inserter
  int free_end;
};

// Dumped in this order after the index's blocks, each with index 0.
// From 0xE921 on the bank-0 blocks lie 12 bytes apart, but none is at 0xE95D.
inline constexpr std::array<BlockAt, 25> kFixedBlocks = {{
    {0x00, 0xC373}, {0x00, 0xCC11}, {0x00, 0xE50F}, {0x00, 0xE921}, {0x00, 0xE92D},
    {0x00, 0xE939}, {0x00, 0xE945}, {0x00, 0xE951}, {0x00, 0xE969}, {0x00, 0xE975},
    {0x00, 0xE981}, {0x00, 0xE98D}, {0x00, 0xE999}, {0x00, 0xE9A5}, {0x00, 0xE9B1},
    {0x00, 0xE9BD}, {0x00, 0xE9C9}, {0x00, 0xE9D5}, {0x00, 0xE9E1}, {0x00, 0xE9ED},
    {0x00, 0xE9F9}, {0x00, 0xEA05}, {0x10, 0xA000}, {0x10, 0xB2CA}, {0x38, 0x90D2},
}};

// Region sections, written in this order after all blocks.
inline constexpr std::array<Region, 8> kRegions = {{
    {0x00, 0x583D, 0x650E},
    {0x07, 0x3944F, 0x39656},
    {0x10, 0x85BAA, 0x86521},
    {0x1C, 0xE4B50, 0xE516E},
    {0x30, 0x184DE8, 0x185602},
    {0x35, 0x1A807C, 0x1A8839},
    {0x38, 0x1C1170, 0x1C1A79},
    {0x3B, 0x1DA36A, 0x1DB56D},
}};

// The file index: 279 little-endian words from window offset 0x8000 of the window at
// image offset 0x198000 (bank 0x33), each the window offset of a file's record. The
// record's bytes 37-39 are the file's block pointer: a 16-bit address, then the bank.
inline constexpr long kIndexWindowOffset = 0x198000;
inline constexpr int kIndexStart = 0x8000;
inline constexpr int kIndexEntries = 279;
inline constexpr int kRecordPointer = 37;
