// A stand-in for the screen reader's remote-control service, for the tests:
// it owns org.gnome.Orca.Service on the session bus and writes each text
// handed to PresentMessage to a file, one a line, in the order received.
// Usage: orca_standin RECORD_FILE READY_FILE (READY_FILE appears once the
// name is owned). Ends on SIGTERM.
#include <systemd/sd-bus.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int present_message(sd_bus_message* m, void* userdata, sd_bus_error*) {
  const char* text = nullptr;
  int r = sd_bus_message_read(m, "s", &text);
  if (r < 0) return r;
  std::string line;
  for (const char* p = text; *p; ++p) line += *p == '\n' ? std::string("\\n") : std::string(1, *p);
  auto* out = static_cast<std::FILE*>(userdata);
  std::fprintf(out, "%s\n", line.c_str());
  std::fflush(out);
  return sd_bus_reply_method_return(m, "b", 1);
}

const sd_bus_vtable kVtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("PresentMessage", "s", "b", present_message, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_VTABLE_END,
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: orca_standin RECORD_FILE READY_FILE\n");
    return 2;
  }
  std::FILE* out = std::fopen(argv[1], "w");
  if (!out) return 1;
  sd_bus* bus = nullptr;
  int r = sd_bus_open_user(&bus);
  if (r >= 0)
    r = sd_bus_add_object_vtable(bus, nullptr, "/org/gnome/Orca/Service", "org.gnome.Orca.Service", kVtable, out);
  if (r >= 0) r = sd_bus_request_name(bus, "org.gnome.Orca.Service", 0);
  if (r < 0) {
    std::fprintf(stderr, "orca_standin: %s\n", std::strerror(-r));
    return 1;
  }
  if (std::FILE* ready = std::fopen(argv[2], "w")) std::fclose(ready);
  for (;;) {
    r = sd_bus_process(bus, nullptr);
    if (r < 0) return 1;
    if (r == 0 && sd_bus_wait(bus, UINT64_MAX) < 0) return 1;
  }
}
