#include "platform/headless/run.h"

#include <fstream>
#include <iostream>
#include <sstream>

#include "state/game.h"
#include "platform/brlapi/system_braille.h"
#include "platform/headless/headless.h"
#include "platform/session.h"
#include "view/naming.h"

namespace {

std::string number(double n) {
  std::ostringstream out;
  out << n;
  return out.str();
}

// A cell in the rooms' own notation: "." empty, "9", "1/7", "12:9", a
// switch's action and target "6>r:C4", "L" when locked, "=" its name or hits.
std::string cellcode(const Game& g, int x, int y) {
  const Cell& cell = g.room.cells[x][y];
  StoredValues v = stored_values(cell);
  std::string c = cell.piece == 0 && cell.beneath == 0 ? "." : std::to_string(cell.piece);
  if (cell.beneath != 0) c += "/" + std::to_string(cell.beneath);
  if (cell.piece == kRatPath && v.second != 0) c += ":" + v.second.str();
  bool is_switch = cell.piece == kSwitch || (cell.piece == kLowered && cell.beneath == kSwitch);
  if (is_switch && (v.first != 0 || v.second != 0 || v.third != 0)) {
    int action = v.first.whole();
    c += ">" + std::string(action >= 1 && action <= 3 ? std::string(1, "rlt"[action - 1]) : v.first.str()) + ":" +
         column_letter(v.second.num()) + v.third.str();
  }
  if (cell.fixed != 0) c += "L";
  if (!is_switch && v.first != 0) c += "=" + v.first.str();
  return c;
}

// The room's state as transcript lines (the script's `show`).
void showroom(Game& g) {
  static const char* const kHeadings[4] = {"east", "south", "west", "north"};
  int d = g.room.arm[1].heading;
  std::string heading = d % 90 == 0 && d >= 0 && d < 360 ? kHeadings[d / 90] : std::to_string(d);
  std::string tool = g.room.arm[1].tool == 0 ? "saw" : "claw";
  if (g.room.arm[1].carrying != 0) tool += " carrying " + g.room.arm[1].carried_name + " (" + std::to_string(g.room.arm[1].carrying) + ")";
  g.io.transcript.record("show", "arm " + number(g.room.arm[1].x) + "," + number(g.room.arm[1].y) + " " + heading + " speed " +
                                     number(g.room.arm[1].speed) + " energy " + std::to_string(g.room.arm[1].energy) + " bounces " +
                                     std::to_string(g.room.bounces) + " " + tool + " arms " + std::to_string(g.room.active_arms));
  g.io.transcript.record("show", "level " + std::to_string(g.level) + " cursor " + cell_name(g.cursor_x, g.cursor_y) +
                                     " menu " + std::to_string(g.open_menu) + "/" + std::to_string(g.menu_position));
  for (int y = 1; y <= g.room.height && y <= kMaxRoom; ++y) {
    std::string row = "row " + std::to_string(y) + ":";
    for (int x = 1; x <= g.room.width && x <= kMaxRoom; ++x) row += " " + cellcode(g, x, y);
    g.io.transcript.record("show", row);
  }
}

}  // namespace

int run_headless(const Options& o, const FilePlaces& places, std::FILE* out, SpeechPort* speech,
                 SystemBraille* braille) {
  Script script;
  if (!o.script.empty()) {
    std::ifstream in(o.script, std::ios::binary);
    if (!in) {
      std::cerr << "tinkerhold: cannot read the script " << o.script << "\n";
      return 2;
    }
    std::stringstream text;
    text << in.rdbuf();
    ScriptError error;
    auto parsed = parse_script(text.str(), error);
    if (!parsed) {
      std::cerr << "tinkerhold: " << o.script << ", line " << error.line << ": " << error.reason << "\n";
      return 2;
    }
    script = std::move(*parsed);
  }
  VirtualEvents events(std::move(script));
  PortSet ports = make_headless_ports(events, places);
  auto& transcript = ports.make<PrintedTranscript>(events, out);
  // A real voice is heard at the pace of the script; otherwise speech is
  // only recorded.
  if (speech) ports.use(*speech);
  if (speech || braille) events.pace_with_wall_clock();
  ports.make<RecordedBraille>(transcript, o.braille_transcript, braille);
  if (braille) ports.make<BrailleKeysEvents>(events, *braille);
  Game g(ports.ports());
  g.seed(o.seed.value_or(clock_seed()));
  events.on_show([&g] { showroom(g); });
  int status = run_session(g, o, [&events] { events.start_script(); });
  std::fflush(out);
  return status;
}
