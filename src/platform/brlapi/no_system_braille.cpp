#include "platform/brlapi/system_braille.h"

namespace {

// Built without BrlAPI: no display.
class NoSystemBraille : public SystemBraille {
 public:
  bool open() override { return false; }
  void show(const std::string&) override {}
  void close() override {}
  void follow_keys() override {}
};

}  // namespace

std::unique_ptr<SystemBraille> make_system_braille() { return std::make_unique<NoSystemBraille>(); }
