// What the sample image holds: its file blocks and the file index entries that name them.
// Plain data only; make_sample_image turns it into bytes, the end-to-end test reads it for
// its counts. Every block here is named by the file index, by the dumper's fixed block list,
// or by both, so the dumper visits each of them exactly once.
#pragma once

#include <string_view>
#include <vector>

namespace sample {

// A file block at a LoROM place. Each string is written with its characters standing for their
// own codes (the sample table maps ASCII to itself) and {XX ...} for raw bytes; each string
// carries its own end code, {D0} or {FF}.
struct Block {
  int bank;
  int address;
  std::vector<std::string_view> strings;
};

inline const std::vector<Block> blocks = {
    // Bank 0x00. The fixed blocks from 0xE921 on lie 12 bytes apart: a one-entry offset table
    // and a string of at most 10 bytes each (0xE951 has 24 bytes, up to 0xE969).
    {0x00, 0x9400, {"Welcome to Gull Point.{FF}", "Mind the steps, they are wet.{FF}"}},
    {0x00,
     0xC373,
     {"Tide table{FF}", "High water at 6.{FE}Low water at noon.{FF}",
      "{BF 01}'s log, day {BF 09}.{D0}"}},
    {0x00,
     0xCC11,
     {"Keeper's rules{FF}", "1. Trim the wick.{FE}2. Wind the clock.{FE}3. Never sleep.{FF}"}},
    {0x00, 0xE50F, {"Supplies{FF}", "{C0 10}{C0 11} ready{FF}"}},
    {0x00, 0xE921, {"Oak door{FF}"}},
    {0x00, 0xE92D, {"Old key{FF}"}},
    {0x00, 0xE939, {"Rope{D0}"}},
    {0x00, 0xE945, {"Sea chart{FF}"}},
    {0x00, 0xE951, {"Salt{FE}and pepper{FF}"}},
    {0x00, 0xE969, {"Bread{FF}"}},
    {0x00, 0xE975, {"Tea{D0}"}},
    {0x00, 0xE981, {"{D1}Candle{FF}"}},
    {0x00, 0xE98D, {"Net*2{FF}"}},
    {0x00, 0xE999, {"Compass{FF}"}},
    {0x00, 0xE9A5, {"{F4}Boots{FF}"}},
    {0x00, 0xE9B1, {"Coat{FA}{FF}"}},
    {0x00, 0xE9BD, {"Hook{FF}"}},
    {0x00, 0xE9C9, {"Bell{D0}"}},
    {0x00, 0xE9D5, {"Pail{FF}"}},
    {0x00, 0xE9E1, {"Spade{FF}"}},
    {0x00, 0xE9ED, {"Twine{FF}"}},
    {0x00, 0xE9F9, {"Tin cup{FF}"}},
    {0x00, 0xEA05, {"Lantern{FF}"}},

    // Bank 0x05 has no region: its first string is written once, as a comment.
    {0x05, 0x8000, {"Fog rolls in.{FF}", "{F5}{C8 20}{FF}"}},

    // Bank 0x07: every byte class of the encoding, with and without table text.
    {0x07,
     0x9000,
     {"The lamp is lit.{FF}", "{BF 01} climbs the {BF 05} stairs.{FE}{F0 00}Wind rises.{D0}",
      "{D1}Slowly{D2}, then fast.{E0}{FE}{F1 01}Red{F1 07}?{F0 1E}{F3 02}{FF}",
      "{C0 10}{C1 11 12}{C8 20}{CA 21 22 05}{F4}{FA}{05}{FF}", "Good night.{D0}"}},
    {0x07, 0xC000, {"The boat is late.{FF}", "Maybe tomorrow.{D0}"}},
    // Bank 0x08 lies in the image bytes that bank 0x07's region covers, but is not its bank.
    {0x08, 0x8000, {"Gulls circle the rock.{FF}"}},

    {0x10, 0x8800, {"The bell rings twice.{FF}", "Someone is at the door.{FF}"}},
    {0x10, 0xA000, {"Pantry{FF}", "Three tins of beans.{FF}"}},
    {0x10, 0xB2CA, {"Workshop{FF}", "A saw, a plane, a vice.{FF}"}},
    {0x1C,
     0xC000,
     {"Storm warning!{FF}", "Close the shutters.{FE}Bring in the nets.{D0}",
      "{F1 02}Blue{F5} sky by evening.{FF}"}},
    {0x21, 0xB000, {"A letter from the mainland.{FF}", "Dear {BF 01}, we miss you.{FF}"}},
    {0x30, 0xF000, {"The stove is cold.{FF}", "Fetch more wood.{FF}"}},
    {0x35, 0x8000, {"Low tide (again).{FF}", "Crabs: 4; shells: 12.{FF}"}},
    {0x38, 0x90D2, {"Attic{FF}", "Dust and old maps.{D0}"}},
    {0x38, 0xA123, {"A ship's horn!{FF}", "{F0 00}It passes by.{FF}"}},
    {0x3B, 0x8100, {"The logbook is full.{FF}", "Start a new one.{FF}"}},
    // The second string starts past address 0xFFFF, in the image bytes of bank 0x3C.
    {0x3B, 0xFFF4, {"Dawn at{FF}", "The end.{FF}"}},
    {0x3E, 0x9000, {"Notes for the next keeper.{FF}", "Good luck.{D0}"}},
};

// A file index entry that points at a block; every other entry points at a record holding
// address 0, bank 0, which the dumper skips.
struct IndexEntry {
  int number;  // position in the index, 0-278
  int bank;
  int address;
};

inline const std::vector<IndexEntry> index_entries = {
    {0, 0x07, 0xC000},   {3, 0x00, 0x9400},   {8, 0x05, 0x8000},
    {17, 0x00, 0xE945},  // also on the fixed block list
    {25, 0x10, 0x8800},  {40, 0x1C, 0xC000},  {64, 0x21, 0xB000},
    {99, 0x30, 0xF000},  {120, 0x10, 0x8800},  // the same block as entry 25
    {130, 0x35, 0x8000}, {150, 0x07, 0x9000}, {160, 0x38, 0xA123},
    {200, 0x3B, 0x8100}, {201, 0x3B, 0xFFF4}, {230, 0x08, 0x8000},
    {278, 0x3E, 0x9000},
};

}  // namespace sample
