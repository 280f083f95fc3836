#include "platform/speechd/speechd_voice.h"

#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

#include "platform/speechd/rate_scale.h"
#include "platform/speechd/speakable.h"
#include "ports/speech_port.h"

namespace {

constexpr timeval kPatience{1, 0};  // how long one exchange with the daemon may take

enum class Daemon { absent, answers, silent };

// Whether the daemon's socket has a daemon behind it that answers. Asked
// before the client library connects, since the library waits for ever on
// a daemon that has hung, and leaks a little on every failed attempt.
Daemon probe_daemon() {
  char* error = nullptr;
  SPDConnectionAddress* address = spd_get_default_address(&error);
  std::free(error);
  if (!address) return Daemon::absent;
  Daemon found = Daemon::answers;  // not a local socket: the library decides
  if (address->method == SPD_METHOD_UNIX_SOCKET && address->unix_socket_name) {
    sockaddr_un where{};
    where.sun_family = AF_UNIX;
    std::string path = address->unix_socket_name;
    found = Daemon::absent;
    int fd = path.size() < sizeof where.sun_path ? ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0) : -1;
    if (fd >= 0) {
      path.copy(where.sun_path, path.size());
      if (::connect(fd, reinterpret_cast<sockaddr*>(&where), sizeof where) == 0) {
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &kPatience, sizeof kPatience);
        ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &kPatience, sizeof kPatience);
        // Any reply will do: "231 HAPPY HACKING".
        const char quit[] = "QUIT\r\n";
        char reply[64];
        bool sent = ::send(fd, quit, sizeof quit - 1, MSG_NOSIGNAL) == sizeof quit - 1;
        found = sent && ::recv(fd, reply, sizeof reply, 0) > 0 ? Daemon::answers : Daemon::silent;
      }
      ::close(fd);
    }
  }
  SPDConnectionAddress__free(address);
  return found;
}

}  // namespace

SpeechdVoice::~SpeechdVoice() { close(); }

bool SpeechdVoice::open() {
  // A daemon that is there but does not answer would hold up the start.
  if (probe_daemon() == Daemon::silent || !connect(true)) return false;
  reconnected(link_);
  return true;
}

bool SpeechdVoice::connect(bool autospawn) {
  // The client library writes to its socket with plain write(): a daemon
  // that died must cost an error return, not the game.
  std::signal(SIGPIPE, SIG_IGN);
  char* error = nullptr;
  // The address comes from SPEECHD_ADDRESS, else the session's own socket.
  conn_ = spd_open2("tinkerhold", "main", nullptr, SPD_MODE_SINGLE, nullptr, autospawn ? 1 : 0, &error);
  std::free(error);
  if (!conn_) return false;
  // A daemon that hangs must not hang the game: every exchange with it
  // gives up after a second.
  ::setsockopt(conn_->socket, SOL_SOCKET, SO_RCVTIMEO, &kPatience, sizeof kPatience);
  ::setsockopt(conn_->socket, SOL_SOCKET, SO_SNDTIMEO, &kPatience, sizeof kPatience);
  if (spd_set_voice_rate(conn_, speechd_rate(rate_)) != 0) {
    close();
    return false;
  }
  return true;
}

void SpeechdVoice::close() {
  if (conn_) spd_close(conn_);
  conn_ = nullptr;
}

// Connected, or reconnected just now if a retry is due.
bool SpeechdVoice::usable() {
  // No daemon is started here: that could hold up the game.
  return conn_ || retry_if_due(link_, [this] { return probe_daemon() == Daemon::answers && connect(false); });
}

void SpeechdVoice::lose(const std::string& what) {
  close();
  connection_lost(link_);
  throw SpeechError("speech-dispatcher stopped answering (" + what + ")");
}

void SpeechdVoice::speak(const std::string& text) {
  if (!usable()) return;
  if (text.empty()) {
    if (spd_cancel(conn_) != 0) lose("cancel");
    return;
  }
  // Each message cuts off the one before, as the player walks on: a
  // message of text priority does that by itself.
  if (spd_say(conn_, SPD_TEXT, speakable(text).c_str()) < 0) lose("say");
}

void SpeechdVoice::set_rate(int rate) {
  rate_ = rate;
  if (!usable()) return;
  if (spd_set_voice_rate(conn_, speechd_rate(rate_)) != 0) lose("rate");
}
