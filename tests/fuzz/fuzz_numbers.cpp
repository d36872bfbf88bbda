// The number rule, the period rule and the level tokens, and the arithmetic
// that uses their values.
#include <limits>
#include "engine/period.h"

#include "actions/action.h"
#include "engine/clock.h"
#include "engine/engine.h"
#include "engine/text_util.h"
#include "fuzz_support.h"
#include "engine/log_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text = orv::fuzz::text(data, size);
  int64_t n = orv::numberValue(text);
  orv::decimal(n);
  orv::saturatingMul(n, 1000);
  orv::saturatingMul(n, 1024);
  orv::Engine engine;  // no run log path: the period rule's lines go nowhere
  int64_t seconds = orv::parsePeriod(engine, orv::firstChars(orv::toLower(text), 50));
  orv::saturatingAdd(n, seconds);
  orv::saturatingMul(seconds, 1000);
  if (orv::clock::dateNumberInRange(n)) orv::clock::fromDateNumber(n);
  orv::clock::fromDateNumber(n);
  orv::levelStyle(text, static_cast<int8_t>(n));
  return 0;
}
