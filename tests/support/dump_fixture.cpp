#include "support/dump_fixture.h"

std::string DumpFixture::script_bytes() {
  sink.flush();
  return script.contents();
}

std::string DumpFixture::script_text() {
  std::string text;
  for (char c : script_bytes())
    if (c != '\r') text += c;
  return text;
}
