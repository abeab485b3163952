#pragma once

#include <string>

// Faults injected into the real tool's system calls by strace: a write that finds the disk
// full, a read that fails, a kill at a chosen moment. POSIX only.

// Whether strace is installed and may trace a child here. Tests skip without it; where
// TEXTDUMP_REQUIRE_STRACE is set (CI sets it), its absence fails the calling test.
bool can_inject_faults();

// The start of a shell line that runs the rest of the line under strace, which applies
// `inject` (a value for strace's `-e inject=`, such as "write:error=ENOSPC:when=2") to the
// system calls that name `path` or a descriptor open on it (every call if `path` is
// empty). A descriptor is followed only when the file exists before the run starts.
std::string with_fault(const std::string& path, const std::string& inject);
