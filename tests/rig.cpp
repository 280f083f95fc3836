#include "rig.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "levels/mapfile.h"
#include "play/startup.h"
#include "state/waits.h"

namespace {

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
  auto s = parse_script(text, error);
  EXPECT_TRUE(s.has_value()) << "script line " << error.line << ": " << error.reason;
  return s ? *s : Script{};
}

}  // namespace

Rig::Rig(const std::string& script, SpeechPort* speech)
    : events_(std::make_unique<VirtualEvents>(parse_or_fail(script))),
      ports_(make_headless_ports(*events_, dir().string())) {
  ports_.make<KeptTranscript>(*events_, lines_, triggers_);
  if (speech) ports_.use(*speech);
  game_ = std::make_unique<Game>(ports_.ports());
  game_->rng.seed(7);
}

Rig::~Rig() = default;

void Rig::write(const std::string& rel, const std::string& text) { folder_.write(rel, text); }

void Rig::load(const std::string& room) {
  EXPECT_TRUE(start_game(*game_));
  write("challenges/test.txt", room_map(room));
  EXPECT_TRUE(load_challenge(*game_, "test.txt"));
  lines_.clear();
}

void Rig::run() {
  events_->start_script();
  try {
    run_loop(*game_);
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
  bool ok = start_game(r.g());
  r.forget();
  return ok;
}

void Rig::when_said(const std::string& text, std::function<void()> then) { triggers_.emplace_back(text, std::move(then)); }

