#pragma once

// Renames `from` over `to`, replacing the file there in one step: a reader sees the old
// file or the new one, never part of one. The file that was at `to`, if any, is kept as
// `backup`, replacing an older one; `backup` is at every moment absent or a whole earlier
// file. False if it failed; all three are then as they were. On the way it may use the
// names `backup`.new and `backup`.old, which a killed run may leave and the next one
// removes.
bool replace_file(const char* from, const char* to, const char* backup);

// Renames `from` over `to`, replacing the file there in one step, with no backup. False if it
// failed; both are then as they were.
bool rename_over(const char* from, const char* to);
