// The screen reader route on a real session bus: the private bus that the
// test command starts, with a stand-in for the reader's service or without.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include "speech_rig.h"

extern char** environ;

namespace {

#define NEEDS_PRIVATE_BUS()                      \
  do {                                           \
    std::string why = private_bus_missing();     \
    if (!why.empty()) GTEST_SKIP() << why;       \
  } while (0)

const char* kFallback = "Orca does not seem to be responding, game voice on.";

// The stand-in reader, running for the life of this object.
class StandIn {
 public:
  explicit StandIn(const std::filesystem::path& dir) : record_(dir / "presented.txt"), ready_(dir / "ready") {
    std::string exe = ORCA_STANDIN, record = record_.string(), ready = ready_.string();
    char* argv[] = {exe.data(), record.data(), ready.data(), nullptr};
    if (::posix_spawn(&pid_, exe.c_str(), nullptr, nullptr, argv, environ) != 0) pid_ = 0;
    for (int i = 0; pid_ && i < 500 && !std::filesystem::exists(ready_); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ~StandIn() {
    if (!pid_) return;
    ::kill(pid_, SIGTERM);
    int status;
    ::waitpid(pid_, &status, 0);
  }
  bool ready() const { return pid_ && std::filesystem::exists(ready_); }
  std::filesystem::path record() const { return record_; }

 private:
  std::filesystem::path record_, ready_;
  pid_t pid_ = 0;
};

// The game on the real speech back-ends, playing a key script in the folder.
GameRun play_spoken(const ProgramDir& dir, const std::string& script) {
  return play(dir, script, {"--speech=system", "--seed", "5"});
}

}  // namespace

TEST(ScreenReader, OnItsRouteMessagesReachTheReaderInOrderAndTabWrapsToTheVoice) {
  NEEDS_PRIVATE_BUS();
  ProgramDir dir;
  StandIn reader(dir.dir());
  ASSERT_TRUE(reader.ready()) << "the stand-in did not come up";
  SynthLog synth(std::getenv("TINKERHOLD_SPEECHD_LOG"));
  GameRun run = play_spoken(dir, "wait 0.3\nkey Tab\nkey Tab\nkey Tab\nwait 0.2\nkey Down\nkey Down\nkey Down\n"
                                 "key Up\nkey PageUp\nwait 0.2\nkey Tab\nwait 0.2\nkey Down\nwait 0.5\n");
  const std::string& out = run.out;
  ASSERT_EQ(run.status, 0) << out;
  EXPECT_NE(out.find("sound: /sounds/Menu/JAWS.wav"), std::string::npos) << out;
  // Every message from the choice of the route to the Tab that leaves it,
  // queued without one cutting off another.
  std::vector<std::string> expected = {"Campaign", "Challenges", "Level editor", "Challenges",
                                       "Speech rate changed to 3."};
  std::vector<std::string> presented;
  for (int i = 0; i < 500; ++i) {
    presented = read_lines(reader.record());
    if (presented.size() >= expected.size()) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(presented, expected) << out;
  // Back on the voice: the last menu item is spoken by the daemon.
  Synthesis s = synth.wait_for(2);
  ASSERT_FALSE(s.said().empty());
  EXPECT_EQ(s.said().back(), squeezed("Level editor"));
  EXPECT_TRUE(dir.read_lines("debuglog.txt").empty());
}

TEST(ScreenReader, WithoutItTabToItsRouteSpeaksTheFallbackAndEndsOnTheVoice) {
  NEEDS_PRIVATE_BUS();
  ProgramDir dir;
  SynthLog synth(std::getenv("TINKERHOLD_SPEECHD_LOG"));
  GameRun run = play_spoken(dir, "wait 0.3\nkey Tab\nkey Tab\nkey Tab\nwait 0.5\n");
  const std::string& out = run.out;
  ASSERT_EQ(run.status, 0) << out;
  EXPECT_EQ(said_in(out).back(), kFallback) << out;
  EXPECT_EQ(out.find("JAWS.wav"), std::string::npos) << out;
  EXPECT_EQ(dir.read_lines("progress.ini").at(0), " 0 ");
  Synthesis s = synth.wait_for(2);
  ASSERT_FALSE(s.said().empty());
  EXPECT_EQ(s.said().back(), squeezed(kFallback));
}
