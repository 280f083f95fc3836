// The keys the game knows, as every front-end reports them.
#pragma once

// Windows virtual-key codes of the keys the game uses.
enum Key : int {
  kKeyBackspace = 8,
  kKeyTab = 9,
  kKeyEnter = 13,
  kKeyShift = 16,
  kKeyControl = 17,
  kKeyEscape = 27,
  kKeySpace = 32,
  kKeyPageUp = 33,
  kKeyPageDown = 34,
  kKeyEnd = 35,
  kKeyHome = 36,
  kKeyLeft = 37,
  kKeyUp = 38,
  kKeyRight = 39,
  kKeyDown = 40,
  kKeyDelete = 46,
  kKeyNumPlus = 107,
  kKeyNumMinus = 109,
  kKeyF1 = 112,  // F2 to F12 follow on: kKeyF1 + 1 ... kKeyF1 + 11
  kKeyEquals = 187,
  kKeyComma = 188,
  kKeyMinus = 189,
  kKeyPeriod = 190,
  kKeyGrave = 192,
  kKeyLeftBracket = 219,
  kKeyRightBracket = 221,
};

// Modifier masks.
constexpr int kShift = 1, kCtrl = 2, kAlt = 4;
