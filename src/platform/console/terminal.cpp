#include "platform/console/terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>

#include "ports/events_port.h"

namespace {

// How long the rest of an escape sequence may take to arrive: a lone Escape
// is an Escape once this has passed.
constexpr int kSequenceMs = 50;

// What the signal handlers need, kept where they can reach it. Only
// async-signal-safe calls touch it there.
termios saved_settings;
volatile sig_atomic_t raw_mode = 0;
volatile sig_atomic_t ending_signal = 0;
int wake_pipe[2] = {-1, -1};

constexpr int kEndingSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGQUIT, SIGTRAP, SIGSYS};
struct sigaction previous_action[NSIG];
// A stack of its own for the handlers, so that a stack overflow still
// gives the terminal back.
alignas(16) char handler_stack[64 * 1024];

void put_terminal_back() {
  if (raw_mode) tcsetattr(STDIN_FILENO, TCSANOW, &saved_settings);
}

// Ending signals end the game the ordinary way: the event pump hears of it
// through the pipe. A second one ends it at once.
void on_ending_signal(int sig, siginfo_t*, void*) {
  int saved_errno = errno;
  put_terminal_back();
  if (ending_signal != 0) {
    sigaction(sig, &previous_action[sig], nullptr);
    raise(sig);
  } else {
    ending_signal = sig;
    if (wake_pipe[1] >= 0) (void)!::write(wake_pipe[1], "x", 1);
  }
  errno = saved_errno;
}

// A crash: the terminal is put back, and the signal goes to whoever had it
// before (the default ends the program; a sanitizer reports first). A real
// fault happens again when the handler returns; a signal that was sent (an
// abort, a kill) is raised again.
void on_fatal_signal(int sig, siginfo_t* info, void*) {
  put_terminal_back();
  sigaction(sig, &previous_action[sig], nullptr);
  bool fault = sig == SIGSEGV || sig == SIGBUS || sig == SIGFPE || sig == SIGILL;
  if (!fault || info == nullptr || info->si_code <= 0) raise(sig);
}

template <size_t N>
void handle(const int (&signals)[N], void (*handler)(int, siginfo_t*, void*)) {
  for (int sig : signals) {
    struct sigaction action {};
    action.sa_sigaction = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_ONSTACK | SA_SIGINFO;
    sigaction(sig, &action, &previous_action[sig]);
  }
}

template <size_t N>
void unhandle(const int (&signals)[N]) {
  for (int sig : signals) sigaction(sig, &previous_action[sig], nullptr);
}

int64_t steady_ms() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

Terminal::Terminal() {
  if (::pipe2(wake_pipe, O_CLOEXEC | O_NONBLOCK) != 0) wake_pipe[0] = wake_pipe[1] = -1;
  stack_t stack{};
  stack.ss_sp = handler_stack;
  stack.ss_size = sizeof handler_stack;
  sigaltstack(&stack, nullptr);
  handle(kEndingSignals, on_ending_signal);
  handle(kFatalSignals, on_fatal_signal);
  std::signal(SIGPIPE, SIG_IGN);  // output that has gone takes nothing more (see write)
  std::atexit(put_terminal_back);
  if (!::isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &saved_settings) != 0) return;
  // Every key as it is pressed, unechoed: Ctrl+C, Ctrl+Z, Ctrl+S and Ctrl+V
  // are keys too. Output is left as it was, so a line still ends a line.
  termios raw = saved_settings;
  raw.c_iflag &= ~static_cast<tcflag_t>(BRKINT | ICRNL | INLCR | IGNCR | ISTRIP | IXON);
  raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON | ISIG | IEXTEN);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  raw_mode = 1;
  if (tcsetattr(STDIN_FILENO, TCSANOW, &raw) != 0) raw_mode = 0;
}

Terminal::~Terminal() {
  put_terminal_back();
  raw_mode = 0;
  unhandle(kEndingSignals);
  unhandle(kFatalSignals);
  for (int& fd : wake_pipe) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

bool Terminal::read_more(int64_t wait_ms) {
  pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {wake_pipe[0], POLLIN, 0}};
  int64_t end = steady_ms() + wait_ms;
  for (;;) {
    if (ending_signal != 0) throw ProgramExit{128 + ending_signal};
    int64_t left = wait_ms < 0 ? -1 : std::max<int64_t>(0, end - steady_ms());
    int ready = ::poll(fds, wake_pipe[0] >= 0 ? 2 : 1, static_cast<int>(std::min<int64_t>(left, INT_MAX)));
    if (ready < 0 && errno == EINTR) continue;
    if (ending_signal != 0) throw ProgramExit{128 + ending_signal};
    if (ready <= 0) return false;
    if (fds[0].revents == 0) continue;
    char buf[256];
    ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    // The terminal has gone (closed, hung up, end of input): the game ends
    // as when its window is closed.
    if (n <= 0) throw ProgramExit{0};
    pending_.append(buf, static_cast<size_t>(n));
    return true;
  }
}

std::optional<TypedKey> Terminal::next_key(int64_t wait_ms) {
  int64_t end = steady_ms() + wait_ms;
  for (;;) {
    TypedKey key;
    size_t used = decode_key(pending_, true, key);
    if (used == 0 && !pending_.empty() && !read_more(kSequenceMs)) used = decode_key(pending_, false, key);
    if (used > 0) {
      pending_.erase(0, used);
      return key;
    }
    if (!pending_.empty()) continue;
    if (!read_more(wait_ms < 0 ? -1 : std::max<int64_t>(0, end - steady_ms()))) return std::nullopt;
  }
}

void Terminal::write(const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(STDOUT_FILENO, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // a terminal that has gone takes nothing more
    done += static_cast<size_t>(n);
  }
}
