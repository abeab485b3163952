#pragma once

// Compiler-specific spellings, so that the sources stay plain C++20 for any compiler.

// Keeps a rarely taken path out of line, so that the common path around it can inline.
#if defined(__GNUC__) || defined(__clang__)
#define TEXTDUMP_NOINLINE [[gnu::noinline]]
#elif defined(_MSC_VER)
#define TEXTDUMP_NOINLINE __declspec(noinline)
#else
#define TEXTDUMP_NOINLINE
#endif
