#include <iostream>

#include "platform/windowed.h"

int run_windowed(const Options&, const std::string&) {
  std::cerr << "tinkerhold: this build has no window yet; run it with --headless\n";
  return 2;
}
