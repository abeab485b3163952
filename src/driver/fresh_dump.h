#pragma once

#include <cstdio>

#include "driver/console.h"
#include "driver/run.h"
#include "script/script_sink.h"

// The script DUMP_TEXT writes today, header and whole dump, into `script`, its progress lines
// and warnings to `console` if given. Marks the dumped blocks in `stores`. False if a read of
// the image failed: the dump stopped there.
bool write_fresh_dump(std::FILE* image, DumpStores& stores, ScriptSink& script, Console* console);
