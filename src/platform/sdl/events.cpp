#include "platform/sdl/events.h"

#include <algorithm>

#include "platform/sdl/keymap.h"

namespace {

// Shift, Ctrl and Alt on their own do nothing in the game, and passing them
// on would end a review of past messages just before Shift+"]" could step
// it by five; their work is the mask of the key they are held with.
bool modifier_only(int code) {
  return code == 16 || code == 17 || code == 18 || code == 20 || code == 91 || code == 92 || code == 144;
}

}  // namespace

KeyEvent key_event(const SDL_KeyboardEvent& e) { return KeyEvent{virtual_key(e.keysym), modifier_mask(e.keysym.mod)}; }

SdlEvents::SdlEvents(SdlScreen& screen) : screen_(screen), start_(SDL_GetTicks64()) {}

int64_t SdlEvents::now_ms() { return static_cast<int64_t>(SDL_GetTicks64() - start_); }

void SdlEvents::take(const SDL_Event& e) {
  switch (e.type) {
    case SDL_QUIT:
      throw ProgramExit{0};
    case SDL_WINDOWEVENT:
      screen_.window_event(e.window);
      break;
    case SDL_KEYDOWN: {
      // Held keys repeat as further presses, as players expect of an arrow.
      KeyEvent k = key_event(e.key);
      if (k.code == 0 || modifier_only(k.code)) break;
      // The moment it was pressed, on the game's clock.
      int64_t age = static_cast<int32_t>(SDL_GetTicks() - e.key.timestamp);
      keys_.push_back({k, now_ms() - std::max<int64_t>(age, 0)});
      break;
    }
    default:
      break;
  }
}

std::optional<KeyEvent> SdlEvents::wait(int64_t deadline_ms) {
  if (!posted_.empty()) {
    KeyEvent k = posted_.front().key;
    posted_.pop_front();
    return k;
  }
  for (;;) {
    // One key at a time: what follows it stays queued for whoever reads
    // next, such as an input box the key opens.
    if (!keys_.empty()) {
      // A key pressed after the deadline waits for the next call, so that
      // timers due before it run first.
      if (keys_.front().at_ms > deadline_ms) return std::nullopt;
      KeyEvent k = keys_.front().key;
      keys_.pop_front();
      return k;
    }
    // Waiting pumps the window's events itself, before it sleeps and as it
    // wakes: each pump asks the display several times, so an idle tick
    // pumps twice and no more.
    SDL_Event e;
    int64_t left = deadline_ms - now_ms();
    if (left <= 0) {
      if (SDL_PollEvent(&e)) {
        take(e);
        continue;
      }
      screen_.flush();
      return std::nullopt;
    }
    screen_.flush();
    ++sleeps_;
    if (SDL_WaitEventTimeout(&e, static_cast<int>(std::min<int64_t>(left, 1000)))) {
      take(e);
    } else if (now_ms() >= deadline_ms) {
      return std::nullopt;
    }
  }
}
