// The game's voice on a real speech-dispatcher: the private daemon that the
// test command starts, its synthesiser writing down what it was asked to say.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "audio/speech.h"
#include "platform/speechd/system_speech.h"
#include "play/keys.h"
#include "speech_rig.h"

namespace {

#define NEEDS_SPEECH_SERVICES()                          \
  do {                                                   \
    std::string why = speech_services_missing();         \
    if (!why.empty()) GTEST_SKIP() << why;               \
  } while (0)

std::vector<std::string> squeezed_all(const std::vector<std::string>& texts) {
  std::vector<std::string> out;
  for (const auto& t : texts) out.push_back(squeezed(t));
  return out;
}

// A long message: seconds of synthesis, so that the next one finds it still
// being spoken.
std::string long_message() {
  std::string text;
  for (int i = 1; i <= 40; ++i) text += "The arm travels east along the track and meets a turn. ";
  return text;
}

}  // namespace

TEST(SpeechDaemon, AScriptedSessionIsSpokenInOrderAtTheRatesTheKeysSet) {
  NEEDS_SPEECH_SERVICES();
  SynthLog synth(std::getenv("TINKERHOLD_SPEECHD_LOG"));
  ProgramDir dir;
  // Each wait gives the message time to reach the synthesiser before the
  // next key cuts it off, also on a machine busy with other work.
  GameRun run = play(dir,
                     "wait 1.2\nkey Down\nwait 1\nkey Down\nwait 1\nkey PageUp\nwait 1\n"
                     "key PageDown\nwait 1\nkey PageDown\nwait 1\nkey PageDown\nwait 1\nkey Up\nwait 1.2\n",
                     {"--speech=system", "--seed", "3"});
  const std::string& out = run.out;
  ASSERT_EQ(run.status, 0) << out;
  auto said = said_in(out);
  ASSERT_EQ(said.size(), 8u) << out;
  Synthesis s = synth.wait_for(said.size());
  EXPECT_EQ(s.said(), squeezed_all(said)) << out;
  // 3, 2, 1, 1 again, then the menu item at 1.
  auto rates = s.rates();
  ASSERT_EQ(rates.size(), 8u);
  EXPECT_GT(rates[3], rates[4]);
  EXPECT_GT(rates[4], rates[5]);
  EXPECT_EQ(rates[5], rates[6]);
  EXPECT_EQ(rates[6], rates[7]);
  EXPECT_EQ(dir.read_lines("debuglog.txt").size(), 0u);
}

TEST(SpeechDaemon, EachMessageCutsOffTheOneBeingSpokenAndTheEmptyTextOnlyStopsIt) {
  NEEDS_SPEECH_SERVICES();
  SynthLog synth(std::getenv("TINKERHOLD_SPEECHD_LOG"));
  auto speech = make_system_speech();
  SpeechGame game(*speech);
  game.start();
  ASSERT_EQ(game.g().voice_ready, 1);
  ASSERT_EQ(synth.wait_for(1).said().size(), 1u) << "the greeting did not reach the daemon";
  synth.mark();
  say_message(game.g(), long_message());
  ASSERT_EQ(synth.wait_for(1).said().size(), 1u);
  // Seconds of speech are still to come when the next message arrives.
  synth.mark();
  say_message(game.g(), "Arm reset.");
  Synthesis s = synth.wait_for(1, 1);
  EXPECT_EQ(s.said(), std::vector<std::string>{"Armreset."});
  EXPECT_GE(s.stops_before(0), 1u) << "the long message was not cut off";

  say_message(game.g(), long_message());
  ASSERT_EQ(synth.wait_for(2).said().size(), 2u);
  synth.mark();
  say_message(game.g(), "");
  s = synth.wait_for(0, 1);
  EXPECT_GE(s.stops_before(0), 1u) << "the empty text did not stop the voice";
  EXPECT_TRUE(s.said().empty());
  EXPECT_EQ(game.dir().read_lines("debuglog.txt").size(), 0u);
}

TEST(SpeechDaemon, ADaemonThatComesBackIsHeardFromTheNextMessageOn) {
  NEEDS_SPEECH_SERVICES();
  OwnDaemon daemon;
  ASSERT_TRUE(daemon.start());
  DaemonAddress address("unix_socket:" + (daemon.dir.dir() / "speechd.sock").string());
  SynthLog synth(daemon.dir.dir() / "log" / "espeak-ng.log");
  auto speech = make_system_speech();
  SpeechGame game(*speech);
  game.start();
  ASSERT_EQ(synth.wait_for(1).said().size(), 1u) << "the greeting did not reach the daemon";

  daemon.kill();
  say_message(game.g(), "Piece lowered.");
  // Started again on the same socket, as the desktop would.
  ASSERT_TRUE(daemon.start());
  SynthLog again(daemon.dir.dir() / "log" / "espeak-ng.log");
  again.mark();
  say_message(game.g(), "Piece raised.");
  EXPECT_EQ(again.wait_for(1).said(), std::vector<std::string>{"Pieceraised."});
  EXPECT_EQ(game.dir().read_lines("debuglog.txt").size(), 1u);
}
