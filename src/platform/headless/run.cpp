#include "platform/headless/run.h"

#include <fstream>
#include <iostream>
#include <sstream>

#include "game/game.h"
#include "platform/brlapi/system_braille.h"
#include "platform/headless/headless.h"
#include "platform/posix/posix_files.h"
#include "platform/session.h"

int run_headless(const Options& o, const FilePlaces& places, std::FILE* out, SpeechPort* speech,
                 SystemBraille* braille) {
  Script script;
  if (!o.script.empty()) {
    std::ifstream in(o.script, std::ios::binary);
    if (!in) {
      std::cerr << "tinkerhold: cannot read the script " << o.script << "\n";
      return 2;
    }
    std::stringstream text;
    text << in.rdbuf();
    ScriptError error;
    auto parsed = parsescript(text.str(), error);
    if (!parsed) {
      std::cerr << "tinkerhold: " << o.script << ", line " << error.line << ": " << error.reason << "\n";
      return 2;
    }
    script = std::move(*parsed);
  }
  VirtualEvents events(std::move(script));
  PrintedTranscript transcript(events, out);
  // A real voice is heard at the pace of the script; otherwise speech is
  // only recorded.
  RecordedSpeech recorded;
  if (speech || braille) events.pace_with_wall_clock();
  RecordedBraille shown(transcript, o.braille_transcript, braille);
  std::unique_ptr<EventsPort> pump;
  if (braille) pump = std::make_unique<BrailleKeysEvents>(events, *braille);
  VirtualSound sound(events);
  VirtualMusic music;
  NullSurface surface;
  ScriptedDialogs dialogs(events.answers());
  PosixFiles files(places);
  Game g(Ports{speech ? *speech : recorded, sound, music, surface, dialogs, pump ? *pump : events, files, transcript,
               shown});
  g.rng.seed(o.seed.value_or(clock_seed()));
  int status = run_session(g, o, [&events] { events.start_script(); });
  std::fflush(out);
  return status;
}
