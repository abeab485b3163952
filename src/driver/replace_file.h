#pragma once

// Renames `from` over `to`, replacing the file there in one step: a reader sees the old
// file or the new one, never part of one. False if it failed; both files are then as
// they were.
bool replace_file(const char* from, const char* to);
