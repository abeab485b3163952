#pragma once

// Two ways of numbering a place in the image. Banks are 8-bit values, addresses 16-bit.

// LoROM: 32 KiB of the image per bank, at addresses 0x8000-0xFFFF.
inline constexpr int kBankSize = 0x8000;

// Byte offset in the image file. Bank 0 with an address below 0x8000 gives a negative
// offset.
constexpr int image_offset(int bank, int address) {
  return bank * kBankSize + address - 0x8000;
}

// The number marks are kept under. It runs straight on through a window, so past address
// 0xFFFF it reaches the next bank's 0x0000-0x7FFF: not that byte's own address, but the
// same number whenever the byte is reached from a window loaded for the same bank.
constexpr int linear_address(int bank, int address) {
  return bank * 0x10000 + address;
}
