#include "platform/brlapi/system_braille.h"

#include "platform/brlapi/brlapi_display.h"

std::unique_ptr<SystemBraille> make_system_braille() { return std::make_unique<BrlapiDisplay>(); }
