// The game in a real terminal (tmux): keys sent as a terminal sends them,
// what it writes read back from the pane, and the terminal's settings
// compared before and after however the game ended.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <thread>

#include "harness.h"
#include "platform/console/keyboard.h"
#include "ports/key_codes.h"

namespace {

using namespace std::chrono_literals;

std::string output_of(const std::string& cmd) {
  std::string out;
  FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  ::pclose(p);
  return out;
}

size_t count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// The game run by a shell in a tmux pane of a private server. The shell
// notes the terminal's settings before and after, then the game's exit
// status; it ignores the hangup so as to note it also when the pane closes,
// and stays on a minute so that the pane can be read after the game.
class ConsolePane {
 public:
  ConsolePane() : socket_((dir_.root() / "tmux").string()) {
    std::ofstream(file("run.sh")) << "ulimit -c 0\nstty -g > before\ntrap '' HUP\nSDL_AUDIODRIVER=dummy "
                                  << TINKERHOLD_EXE << " --console --speech=none --seed 1 --program-dir "
                                  << dir_.dir().string() << "\nstatus=$?\nstty -g > after\necho $status > status\nsleep 60\n";
    tmux("new-session -d -x 200 -y 50 -c " + dir_.root().string() + " sh run.sh");
  }
  ~ConsolePane() { tmux("kill-server"); }

  std::string tmux(const std::string& args) const {
    return output_of("tmux -S " + socket_ + " -f /dev/null " + args + " 2>&1");
  }
  void keys(const std::string& names) const { tmux("send-keys " + names); }
  std::string screen() const { return tmux("capture-pane -p -J -S -2000"); }
  std::string file(const std::string& name) const { return (dir_.root() / name).string(); }

  // Waits until the pane shows `text` `times` times, at most `seconds`.
  bool shows(const std::string& text, int seconds = 5, size_t times = 1) const {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
      if (count(screen(), text) >= times) return true;
      std::this_thread::sleep_for(50ms);
    }
    ADD_FAILURE() << "no \"" << text << "\" in the pane:\n" << screen();
    return false;
  }
  // The game's exit status once it has ended, or -1 after 5 seconds.
  int status() const {
    for (int i = 0; i < 100; ++i) {
      std::ifstream in(file("status"));
      int s;
      if (in >> s) return s;
      std::this_thread::sleep_for(50ms);
    }
    return -1;
  }
  std::string read(const std::string& name) const { return read_file(file(name)); }
  // The game's process: the shell's child.
  pid_t game() const {
    std::string shell = tmux("display -p '#{pane_pid}'");
    std::ifstream in("/proc/" + std::to_string(std::stoi(shell)) + "/task/" + std::to_string(std::stoi(shell)) +
                     "/children");
    pid_t pid = 0;
    in >> pid;
    return pid;
  }

 private:
  ProgramDir dir_;
  std::string socket_;
};

TEST(Console, KeysFromTheTerminalMeanWhatTheWindowsMean) {
  struct Case {
    std::string bytes;
    KeyEvent key;
  } cases[] = {
      {"a", {'A', 0}}, {"A", {'A', kShift}}, {"{", {kKeyLeftBracket, kShift}}, {">", {kKeyPeriod, kShift}},
      {"\r", {kKeyEnter, 0}}, {"\x7f", {kKeyBackspace, 0}}, {"\x02", {'B', kCtrl}},
      {"\x05", {kKeyEscape, kShift}}, {"\x12", {kKeySpace, kShift}}, {"\x0c", {kKeyEnter, kShift}},
      {std::string(1, '\0'), {kKeyGrave, kCtrl}},
      {"\x1b[A", {kKeyUp, 0}}, {"\x1bOD", {kKeyLeft, 0}}, {"\x1b[1;2B", {kKeyDown, kShift}},
      {"\x1b[1;5C", {kKeyRight, kCtrl}}, {"\x1b[5~", {kKeyPageUp, 0}}, {"\x1b[6;2~", {kKeyPageDown, kShift}},
      {"\x1b[H", {kKeyHome, 0}}, {"\x1b[4~", {kKeyEnd, 0}}, {"\x1b[3~", {kKeyDelete, 0}}, {"\x1b[2~", {45, 0}},
      {"\x1bOP", {kKeyF1, 0}}, {"\x1b[[A", {kKeyF1, 0}}, {"\x1b[[E", {kKeyF1 + 4, 0}},
      {"\x1b[24~", {kKeyF1 + 11, 0}}, {"\x1b[1;2P", {kKeyF1, kShift}}, {"\x1b[25~", {kKeyF1 + 2, kShift}},
      {"\x1b[Z", {kKeyTab, kShift}}, {"\x1b[27;2;13~", {kKeyEnter, kShift}}, {"\x1b[27;2u", {kKeyEscape, kShift}},
  };
  for (const Case& c : cases) {
    TypedKey got;
    EXPECT_EQ(decode_key(c.bytes + "x", true, got), c.bytes.size()) << c.bytes.substr(1);
    EXPECT_EQ(got.key.code, c.key.code) << c.bytes.substr(1);
    EXPECT_EQ(got.key.shift, c.key.shift) << c.bytes.substr(1);
  }
  // A lone Escape waits for what may follow, and is an Escape once nothing has.
  TypedKey got;
  EXPECT_EQ(decode_key("\x1b", true, got), 0u);
  EXPECT_EQ(decode_key("\x1b[1;", true, got), 0u);
  EXPECT_EQ(decode_key("\x1b", false, got), 1u);
  EXPECT_EQ(got.key.code, kKeyEscape);
  // A letter outside ASCII types itself whole, and is no key of the game's.
  EXPECT_EQ(decode_key("\xc3\xa9t", true, got), 2u);
  EXPECT_EQ(got.text, "\xc3\xa9");
  EXPECT_EQ(got.key.code, 0);
  // A sequence with numbers far too long for any key is swallowed whole as no key.
  std::string huge = "\x1b[" + std::string(40, '9') + ";" + std::string(40, '9') + "~";
  EXPECT_EQ(decode_key(huge, false, got), huge.size());
  EXPECT_EQ(got.key.code, 0);
}

