#pragma once

#include <memory>
#include <string>

#include "driver/run.h"
#include "dump/dump_context.h"
#include "support/captured_file.h"
#include "support/image_builder.h"

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
  bool marked(int linear, std::uint8_t bits) const { return stores->marks.test(linear, bits); }

  std::unique_ptr<DumpStores> stores;
  std::FILE* image_file;
  CapturedFile script;
  CapturedFile console;
  ScriptSink sink;
  DumpContext ctx;
};
