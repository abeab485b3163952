#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "driver/run.h"
#include "dump/dump_context.h"
#include "support/captured_file.h"
#include "support/image_builder.h"

// The kinds of mark the block dump sets, for tables of expected marks.
enum MarkKind : std::uint8_t { MARK_DUMPED, MARK_FIRST, MARK_TARGET };
void mark(MarkMap& marks, int linear, MarkKind kind);
bool marked(const MarkMap& marks, int linear, MarkKind kind);
// How many linear addresses hold a mark of any kind.
long marked_places(const MarkMap& marks);

// A dump pass's whole world, with its own stores, over an image built by the test.
struct DumpFixture {
  explicit DumpFixture(const ImageBuilder& image)
      : stores(std::make_unique<DumpStores>()),
        image_file(image.to_file()),
        sink(script.get()),
        ctx{image_file, stores->window, stores->marks, stores->renderings, sink, console.get()} {
    stores->renderings.build(stores->table);
  }
  ~DumpFixture() { std::fclose(image_file); }

  void define(int code, const std::string& text) {
    stores->table.set(code, text);
    stores->renderings.build(stores->table);
  }
  // The script so far, with CR LF shown as LF so expectations read naturally.
  std::string script_text();
  std::string script_bytes();
  std::string console_text() { return console.contents(); }
  bool marked(int linear, MarkKind kind) const { return ::marked(stores->marks, linear, kind); }

  std::unique_ptr<DumpStores> stores;
  std::FILE* image_file;
  CapturedFile script;
  CapturedFile console;
  ScriptSink sink;
  DumpContext ctx;
};
