#include "rig.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "levels/mapfile.h"
#include "menus/startup.h"
#include "play/waits.h"

namespace {

std::string num(int n) { return (n >= 0 ? " " : "") + std::to_string(n) + " "; }

using Triggers = std::vector<std::pair<std::string, std::function<void()>>>;

class KeptTranscript : public TranscriptPort {
 public:
  KeptTranscript(EventsPort& clock, std::vector<std::string>& lines, Triggers& triggers)
      : clock_(clock), lines_(lines), triggers_(triggers) {}
  void record(const char* kind, const std::string& text) override {
    char t[32];
    int64_t ms = clock_.now_ms();
    std::snprintf(t, sizeof t, "%lld.%03lld ", static_cast<long long>(ms / 1000), static_cast<long long>(ms % 1000));
    lines_.push_back(t + std::string(kind) + ": " + text);
    for (auto& [said, then] : triggers_)
      if (then && std::string(kind) == "say" && said == text) std::exchange(then, nullptr)();
  }

 private:
  EventsPort& clock_;
  std::vector<std::string>& lines_;
  Triggers& triggers_;
};

Script parse_or_fail(const std::string& text) {
  ScriptError error;
  auto s = parsescript(text, error);
  EXPECT_TRUE(s.has_value()) << "script line " << error.line << ": " << error.reason;
  return s ? *s : Script{};
}

}  // namespace

MapText& MapText::put(int x, int y, int tile, int tile2, std::string tvar1, int tvar2, int tvar3, int locked) {
  cells[{x, y}] = {num(tile), num(tile2), tvar1, num(tvar2), num(tvar3), num(locked)};
  return *this;
}

std::string MapText::text() const {
  std::vector<std::string> l = {title, description, num(width), num(height), num(startx), num(starty), num(startdir),
                                num(energy)};
  for (int x = 1; x <= width; ++x)
    for (int y = 1; y <= height; ++y) {
      auto it = cells.find({x, y});
      if (it == cells.end()) {
        for (int k = 0; k < 6; ++k) l.push_back(" 0 ");
      } else {
        for (const auto& v : it->second) l.push_back(v);
      }
    }
  l.push_back(story);
  if (header)
    l.push_back(
        "===For customizing your challenge map, leave the first line exactly as it is, and change the second line to "
        "what you want the game to say in its place.===");
  for (const auto& p : pairs) {
    l.push_back(p.first);
    l.push_back(p.second);
  }
  std::string out;
  for (const auto& s : l) out += s + "\r\n";
  return out;
}

Rig::Rig(const std::string& script) {
  for (const auto& e : std::filesystem::directory_iterator(dir() / "challenges")) std::filesystem::remove(e.path());
  events_ = std::make_unique<VirtualEvents>(parse_or_fail(script));
  transcript_ = std::make_unique<KeptTranscript>(*events_, lines_, triggers_);
  sound_ = std::make_unique<VirtualSound>(*events_);
  dialogs_ = std::make_unique<ScriptedDialogs>(events_->answers());
  files_ = std::make_unique<PosixFiles>(dir().string());
  game_ = std::make_unique<Game>(
      Ports{speech_, *sound_, music_, surface_, *dialogs_, *events_, *files_, *transcript_});
  game_->rng.seed(7);
}

Rig::~Rig() = default;

void Rig::write(const std::string& rel, const std::string& text) { folder_.write(rel, text); }

void Rig::load(const MapText& map) {
  EXPECT_TRUE(Form_Load(*game_));
  write("challenges/test.txt", map.text());
  EXPECT_TRUE(mapload(*game_, "test.txt"));
  lines_.clear();
}

void Rig::run() {
  events_->start_script();
  try {
    runloop(*game_);
  } catch (const ProgramExit&) {
  }
}

std::vector<std::string> Rig::lines(const std::string& kind) const {
  if (kind.empty()) return lines_;
  std::vector<std::string> out;
  std::string tag = " " + kind + ": ";
  for (const auto& l : lines_) {
    size_t at = l.find(tag);
    if (at != std::string::npos && l.find(' ') == at) out.push_back(l.substr(at + tag.size()));
  }
  return out;
}

std::string Rig::all() const {
  std::string out;
  for (const auto& l : lines_) out += l + "\n";
  return out;
}

bool Form_Load_for_test(Rig& r) {
  bool ok = Form_Load(r.g());
  r.forget();
  return ok;
}

void Rig::when_said(const std::string& text, std::function<void()> then) { triggers_.emplace_back(text, std::move(then)); }

