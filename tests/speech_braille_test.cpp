// The braille display on a real BRLTTY: the private one that the test
// command starts, its virtual driver's display played here, reading back
// what the game shows and pressing its panning key.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "speech_rig.h"

namespace {

std::string env_or_empty(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

// The display that BRLTTY's virtual driver writes to: 20 cells.
class VirtualDisplay {
 public:
  explicit VirtualDisplay(const std::string& socket_path) {
    for (int i = 0; i < 100 && fd_ < 0; ++i) {
      int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
      sockaddr_un where{};
      where.sun_family = AF_UNIX;
      socket_path.copy(where.sun_path, sizeof where.sun_path - 1);
      if (::connect(fd, reinterpret_cast<sockaddr*>(&where), sizeof where) == 0) {
        fd_ = fd;
      } else {
        ::close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
    }
    send("cells 20");
  }
  ~VirtualDisplay() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool connected() const { return fd_ >= 0; }
  void send(const std::string& command) {
    std::string line = command + "\n";
    if (fd_ >= 0) (void)::write(fd_, line.data(), line.size());
  }
  // The next text the display shows, its trailing blanks left; "" when
  // nothing came for `seconds`.
  std::string next_text(double seconds) {
    auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
      size_t end = input_.find('\n');
      if (end != std::string::npos) {
        std::string line = input_.substr(0, end);
        input_.erase(0, end + 1);
        if (line.rfind("Visual \"", 0) != 0) continue;
        std::string text;
        for (size_t i = 8; i + 1 < line.size(); ++i) text += line[i] == '\\' ? line[++i] : line[i];
        return text.substr(0, text.find_last_not_of(' ') + 1);
      }
      int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                      until - std::chrono::steady_clock::now()).count());
      pollfd p{fd_, POLLIN, 0};
      char buf[1024];
      ssize_t n = left > 0 && ::poll(&p, 1, left) == 1 ? ::read(fd_, buf, sizeof buf) : 0;
      if (n <= 0) return "";
      input_.append(buf, static_cast<size_t>(n));
    }
  }

 private:
  int fd_ = -1;
  std::string input_;
};

// Kills BRLTTY and starts it again, with a display of its own.
bool restart_brltty(const std::string& dir, std::unique_ptr<VirtualDisplay>& display) {
  pid_t pid = std::atoi(read_lines(dir + "/brltty.pid").at(0).c_str());
  ::kill(pid, SIGKILL);
  for (int i = 0; i < 500 && !process_gone(pid); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::string restart = env_or_empty("TINKERHOLD_SPEECH_SERVICES") + " brltty " + dir;
  if (std::system(restart.c_str()) != 0) return false;
  display = std::make_unique<VirtualDisplay>(dir + "/display.sock");
  return display->next_text(10) == "no screen";
}

}  // namespace

TEST(Braille, EveryMessageReachesTheDisplayPansAndOutlivesBrlttyRestarting) {
#if !TINKERHOLD_SYSTEM_BRAILLE
  GTEST_SKIP() << "this build has no braille (libbrlapi-dev was missing)";
#endif
  std::string dir = env_or_empty("TINKERHOLD_BRLTTY_DIR");
  if (dir.empty()) GTEST_SKIP() << "needs the private BRLTTY that the test command starts (tools/speech_services.sh run ctest)";
  auto display = std::make_unique<VirtualDisplay>(dir + "/display.sock");
  ASSERT_TRUE(display->connected());
  ASSERT_EQ(display->next_text(10), "no screen");  // the driver is up: BrlAPI knows the display's size
  ::setenv("BRLAPI_HOST", read_lines(dir + "/host").at(0).c_str(), 1);

  // Volume 50 55 60; BRLTTY is killed and started again; 65 (may be lost)
  // 70 75; braille off, 80 (not shown), braille on.
  std::string script = "wait 2\n";
  for (const char* key : {"home", "home", "home", "wait 5", "home", "home", "home", "ctrl+B", "home", "ctrl+B"})
    script += std::string(key).rfind("wait", 0) == 0 ? std::string(key) + "\n" : "key " + std::string(key) + "\nwait 1\n";
  ProgramDir program;
  std::string transcript;
  int status = -1;
  std::atomic<bool> over = false;
  std::thread game([&] {
    GameRun run = play(program, script, {"--braille=system", "--braille-transcript"});
    status = run.status;
    transcript = run.out;
    over = true;
  });
  std::vector<std::string> shown;
  bool restarted = false;
  while (!over) {
    std::string text = display->next_text(0.2);
    if (text.empty()) continue;
    shown.push_back(text);
    // The display's own panning key reads the rest of a long message.
    if (text == "Welcome to Tinkerhol") display->send("FWINRT");
    if (text == "Music volume 60%." && !(restarted = restart_brltty(dir, display))) break;
  }
  game.join();
  ::unsetenv("BRLAPI_HOST");
  ASSERT_TRUE(restarted) << "BRLTTY did not start again";
  EXPECT_EQ(status, 0) << transcript;

  // Each message on the display, in order, as the transcript has it; the
  // first after the restart may be lost.
  std::vector<std::string> sent;
  std::istringstream lines(transcript);
  for (std::string l; std::getline(lines, l);)
    if (size_t at = l.find(" braille: "); at != std::string::npos) sent.push_back(l.substr(at + 10, 20));
  ASSERT_EQ(sent, (std::vector<std::string>{"Welcome to Tinkerhol", "Music volume 50%.", "Music volume 55%.",
                                            "Music volume 60%.", "Music volume 65%.", "Music volume 70%.",
                                            "Music volume 75%.", "Braille on."}));
  std::vector<std::string> want = {"Welcome to Tinkerhol", "d, version 0.7b, by", "Music volume 50%.",
                                   "Music volume 55%.", "Music volume 60%.", "Music volume 65%.",
                                   "Music volume 70%.", "Music volume 75%.", "Braille on."};
  std::erase(shown, "no screen");
  if (shown.size() + 1 == want.size()) std::erase(want, "Music volume 65%.");
  EXPECT_EQ(shown, want);
  // The loss cost one line in the debug log, and nothing else did.
  int lost = 0;
  for (const auto& l : program.read_lines("debuglog.txt")) lost += l.rfind("error in sayit: lost the braille display", 0) == 0;
  EXPECT_EQ(lost, 1);
}
