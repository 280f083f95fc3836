#include "platform/speechd/orca_reader.h"

#include <systemd/sd-bus.h>

#include <cstring>

#include "platform/speechd/speakable.h"
#include "ports/speech_port.h"

namespace {

constexpr const char* kService = "org.gnome.Orca.Service";
constexpr const char* kPath = "/org/gnome/Orca/Service";
constexpr const char* kInterface = "org.gnome.Orca.Service";
constexpr uint64_t kCallLimitUsec = 1000000;  // the start-up question waits a second at most

int on_reply(sd_bus_message* m, void* userdata, sd_bus_error*) {
  auto* replies = static_cast<ReaderReplies*>(userdata);
  if (sd_bus_message_is_method_error(m, nullptr)) {
    const sd_bus_error* e = sd_bus_message_get_error(m);
    replies->failed = true;
    replies->why = e && e->message ? e->message : e && e->name ? e->name : "no answer";
  }
  return 0;
}

}  // namespace

OrcaReader::~OrcaReader() { close(); }

bool OrcaReader::open() {
  if (!connect()) return false;
  reconnected(link_);
  return true;
}

bool OrcaReader::connect() {
  if (sd_bus_open_user(&bus_) < 0) {
    bus_ = nullptr;
    return false;
  }
  sd_bus_set_method_call_timeout(bus_, kCallLimitUsec);
  sd_bus_message* reply = nullptr;
  int owned = 0;
  int r = sd_bus_call_method(bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                             "NameHasOwner", nullptr, &reply, "s", kService);
  if (r >= 0 && sd_bus_message_read(reply, "b", &owned) < 0) owned = 0;
  sd_bus_message_unref(reply);
  if (r < 0 || !owned) {
    close();
    return false;
  }
  replies_ = ReaderReplies{};
  return true;
}

void OrcaReader::close() {
  if (bus_) sd_bus_flush_close_unref(bus_);
  bus_ = nullptr;
}

bool OrcaReader::usable() {
  return bus_ || retry_if_due(link_, [this] { return connect(); });
}

// Takes in the answers that have come, and sends what is still queued;
// never waits.
void OrcaReader::drain() {
  for (int i = 0; i < 256; ++i) {
    int r = sd_bus_process(bus_, nullptr);
    if (r < 0) lose(std::strerror(-r));
    if (r == 0) break;
  }
  if (replies_.failed) lose(replies_.why);
}

void OrcaReader::lose(const std::string& what) {
  close();
  connection_lost(link_);
  throw SpeechError("the screen reader stopped answering (" + what + ")");
}

void OrcaReader::say(const std::string& text) {
  // An empty message has nothing to present.
  if (text.empty() || !usable()) return;
  drain();
  int r = sd_bus_call_method_async(bus_, nullptr, kService, kPath, kInterface, "PresentMessage", on_reply, &replies_,
                                   "s", speakable(text).c_str());
  if (r < 0) lose(std::strerror(-r));
  drain();
}
