// The speech daemon failing in the middle of a game, on a private daemon of
// each test's own: killed outright and started again only later, or frozen
// and then thawed. The game never waits on it for long, writes one
// debug-log line, drops what it cannot say, and the voice comes back by
// itself at the rate the player chose meanwhile.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <future>
#include <thread>

#include "audio/speech.h"
#include "levels/mapfile.h"
#include "platform/speechd/system_speech.h"
#include "play/keys.h"
#include "rig.h"
#include "speech_rig.h"

namespace {

#define NEEDS_SPEECH_SERVICES()                  \
  do {                                           \
    std::string why = speech_services_missing(); \
    if (!why.empty()) GTEST_SKIP() << why;       \
  } while (0)

// A 5 x 1 room to walk in, its cells named as the cursor moves.
void enter_room(SpeechGame& game) {
  game.dir().write("challenges/hall.txt", room_map("5x1 | . . . . 9=Bits"));
  ASSERT_TRUE(load_challenge(game.g(), "hall.txt"));
}

// The last thing the game said.
std::string last_said(const SpeechGame& game) {
  auto said = game.lines("say");
  return said.empty() ? "" : said.back();
}

// Steps the cursor to and fro, one step every half second, until the
// synthesiser hears one (for half a minute at most): the game tries the
// daemon again by itself, once its quiet interval is over. `tried` gets
// what each step said, squeezed as the log shows it.
Synthesis step_until_heard(SpeechGame& game, const SynthLog& log, std::vector<std::string>& tried) {
  Synthesis heard;
  auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (heard.said().empty() && std::chrono::steady_clock::now() < give_up) {
    room_key_down(game.g(), tried.size() % 2 == 0 ? kKeyLeft : kKeyRight, 0);
    tried.push_back(squeezed(last_said(game)));
    auto look_until = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    while (heard.said().empty() && std::chrono::steady_clock::now() < look_until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      heard = log.read();
    }
  }
  return heard;
}

// Waits (up to ten seconds) until the synthesiser has reported the rate of
// the first text it heard.
int first_rate(const SynthLog& log) {
  auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  for (;;) {
    auto rates = log.read().rates();
    if ((!rates.empty() && rates.front() > 0) || std::chrono::steady_clock::now() > give_up)
      return rates.empty() ? 0 : rates.front();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace

TEST(SpeechFaults, ADaemonKilledOutrightAndStartedLaterIsHeardAgainAtTheNewRate) {
  NEEDS_SPEECH_SERVICES();
  OwnDaemon daemon;
  ASSERT_TRUE(daemon.start());
  DaemonAddress address("unix_socket:" + (daemon.dir.dir() / "speechd.sock").string());
  SynthLog synth(daemon.dir.dir() / "log" / "espeak-ng.log");
  auto speech = make_system_speech();
  SpeechGame game(*speech);
  game.start();
  ASSERT_EQ(game.g().voice_ready, 1);
  ASSERT_EQ(synth.wait_for(1).said().size(), 1u) << "the greeting did not reach the daemon";
  const int rate_before = first_rate(synth);
  ASSERT_GT(rate_before, 0);
  enter_room(game);
  ASSERT_EQ(synth.wait_for(2).said().size(), 2u) << "the room did not reach the daemon";

  // Killed with no chance to say goodbye; the player walks on and speeds
  // the voice up while it is gone.
  daemon.kill(SIGKILL);
  ASSERT_TRUE(process_gone(daemon.pid));
  room_key_down(game.g(), kKeyRight, 0);
  room_key_down(game.g(), kKeyPageUp, 0);
  room_key_down(game.g(), kKeyRight, 0);
  EXPECT_EQ(game.g().cursor_x, 3);
  EXPECT_EQ(game.g().speech_rate, 3);
  EXPECT_EQ(game.dir().read_lines("debuglog.txt").size(), 1u);

  // Started again later on the same socket, as the desktop would. The game
  // tries again by itself, within its quiet interval: each step is said
  // until one is heard.
  ASSERT_TRUE(daemon.start());
  SynthLog again(daemon.dir.dir() / "log" / "espeak-ng.log");
  again.mark();
  std::vector<std::string> tried;
  Synthesis heard = step_until_heard(game, again, tried);
  ASSERT_FALSE(heard.said().empty()) << "the voice never came back after " << tried.size() << " messages";
  // What was heard is the step that found the daemon back, not a backlog.
  EXPECT_EQ(heard.said().front(), tried.back());
  EXPECT_GT(first_rate(again), rate_before) << "the rate set while the daemon was gone was lost";

  // From then on every message is heard, and the loss cost one line in all.
  again.mark();
  room_key_down(game.g(), kKeyRight, 0);
  std::string step = squeezed(last_said(game));
  EXPECT_EQ(again.wait_for(1).said(), std::vector<std::string>{step});
  auto log = game.dir().read_lines("debuglog.txt");
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].rfind("error in sayit: speech-dispatcher stopped answering", 0), 0u) << log[0];
  EXPECT_EQ(game.g().speech_route, 0);
  EXPECT_EQ(game.g().voice_ready, 1);
}

TEST(SpeechFaults, AFrozenDaemonDoesNotHoldUpTheGameAndIsHeardOnceItThaws) {
  NEEDS_SPEECH_SERVICES();
  OwnDaemon daemon;
  ASSERT_TRUE(daemon.start());
  DaemonAddress address("unix_socket:" + (daemon.dir.dir() / "speechd.sock").string());
  SynthLog synth(daemon.dir.dir() / "log" / "espeak-ng.log");
  auto speech = make_system_speech();
  SpeechGame game(*speech);
  game.start();
  ASSERT_EQ(synth.wait_for(1).said().size(), 1u) << "the greeting did not reach the daemon";
  enter_room(game);
  ASSERT_EQ(synth.wait_for(2).said().size(), 2u) << "the room did not reach the daemon";

  ::kill(daemon.pid, SIGSTOP);
  // The steps go on while the daemon is frozen; a game held up for good
  // would never finish them (the daemon is thawed then, to free it).
  auto steps = std::async(std::launch::async, [&game] {
    room_key_down(game.g(), kKeyRight, 0);
    room_key_down(game.g(), kKeyRight, 0);
    room_key_down(game.g(), kKeyRight, 0);
  });
  bool finished = steps.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
  ::kill(daemon.pid, SIGCONT);
  steps.wait();
  ASSERT_TRUE(finished) << "the game waited on a frozen speech daemon";
  EXPECT_EQ(game.g().cursor_x, 4);
  auto log = game.dir().read_lines("debuglog.txt");
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].rfind("error in sayit: ", 0), 0u) << log[0];

  // Thawed, it is heard again once the game tries it again by itself, and
  // the freeze cost one line in all.
  synth.mark();
  std::vector<std::string> tried;
  Synthesis heard = step_until_heard(game, synth, tried);
  auto said = heard.said();
  ASSERT_FALSE(said.empty()) << "the voice never came back after " << tried.size() << " messages";
  EXPECT_NE(std::find(said.begin(), said.end(), tried.back()), said.end());
  EXPECT_EQ(game.dir().read_lines("debuglog.txt").size(), 1u);
}
