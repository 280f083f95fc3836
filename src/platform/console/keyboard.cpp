#include "platform/console/keyboard.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "ports/key_codes.h"

namespace {

constexpr int kKeyInsert = 45;  // the window's code for Insert

// Punctuation as typed on a US keyboard: the key's code, and Shift for the
// upper of its two characters.
struct Punctuation {
  char typed;
  int code;
  int shift;
};
constexpr Punctuation kPunctuation[] = {
    {'[', kKeyLeftBracket, 0}, {'{', kKeyLeftBracket, kShift}, {']', kKeyRightBracket, 0},
    {'}', kKeyRightBracket, kShift}, {',', kKeyComma, 0}, {'<', kKeyComma, kShift}, {'.', kKeyPeriod, 0},
    {'>', kKeyPeriod, kShift}, {'`', kKeyGrave, 0}, {'~', kKeyGrave, kShift}, {'=', kKeyEquals, 0},
    {'+', kKeyEquals, kShift}, {'-', kKeyMinus, 0}, {'_', kKeyMinus, kShift}, {';', 186, 0}, {':', 186, kShift},
    {'/', 191, 0}, {'?', 191, kShift}, {'\\', 220, 0}, {'|', 220, kShift}, {'\'', 222, 0}, {'"', 222, kShift},
    {'!', '1', kShift}, {'@', '2', kShift}, {'#', '3', kShift}, {'$', '4', kShift}, {'%', '5', kShift},
    {'^', '6', kShift}, {'&', '7', kShift}, {'*', '8', kShift}, {'(', '9', kShift}, {')', '0', kShift},
};

// One byte as a key on its own.
TypedKey byte_key(unsigned char c) {
  std::string text = c >= 32 && c < 127 ? std::string(1, static_cast<char>(c)) : "";
  switch (c) {
    // Keys a terminal cannot send with Shift or Ctrl have these in their place.
    case 0: return {{kKeyGrave, kCtrl}, ""};          // Ctrl+Space for Ctrl+`
    case 5: return {{kKeyEscape, kShift}, ""};        // Ctrl+E for Shift+Escape
    case 12: return {{kKeyEnter, kShift}, ""};        // Ctrl+L for Shift+Enter
    case 18: return {{kKeySpace, kShift}, ""};        // Ctrl+R for Shift+Space
    case 8: case 127: return {{kKeyBackspace, 0}, ""};
    case 9: return {{kKeyTab, 0}, ""};
    case 10: case 13: return {{kKeyEnter, 0}, ""};
    case 27: return {{kKeyEscape, 0}, ""};
    case 28: return {{220, kCtrl}, ""};
    case 29: return {{kKeyRightBracket, kCtrl}, ""};
    case 31: return {{kKeyMinus, kCtrl}, ""};
    case ' ': return {{kKeySpace, 0}, text};
    default: break;
  }
  if (c >= 1 && c <= 26) return {{'A' + c - 1, kCtrl}, ""};
  if (c >= 'a' && c <= 'z') return {{c - 'a' + 'A', 0}, text};
  if (c >= 'A' && c <= 'Z') return {{c, kShift}, text};
  if (c >= '0' && c <= '9') return {{c, 0}, text};
  for (const Punctuation& p : kPunctuation)
    if (p.typed == static_cast<char>(c)) return {{p.code, p.shift}, text};
  return {{0, 0}, text};
}

// The modifier parameter of a sequence (1 + Shift 1, Alt 2, Ctrl 4) as the
// game's mask.
int modifiers(int param) {
  int m = param > 1 ? param - 1 : 0;
  return (m & 1 ? kShift : 0) | (m & 2 ? kAlt : 0) | (m & 4 ? kCtrl : 0);
}

std::vector<int> numbers(const std::string& params) {
  std::vector<int> out;
  size_t at = 0;
  while (at <= params.size()) {
    size_t end = params.find(';', at);
    if (end == std::string::npos) end = params.size();
    // A number too long for any key is kept at a bound, not overflowed.
    out.push_back(static_cast<int>(std::min(std::strtol(params.substr(at, end - at).c_str(), nullptr, 10), 9999L)));
    at = end + 1;
  }
  return out;
}

// The key of "ESC [ n ~": the editing keys and the function keys; the
// VT220's F13 to F20 are the Linux console's Shift+F3 to Shift+F10.
KeyEvent tilde_key(int n) {
  switch (n) {
    case 1: case 7: return {kKeyHome, 0};
    case 2: return {kKeyInsert, 0};
    case 3: return {kKeyDelete, 0};
    case 4: case 8: return {kKeyEnd, 0};
    case 5: return {kKeyPageUp, 0};
    case 6: return {kKeyPageDown, 0};
    default: break;
  }
  static const int kFunction[] = {11, 12, 13, 14, 15, 17, 18, 19, 20, 21, 23, 24};
  for (int i = 0; i < 12; ++i)
    if (kFunction[i] == n) return {kKeyF1 + i, 0};
  static const int kShifted[] = {25, 26, 28, 29, 31, 32, 33, 34};
  for (int i = 0; i < 8; ++i)
    if (kShifted[i] == n) return {kKeyF1 + 2 + i, kShift};
  return {0, 0};
}

// The key named by the last letter of a sequence (arrows, Home, End, F1 to F4).
int letter_key(char final) {
  switch (final) {
    case 'A': return kKeyUp;
    case 'B': return kKeyDown;
    case 'C': return kKeyRight;
    case 'D': return kKeyLeft;
    case 'H': return kKeyHome;
    case 'F': return kKeyEnd;
    case 'M': return kKeyEnter;  // the keypad's Enter
    case 'P': return kKeyF1;
    case 'Q': return kKeyF1 + 1;
    case 'R': return kKeyF1 + 2;
    case 'S': return kKeyF1 + 3;
    default: return 0;
  }
}

// A whole sequence after ESC: the introducer '[' or 'O', its parameters and
// its last character.
KeyEvent sequence_key(char introducer, const std::string& params, char final) {
  std::vector<int> n = numbers(params);
  int mods = modifiers(n.size() > 1 ? n[1] : introducer == 'O' && !params.empty() ? n[0] : 1);
  KeyEvent k{0, 0};
  if (introducer == '[' && final == 'Z') return {kKeyTab, kShift};
  if (final >= 'a' && final <= 'd') {
    // rxvt: Shift (ESC [ a) and Ctrl (ESC O a) with the arrows.
    return {letter_key(static_cast<char>(final - 'a' + 'A')), introducer == '[' ? kShift : kCtrl};
  }
  if (final == '~' || final == '$' || final == '^' || final == '@') {
    // A key with its character's code: xterm's "ESC [ 27 ; mods ; code ~".
    k = n[0] == 27 && n.size() > 2 ? byte_key(static_cast<unsigned char>(n[2] & 0x7F)).key : tilde_key(n[0]);
    // rxvt marks Shift with '$' and Ctrl with '^'.
    if (final == '$') mods |= kShift;
    if (final == '^') mods |= kCtrl;
    if (final == '@') mods |= kShift | kCtrl;
  } else if (final == 'u') {
    // The same as "ESC [ code ; mods u".
    k = byte_key(static_cast<unsigned char>(n[0] & 0x7F)).key;
  } else {
    k.code = letter_key(final);
  }
  if (k.code == 0) return {0, 0};
  k.shift |= mods;
  return k;
}

size_t utf8_length(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

}  // namespace

size_t decode_key(const std::string& bytes, bool more_may_come, TypedKey& out) {
  if (bytes.empty()) return 0;
  unsigned char c = static_cast<unsigned char>(bytes[0]);
  if (c >= 0x80) {
    size_t n = utf8_length(c);
    if (bytes.size() < n && more_may_come) return 0;
    n = std::min(n, bytes.size());
    out = {{0, 0}, bytes.substr(0, n)};
    return n;
  }
  if (c != 27) {
    out = byte_key(c);
    return 1;
  }
  if (bytes.size() == 1) {
    if (more_may_come) return 0;
    out = byte_key(27);
    return 1;
  }
  char introducer = bytes[1];
  if (introducer != '[' && introducer != 'O') {
    // Escape, and then another key typed quickly. The game has no use for
    // Alt, which some terminals send this way.
    out = byte_key(27);
    return 1;
  }
  // The Linux console's F1 to F5: ESC [ [ A to ESC [ [ E.
  if (introducer == '[' && bytes.size() > 2 && bytes[2] == '[') {
    if (bytes.size() < 4) {
      if (more_may_come) return 0;
      out = byte_key(27);
      return 1;
    }
    char f = bytes[3];
    out = {{f >= 'A' && f <= 'E' ? kKeyF1 + (f - 'A') : 0, 0}, ""};
    return 4;
  }
  // Parameters (digits and ';'), then the character that ends the sequence.
  size_t at = 2;
  while (at < bytes.size() && ((bytes[at] >= '0' && bytes[at] <= '9') || bytes[at] == ';')) ++at;
  if (at >= bytes.size()) {
    if (more_may_come && at < 32) return 0;
    out = byte_key(27);  // cut short: an Escape, and the rest as typed
    return 1;
  }
  out = {sequence_key(introducer, bytes.substr(2, at - 2), bytes[at]), ""};
  return at + 1;
}
