#include "game/room_text.h"

#include <cmath>

namespace {

const char* heading_words(int heading) {
  switch (heading) {
    case kSouth: return " sends arm heading south.";
    case kWest: return " sends arm heading west.";
    case kNorth: return " sends arm heading north.";
    default: return " sends arm heading east.";
  }
}

const char* escape_words(int heading) {
  switch (heading) {
    case kWest: return " has scurried West to escape the arm.";
    case kNorth: return " has scurried North to escape the arm.";
    case kSouth: return " has scurried South to escape the arm.";
    default: return " has scurried East to escape the arm.";
  }
}

std::string kind_word(int animal) { return animal == kMouse ? "Mouse" : "Rat"; }

}  // namespace

std::string column_letter(double column) {
  if (!std::isfinite(column)) return "";
  double w = std::nearbyint(column);
  if (w < 1 || w > 26) return "";
  return std::string(1, static_cast<char>('A' + static_cast<int>(w) - 1));
}

std::string cell_name(double x, double y) { return column_letter(x) + " " + number_text(y); }

std::string switch_info(const Cell& c) {
  StoredValues v = stored_values(c);
  std::string at = column_letter(v.second.num()) + " " + v.third.str() + ".";
  if (v.first == kUnset) return "not yet set to do anything.";
  if (v.first == kRaise) return "set to raise track at " + at;
  if (v.first == kLower) return "set to lower track at " + at;
  if (v.first == kToggle) return "set to toggle track at " + at;
  return "";
}

std::string event_text(const Event& e) {
  std::string at = cell_name(e.x, e.y);
  switch (e.kind) {
    case Event::turned: return "Angled track at " + at + heading_words(e.heading);
    case Event::blocked: return "Track block at " + at + " sends arm back the way it came.";
    case Event::edge: return "End of track at " + at + " sends arm back the way it came.";
    case Event::switch_pressed:
      return std::string(e.toggle ? "Toggle switch at " : "Switch at ") + at + " is pressed.  The track piece at " +
             cell_name(e.tx, e.ty) + (e.raised ? " raises into position." : " lowers out of the way.");
    case Event::recharged:
      return "Charger block at " + at + " recharges arm and sends it back the way it came.";
    case Event::debris_freed: return "Debris is knocked free of the track at " + at + ".";
    case Event::debris_hit:
      return "Debris at " + at + " sends arm back the way it came.  Impacting this spot " +
             (e.hits >= 2 ? "1 more tile" : "2 more tiles") + " will break the debris free.";
    case Event::to_claw: return "At " + at + ", the saw attachment has been switched out for a grabbing claw.";
    case Event::to_saw: return "At " + at + ", the claw attachment has been switched out for a spinning saw.";
    case Event::set_down: return kind_word(e.animal) + " was dropped off at " + at + ".";
    case Event::fled: return kind_word(e.animal) + " at " + at + escape_words(e.heading);
    case Event::picked_up: return kind_word(e.animal) + " has been picked up at " + at + ".";
    case Event::shredded: return kind_word(e.animal) + " at " + at + " has been shredded by the saw blades.";
    case Event::energy_failure: return "Critical energy failure at " + at + ".  The arm cannot be moved.";
  }
  return "";
}
