#pragma once

#include "decode/script_sink.h"
#include "rom/rom_window.h"
#include "table/text_table.h"

// Renders the string at the window's cursor into the script, through the table, and
// leaves the cursor just past its end code (0xD0 or 0xFF). A string has no length limit
// of its own: past the window's end every byte reads as 0xFF, which ends it.
void decode_string(RomWindow& window, const TextTable& table, ScriptSink& script);

// Code `code` as a character: its text, or "<$%02X>" with the raw byte it came from.
void render_char(const TextTable& table, ScriptSink& script, int code, int raw);
// A single control: its text, or "<CODE %02X>".
void render_code(const TextTable& table, ScriptSink& script, int code);
// A control with a parameter, code hi * 0x100 + param: its text; else the text of hi
// followed by "<$%02X>" with the parameter; else "<CODE %02X><$%02X>".
void render_code(const TextTable& table, ScriptSink& script, int hi, int param);
