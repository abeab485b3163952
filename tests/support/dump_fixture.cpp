#include "support/dump_fixture.h"

#include <climits>

#include "support/expected_text.h"

std::string DumpFixture::script_bytes() {
  sink.flush();
  return script.contents();
}

std::string DumpFixture::script_text() {
  return lf_only(script_bytes());
}

void mark(MarkMap& marks, int linear, MarkKind kind) {
  switch (kind) {
    case MARK_DUMPED:
      return marks.mark_dumped(linear);
    case MARK_FIRST:
      return marks.mark_first(linear);
    case MARK_TARGET:
      return marks.mark_target(linear);
  }
}

bool marked(const MarkMap& marks, int linear, MarkKind kind) {
  switch (kind) {
    case MARK_DUMPED:
      return marks.was_dumped(linear);
    case MARK_FIRST:  // no range [linear, linear + 1) ends past the largest int
      return linear < INT_MAX && marks.next_first(linear, linear + 1) == linear;
    case MARK_TARGET:
      return marks.is_target(linear);
  }
  return false;
}

long marked_places(const MarkMap& marks) {
  long count = 0;
  for (int at = 0; at < MarkMap::kSize; ++at)
    count += marks.is_target(at) || marks.was_dumped(at) || marked(marks, at, MARK_FIRST);
  return count;
}
