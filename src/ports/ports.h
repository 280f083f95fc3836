// The ports a game reaches the platform through, and the one owner that
// keeps a set of them for as long as the game lives.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "ports/braille_port.h"
#include "ports/dialogs_port.h"
#include "ports/events_port.h"
#include "ports/files_port.h"
#include "ports/music_port.h"
#include "ports/sound_port.h"
#include "ports/speech_port.h"
#include "ports/surface_port.h"
#include "ports/transcript_port.h"

struct Ports {
  SpeechPort& speech;
  SoundPort& sound;
  MusicPort& music;
  SurfacePort& surface;
  DialogsPort& dialogs;
  EventsPort& events;
  FilesPort& files;
  TranscriptPort& transcript;
  BraillePort& braille;
};

// A game's ports, one in each place: those the set made (and keeps until it
// goes, the last made going first) and those a caller lends it. A port put
// in a place takes over from the one there before. The sets the game runs
// on are made by make_null_ports (ports/null_ports.h), make_headless_ports
// (the headless platform) and open_windowed (the window).
class PortSet {
 public:
  PortSet() = default;
  PortSet(PortSet&&) = default;
  PortSet& operator=(PortSet&&) = delete;
  ~PortSet() {
    while (!kept_.empty()) kept_.pop_back();
  }

  // Makes a port the set keeps, and puts it in its place.
  template <class Port, class... Args>
  Port& make(Args&&... args) {
    return own(std::make_unique<Port>(std::forward<Args>(args)...));
  }
  template <class Port>
  Port& own(std::unique_ptr<Port> port) {
    Port& p = *port;
    kept_.emplace_back(std::move(port));
    use(p);
    return p;
  }
  // Puts a port the caller keeps (for longer than the game) in its place.
  void use(SpeechPort& p) { speech_ = &p; }
  void use(SoundPort& p) { sound_ = &p; }
  void use(MusicPort& p) { music_ = &p; }
  void use(SurfacePort& p) { surface_ = &p; }
  void use(DialogsPort& p) { dialogs_ = &p; }
  void use(EventsPort& p) { events_ = &p; }
  void use(FilesPort& p) { files_ = &p; }
  void use(TranscriptPort& p) { transcript_ = &p; }
  void use(BraillePort& p) { braille_ = &p; }

  // Every place filled, for a game.
  Ports ports() const {
    return Ports{*speech_, *sound_, *music_, *surface_, *dialogs_, *events_, *files_, *transcript_, *braille_};
  }

 private:
  std::vector<std::shared_ptr<void>> kept_;
  SpeechPort* speech_ = nullptr;
  SoundPort* sound_ = nullptr;
  MusicPort* music_ = nullptr;
  SurfacePort* surface_ = nullptr;
  DialogsPort* dialogs_ = nullptr;
  EventsPort* events_ = nullptr;
  FilesPort* files_ = nullptr;
  TranscriptPort* transcript_ = nullptr;
  BraillePort* braille_ = nullptr;
};
