#include "speech_rig.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "play/startup.h"
#include "state/waits.h"
#include "rig.h"

namespace {

std::string env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

std::string unescaped(const std::string& s) {
  static const std::pair<const char*, const char*> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&apos;", "'"}, {"&quot;", "\""}, {"&amp;", "&"}};
  std::string out;
  for (size_t i = 0; i < s.size();) {
    bool hit = false;
    for (const auto& [from, to] : entities) {
      size_t n = std::char_traits<char>::length(from);
      if (s.compare(i, n, from) == 0) {
        out += to;
        i += n;
        hit = true;
        break;
      }
    }
    if (!hit) out += s[i++];
  }
  return out;
}

// The text of a request as the game gave it: markup the daemon adds left out.
std::string request_text(const std::string& markup) {
  std::string plain;
  bool in_tag = false;
  for (char c : markup) {
    if (c == '<') in_tag = true;
    else if (c == '>') in_tag = false;
    else if (!in_tag) plain += c;
  }
  return squeezed(unescaped(plain));
}

}  // namespace

std::vector<std::string> CallLog::only(const std::string& kind) const {
  std::vector<std::string> out;
  for (const auto& c : calls)
    if (c.rfind(kind + ": ", 0) == 0) out.push_back(c.substr(kind.size() + 2));
  return out;
}

void CallLog::note(const std::string& call) {
  calls.push_back(call);
  if (refuse) throw SpeechError("the voice is not answering");
}


std::string speech_services_missing() {
#if !TINKERHOLD_SYSTEM_SPEECH
  return "this build has no system speech (libspeechd-dev and libsystemd-dev were missing)";
#else
  if (env("SPEECHD_ADDRESS").empty() || env("TINKERHOLD_SPEECHD_LOG").empty() ||
      env("TINKERHOLD_SPEECH_SERVICES").empty())
    return "needs the private speech-dispatcher that the test command starts "
           "(run tools/test.sh, or: tools/speech_services.sh run ctest)";
  return "";
#endif
}

std::string private_bus_missing() {
  std::string why = speech_services_missing();
  if (!why.empty()) return why;
  if (env("TINKERHOLD_PRIVATE_BUS").empty() || env("DBUS_SESSION_BUS_ADDRESS").empty())
    return "needs the private session bus that the test command starts "
           "(run tools/test.sh, or: tools/speech_services.sh run ctest)";
  return "";
}

std::vector<std::string> Synthesis::said() const {
  std::vector<std::string> out;
  for (const auto& e : events)
    if (e.kind == Event::say) out.push_back(e.text);
  return out;
}

std::vector<int> Synthesis::rates() const {
  // The module reports a new rate just after the request it applies to.
  std::vector<int> out;
  int rate = 0;
  for (const auto& e : events) {
    if (e.kind == Event::say) out.push_back(rate);
    if (e.kind == Event::rate) {
      rate = e.value;
      if (!out.empty()) out.back() = rate;
    }
  }
  return out;
}

size_t Synthesis::stops_before(size_t n) const {
  size_t seen = 0, stops = 0;
  for (const auto& e : events) {
    if (e.kind == Event::say && seen++ == n) break;
    if (e.kind == Event::stop) ++stops;
  }
  return stops;
}

SynthLog::SynthLog(std::filesystem::path file) : file_(std::move(file)) { mark(); }

void SynthLog::mark() {
  std::error_code ec;
  from_ = std::filesystem::file_size(file_, ec);
  if (ec) from_ = 0;
}

Synthesis SynthLog::read() const {
  Synthesis s;
  std::ifstream in(file_, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(from_));
  const std::string requested = "Requested data: |", rate = "Rate set to ";
  for (std::string line; std::getline(in, line);) {
    size_t at;
    if ((at = line.find(requested)) != std::string::npos) {
      size_t start = at + requested.size(), end = line.rfind('|');
      if (end == std::string::npos || end < start) end = line.size();
      s.events.push_back({Synthesis::Event::say, request_text(line.substr(start, end - start)), 0});
    } else if (line.find("module_stop()") != std::string::npos) {
      s.events.push_back({Synthesis::Event::stop, "", 0});
    } else if ((at = line.find(rate)) != std::string::npos) {
      s.events.push_back({Synthesis::Event::rate, "", std::atoi(line.c_str() + at + rate.size())});
    }
  }
  return s;
}

Synthesis SynthLog::wait_for(size_t count, size_t stops) const {
  auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  for (;;) {
    Synthesis s = read();
    size_t n = s.said().size(), k = 0;
    for (const auto& e : s.events) k += e.kind == Synthesis::Event::stop;
    if ((n >= count && k >= stops) || std::chrono::steady_clock::now() > give_up) return s;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

std::string squeezed(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') out += c;
  return out;
}

std::vector<std::string> said_in(const std::string& transcript) {
  std::vector<std::string> out;
  std::istringstream in(transcript);
  for (std::string line; std::getline(in, line);) {
    size_t at = line.find(" say: ");
    if (at != std::string::npos && line.find(' ') == at && line.size() > at + 6) out.push_back(line.substr(at + 6));
  }
  return out;
}

DaemonAddress::DaemonAddress(const std::string& address) : before(env("SPEECHD_ADDRESS")) {
  ::setenv("SPEECHD_ADDRESS", address.c_str(), 1);
}

DaemonAddress::~DaemonAddress() { ::setenv("SPEECHD_ADDRESS", before.c_str(), 1); }

bool process_gone(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return true;
  size_t paren = line.rfind(')');
  return paren != std::string::npos && line.size() > paren + 2 && line[paren + 2] == 'Z';
}

bool OwnDaemon::start() {
  std::string cmd = env("TINKERHOLD_SPEECH_SERVICES") + " speechd " + dir.dir().string();
  if (std::system(cmd.c_str()) != 0) return false;
  auto lines = dir.read_lines("speechd.pid");
  pid = lines.empty() ? 0 : std::atoi(lines[0].c_str());
  return pid > 1;
}

void OwnDaemon::kill(int signal) {
  if (pid > 1 && !process_gone(pid)) {
    ::kill(pid, signal);
    ::kill(pid, SIGCONT);  // a daemon stopped by a test ends too
  }
  for (int i = 0; i < 500 && pid > 1 && !process_gone(pid); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}