TEST(Console, ALevelWonFromTheMainMenuAnInputBoxAnsweredAndExit) {
  ConsolePane pane;
  ASSERT_TRUE(pane.shows("Welcome to Tinkerhold"));
  // The game has the terminal raw: what the tests below compare differs.
  std::string raw = output_of("stty -g -F " + pane.tmux("display -p '#{pane_tty}'"));
  EXPECT_EQ(count(raw, ":"), count(pane.read("before"), ":")) << raw;
  EXPECT_NE(raw, pane.read("before"));
  pane.keys("Down Enter Down Enter");
  ASSERT_TRUE(pane.shows("Level 1: Introduction."));
  // A north-west turn in C 3, then start the arm.
  pane.keys("Down Down Enter Down Down Down Down Enter");
  ASSERT_TRUE(pane.shows("North-west turn placed."));
  pane.keys("Space");
  ASSERT_TRUE(pane.shows("Twenty-three tests to go", 20));
  // The story box as lines: its first line, spoken, written only once.
  EXPECT_EQ(count(pane.screen(), "Victory!  You passed the level"), 1u);
  pane.keys("Enter");
  ASSERT_TRUE(pane.shows("Level 2: Zig and Zag."));
  // Ctrl+Space for Ctrl+`: the level number's box, its default replaced.
  pane.keys("C-Space");
  ASSERT_TRUE(pane.shows("Enter level number: 1"));
  pane.keys("4 BSpace 3 Enter");
  ASSERT_TRUE(pane.shows("Level 3: If only."));
  // Ctrl+E for Shift+Escape; Escape lands on Exit.
  pane.keys("C-e");
  ASSERT_TRUE(pane.shows("Main menu", 5, 2));
  pane.keys("Escape");
  ASSERT_TRUE(pane.shows("Exit the game"));
  pane.keys("Enter");
  EXPECT_EQ(pane.status(), 0);
  EXPECT_EQ(pane.read("after"), pane.read("before"));
}

// SIGABRT stands for the crashes (a sanitizer would report a SIGSEGV).
TEST(Console, TheTerminalIsPutBackWhenASignalEndsTheGame) {
  for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGABRT}) {
    SCOPED_TRACE(strsignal(sig));
    ConsolePane pane;
    ASSERT_TRUE(pane.shows("Welcome to Tinkerhold"));
    ::kill(pane.game(), sig);
    EXPECT_EQ(pane.status(), 128 + sig);
    EXPECT_EQ(pane.read("after"), pane.read("before"));
  }
}

TEST(Console, TheGameEndsWhenItsTerminalCloses) {
  ConsolePane pane;
  ASSERT_TRUE(pane.shows("Welcome to Tinkerhold"));
  pane.tmux("kill-pane");
  // It hears the hangup, or reads the end of its input first; either way it
  // ends at once, neither stopped nor spinning on a terminal that is gone.
  int status = pane.status();
  EXPECT_TRUE(status == 128 + SIGHUP || status == 0) << status;
}

}  // namespace
