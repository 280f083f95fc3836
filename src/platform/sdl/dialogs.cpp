#include "platform/sdl/dialogs.h"

#include "levels/encoding.h"
#include "ports/events_port.h"

namespace {

bool closing_repeat(const SDL_KeyboardEvent& k) {
  SDL_Keycode c = k.keysym.sym;
  return k.repeat && (c == SDLK_RETURN || c == SDLK_KP_ENTER || c == SDLK_ESCAPE || c == SDLK_SPACE);
}

// Hides the box when it closes, however it closes.
struct ShownBox {
  SdlScreen& screen;
  ShownBox(SdlScreen& s, const DialogView& v) : screen(s) { screen.show_dialog(&v); }
  ~ShownBox() {
    screen.show_dialog(nullptr);
    screen.flush();
  }
};

}  // namespace

std::string spoken_character(const std::string& text) {
  if (text == " ") return "space";
  if (text == ".") return "dot";
  if (text == ",") return "comma";
  if (text == "-") return "dash";
  return text;
}

SDL_Event SdlDialogs::next_event() {
  for (;;) {
    screen_.flush();
    SDL_Event e;
    if (!SDL_WaitEvent(&e)) continue;
    if (e.type == SDL_QUIT) throw ProgramExit{0};
    if (e.type == SDL_WINDOWEVENT) {
      screen_.window_event(e.window);
      continue;
    }
    return e;
  }
}

std::string SdlDialogs::input(const std::string& prompt, const std::string& title,
                              const std::string& default_answer) {
  DialogView view{true, title, prompt, default_answer, !default_answer.empty()};
  ShownBox shown(screen_, view);
  SDL_StartTextInput();
  struct StopText {
    ~StopText() { SDL_StopTextInput(); }
  } stop_text;
  say(default_answer.empty() ? prompt : prompt + "  " + default_answer);
  for (;;) {
    SDL_Event e = next_event();
    if (e.type == SDL_TEXTINPUT) {
      if (view.selected) view.answer.clear();
      view.selected = false;
      view.answer += e.text.text;
      say(spoken_character(e.text.text));
    } else if (e.type == SDL_KEYDOWN && !closing_repeat(e.key)) {
      switch (e.key.keysym.sym) {
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
          return view.answer;
        case SDLK_ESCAPE:
          return "";
        case SDLK_BACKSPACE:
        case SDLK_DELETE: {
          if (view.answer.empty()) {
            say("Blank");
            break;
          }
          size_t cut = view.selected ? 0 : last_character_start(view.answer);
          std::string removed = view.answer.substr(cut);
          view.answer.erase(cut);
          view.selected = false;
          say(spoken_character(removed));
          break;
        }
        case SDLK_UP:
        case SDLK_DOWN:
          say(view.answer.empty() ? prompt : prompt + "  " + view.answer);
          break;
        case SDLK_LEFT:
        case SDLK_RIGHT:
        case SDLK_HOME:
        case SDLK_END:
          view.selected = false;
          say(view.answer.empty() ? "Blank" : view.answer);
          break;
        default:
          continue;
      }
    } else {
      continue;
    }
    screen_.show_dialog(&view);
  }
}

void SdlDialogs::message(const std::string& text) {
  DialogView view{false, "", text, "", false};
  ShownBox shown(screen_, view);
  say(text);
  for (;;) {
    SDL_Event e = next_event();
    if (e.type != SDL_KEYDOWN || closing_repeat(e.key)) continue;
    SDL_Keycode c = e.key.keysym.sym;
    if (c == SDLK_RETURN || c == SDLK_KP_ENTER || c == SDLK_SPACE || c == SDLK_ESCAPE) return;
    if (c == SDLK_UP || c == SDLK_DOWN || c == SDLK_LEFT || c == SDLK_RIGHT) say(text);
  }
}
