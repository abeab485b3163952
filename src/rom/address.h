#pragma once

// Two ways of numbering a place in the image. Banks are 8-bit values, addresses 16-bit.

// Byte offset in the image file. LoROM: 32 KiB per bank, addresses 0x8000-0xFFFF.
// Bank 0 with an address below 0x8000 gives a negative offset.
constexpr int image_offset(int bank, int address) {
  return bank * 0x8000 + address - 0x8000;
}

// The number marks are kept under. It runs straight on through a window, so past address
// 0xFFFF it reaches the next bank's 0x0000-0x7FFF: not that byte's own address, but the
// same number whenever the byte is reached from a window loaded for the same bank.
constexpr int linear_address(int bank, int address) {
  return bank * 0x10000 + address;
}
