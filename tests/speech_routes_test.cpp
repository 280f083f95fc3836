// The speech routes as the player switches them: the voice, the two caption
// routes, the screen reader and its fallback, the rate keys, and a voice
// that refuses its calls.
#include <gtest/gtest.h>

#include <algorithm>

#include "audio/speech.h"
#include "menus/startup.h"
#include "play/keys.h"
#include "speech_rig.h"

namespace {

const char* kFallback = "Orca does not seem to be responding, game voice on.";

size_t count(const std::vector<std::string>& v, const std::string& s) {
  return static_cast<size_t>(std::count(v.begin(), v.end(), s));
}

}  // namespace

TEST(SpeechRoutes, TheCaptionRoutesChangeTheCaptionTwiceForARepeatedMessage) {
  for (int route : {1, 2}) {
    CallLog voice;
    SpeechGame game(voice, route == 1 ? "key Tab\nkey PageDown\nkey PageDown\nwait 0.1\n"
                                      : "key Tab\nkey Tab\nkey PageDown\nkey PageDown\nwait 0.1\n");
    game.run();
    ASSERT_EQ(game.g().speechmode, route);
    auto caption = game.lines("caption");
    // Rate 2 down to 1, then held at 1: the same sentence twice.
    std::vector<std::string> tail(caption.end() - std::min<size_t>(3, caption.size()), caption.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"Speech rate changed to 1.", "Speech rate changed to 1. ",
                                              "Speech rate changed to 1."}))
        << "route " << route;
    EXPECT_EQ(count(voice.only("speak"), "Speech rate changed to 1."), 0u) << "route " << route;
  }
}

TEST(SpeechRoutes, TheScreenReaderRouteQueuesWithTheReaderAndTabWrapsBackToTheVoice) {
  CallLog speech;
  speech.reader = true;
  SpeechGame game(speech, "key Tab\nkey Tab\nkey Tab\nkey Down\nkey Down\nkey Tab\nkey Down\nwait 0.1\n");
  game.run();
  EXPECT_EQ(game.g().jawsok, 1);
  EXPECT_EQ(speech.only("reader"), (std::vector<std::string>{"Campaign", "Challenges"}));
  EXPECT_EQ(count(speech.only("speak"), "Campaign"), 0u);
  // Back on the voice after the wrap, with the normal caption restored.
  EXPECT_EQ(game.g().speechmode, 0);
  EXPECT_EQ(speech.only("speak").back(), "Level editor");
  EXPECT_EQ(game.lines("caption").back(), "Tinkerhold (v0.7b)");
  auto sounds = game.lines("sound");
  EXPECT_TRUE(std::any_of(sounds.begin(), sounds.end(),
                          [](const std::string& s) { return s.rfind("/sounds/Menu/JAWS.wav", 0) == 0; }));
}

TEST(SpeechRoutes, WithoutAScreenReaderTabToItSaysSoAndStaysOnTheVoice) {
  CallLog speech;
  SpeechGame game(speech, "key Tab\nkey Tab\nkey Tab\nwait 0.1\n");
  game.run();
  EXPECT_EQ(game.g().jawsok, 0);
  EXPECT_EQ(game.g().speechmode, 0);
  EXPECT_EQ(speech.only("speak").back(), kFallback);
  EXPECT_TRUE(speech.only("reader").empty());
  EXPECT_EQ(game.dir().read_lines("progress.ini").at(0), " 0 ");
}

TEST(SpeechRoutes, AScreenReaderRouteSavedEarlierFallsToTheVoiceWhenNoReaderIsThere) {
  // Chosen in a session with the reader running; this time it is not.
  CallLog speech;
  SpeechGame game(speech, "key Down\nwait 0.1\n");
  game.dir().write("progress.ini", " 3 \r\n 2 \r\n\r\n 45 \r\n");
  game.run();
  EXPECT_EQ(game.g().speechmode, 3);
  EXPECT_TRUE(speech.only("reader").empty());
  auto spoken = speech.only("speak");
  EXPECT_EQ(count(spoken, "Welcome to Tinkerhold, version 0.7b, by Veldin.  Main menu."), 1u);
  EXPECT_EQ(spoken.back(), "Campaign");
}

TEST(SpeechRoutes, TheRateKeysStepTheVoiceAndStopAtTheEnds) {
  CallLog speech;
  std::string script;
  for (int i = 0; i < 9; ++i) script += "key PageUp\n";
  script += "key PageDown\nwait 0.1\n";
  SpeechGame game(speech, script);
  game.run();
  auto rates = speech.only("rate");
  // 2 at start-up, then 3..10, 10 again at the top, then 9.
  EXPECT_EQ(rates, (std::vector<std::string>{"2", "3", "4", "5", "6", "7", "8", "9", "10", "10", "9"}));
  EXPECT_EQ(count(speech.only("speak"), "Speech rate changed to 10."), 2u);
  EXPECT_EQ(game.dir().read_lines("progress.ini").at(1), " 9 ");
}

TEST(SpeechRoutes, AVoiceThatRefusesCostsOneLogLinePerMessageAndTheGameGoesOn) {
  CallLog speech;
  SpeechGame game(speech, "key Down\nkey Down\nwait 0.1\n");
  speech.refuse = true;
  game.run();
  auto log = game.dir().read_lines("debuglog.txt");
  // The rate at start-up, the greeting, and two menu items.
  ASSERT_EQ(log.size(), 4u);
  for (const auto& l : log) EXPECT_EQ(l, "error in sayit: the voice is not answering");
  EXPECT_EQ(game.g().history[1], "Challenges");
  EXPECT_EQ(game.g().history[2], "Campaign");
  EXPECT_EQ(game.g().sapiok, 1);
}
