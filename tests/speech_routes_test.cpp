// The speech routes as the speech port sees them: the screen reader's queue,
// and a voice that refuses its calls (the caption routes, the fallback and
// the rate keys are golden scenarios, tests/scenarios/speech).
#include <gtest/gtest.h>

#include <algorithm>

#include "audio/speech.h"
#include "play/startup.h"
#include "play/keys.h"
#include "speech_rig.h"

namespace {

size_t count(const std::vector<std::string>& v, const std::string& s) {
  return static_cast<size_t>(std::count(v.begin(), v.end(), s));
}

}  // namespace

TEST(SpeechRoutes, TheScreenReaderRouteQueuesWithTheReaderAndTabWrapsBackToTheVoice) {
  CallLog speech;
  speech.reader = true;
  SpeechGame game(speech, "key Tab\nkey Tab\nkey Tab\nkey Down\nkey Down\nkey Tab\nkey Down\nwait 0.1\n");
  game.run();
  EXPECT_EQ(game.g().screen_reader_ready, 1);
  EXPECT_EQ(speech.only("reader"), (std::vector<std::string>{"Campaign", "Challenges"}));
  EXPECT_EQ(count(speech.only("speak"), "Campaign"), 0u);
  // Back on the voice after the wrap, with the normal caption restored.
  EXPECT_EQ(game.g().speech_route, 0);
  EXPECT_EQ(speech.only("speak").back(), "Level editor");
  EXPECT_EQ(game.lines("caption").back(), "Tinkerhold (v0.7b)");
  auto sounds = game.lines("sound");
  EXPECT_TRUE(std::any_of(sounds.begin(), sounds.end(),
                          [](const std::string& s) { return s.rfind("/sounds/Menu/JAWS.wav", 0) == 0; }));
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
  EXPECT_EQ(game.g().voice_ready, 1);
}

TEST(SpeechRoutes, ACaptionRouteIsNamedThroughTheVoiceAndAGameStartingOnOneGreetsThroughItToo) {
  const std::string back = "Press Tab until you hear the game's voice again.";
  CallLog speech;
  SpeechGame game(speech, "key Tab\nkey Down\nwait 0.1\n");
  game.run();
  // The route's name and the way back reach the voice; the menu item after
  // it goes to the caption only.
  EXPECT_EQ(speech.only("speak").back(), "Speech: the window caption, for a screen reader that reads it.  " + back);
  EXPECT_EQ(game.lines("caption").back(), "Campaign");

  CallLog again;
  SpeechGame next(again, "key Down\nwait 0.1\n");
  next.write("progress.ini", " 1 \r\n 2 \r\n\r\n 45 \r\n 1 \r\n");
  next.run();
  EXPECT_EQ(again.only("speak"),
            (std::vector<std::string>{"Welcome to Tinkerhold, version 0.7b, by Veldin.  Main menu.  Speech is on the "
                                      "window caption.  " + back}));
}
