// Key scripts of the headless runner: any text is either read into keys,
// waits and answers, or refused with a line number and a reason.
#include <string>

#include "fuzz_check.h"
#include "platform/headless/script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  ScriptError error;
  auto script = parse_script(text, error);
  if (!script) {
    FUZZ_CHECK(error.line >= 1 && !error.reason.empty());
    return 0;
  }
  // Keys come in the order of time, each a key code with known modifiers.
  int64_t last = 0;
  for (const ScriptKey& k : script->keys) {
    FUZZ_CHECK(k.at_ms >= last);
    FUZZ_CHECK(k.key.code >= 1 && k.key.code <= 254);
    FUZZ_CHECK(k.key.shift >= 0 && k.key.shift <= 7);
    last = k.at_ms;
  }
  FUZZ_CHECK(script->end_ms >= last);
  for (const std::string& answer : script->answers) FUZZ_CHECK(answer.find('\n') == std::string::npos);
  return 0;
}
