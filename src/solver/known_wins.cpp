#include "solver/known_wins.h"

#include <array>

const std::vector<Placement>& known_win(int level) {
  static const std::array<std::vector<Placement>, 25> wins = {{
      {},
      // 1
      {{3, 3, kNorthWest}},
      // 2
      {{2, 1, kSouthWest}, {2, 4, kNorthEast}},
      // 3
      {{2, 1, kSouthEast}, {4, 1, kSouthWest}},
      // 4
      {{4, 1, kSouthWest}, {3, 1, kSouthEast}, {3, 3, kSouthWest, true}, {3, 5, kSwitch, false, 1, 3, 3}},
      // 5
      {},
      // 6
      {{3, 1, kSouthEast}, {3, 4, kNorthWest}, {2, 4, kSwitch, false, 2, 3, 4}, {5, 4, kNorthWest}},
      // 7
      {{3, 3, kNorthWest}, {3, 1, kSouthWest}, {2, 1, kSwitch, false, 2, 3, 1}, {4, 1, kSouthWest}},
      // 8
      {{3, 2, kNorthWest}, {1, 2, kNorthEast}, {1, 1, kSouthEast}, {5, 1, kSouthWest}, {5, 5, kNorthWest},
       {2, 5, kSwitch, false, 2, 1, 2}, {1, 5, kRecharge}},
      // 9
      {{2, 4, kSouthEast}, {3, 4, kNorthWest}, {3, 1, kSouthEast}, {5, 1, kSouthWest},
       {5, 4, kSwitch, false, 2, 2, 4}, {5, 5, kRecharge}, {1, 4, kNorthEast}},
      // 10
      {{2, 6, kSwitch, true, 1, 4, 4}, {4, 6, kNorthWest}, {4, 5, kSwitch, false, 1, 2, 6}, {4, 4, kSouthWest, true},
       {2, 4, kSouthEast}, {1, 2, kSouthEast}, {3, 2, kNorthWest}},
      // 11
      {{3, 1, kSouthEast, true}, {4, 1, kSwitch, false, 1, 3, 1}, {6, 1, kRecharge}, {3, 3, kNorthWest}},
      // 12
      {{4, 1, kSouthWest}, {3, 1, kSouthEast, true}, {1, 1, kRecharge}, {4, 2, kSwitch, false, 1, 3, 1},
       {3, 2, kNorthWest}},
      // 13
      {{3, 1, kSouthWest}, {2, 1, kSouthEast}, {2, 6, kNorthEast}, {4, 6, kRecharge, true},
       {5, 6, kSwitch, false, 1, 4, 6}, {6, 6, kNorthWest}},
      // 14
      {{6, 5, kNorthWest}, {6, 3, kSouthWest}, {1, 3, kNorthEast}, {1, 2, kSouthEast}, {4, 2, kSouthWest, true},
       {5, 2, kSwitch, false, 2, 1, 3}, {6, 2, kRecharge}, {1, 4, kSwitch, false, 1, 4, 2}, {4, 6, kNorthWest},
       {2, 6, kSwitch, false, 2, 4, 6}},
      // 15
      {{6, 5, kNorthWest}, {3, 5, kNorthEast}},
      // 16
      {{2, 5, kSouthEast, true}, {2, 6, kSwitch, false, 1, 2, 5}, {2, 7, kNorthEast, true}, {6, 5, kNorthWest},
       {6, 2, kSwitch, false, 1, 2, 7}, {3, 7, kNorthEast, true}, {3, 1, kSwitch, false, 1, 3, 7}, {1, 1, kRecharge}},
      // 17
      {{3, 1, kToolExchange}, {4, 1, kSouthWest}, {4, 3, kNorthWest}, {2, 3, kToolExchange}},
      // 18
      {{5, 1, kSouthWest}, {3, 1, kSouthEast, true}, {2, 1, kSwitch, false, 2, 5, 1}, {6, 1, kSwitch, false, 1, 3, 1},
       {3, 7, kNorthWest}, {2, 7, kSwitch, false, 2, 3, 7}, {7, 7, kNorthWest}, {7, 5, kSouthWest}},
      // 19
      {{2, 3, kSouthEast}, {3, 3, kSouthEast, true}, {5, 3, kSouthWest}, {5, 4, kSwitch, false, 1, 3, 3},
       {5, 5, kNorthEast}, {3, 5, kNorthWest}, {3, 4, kSwitch, false, 2, 5, 5}, {5, 6, kNorthWest},
       {4, 6, kSouthEast}},
      // 20
      {{2, 3, kSouthWest, true}, {1, 3, kNorthEast}, {2, 1, kToolExchange}, {3, 1, kSwitch, false, 1, 2, 3},
       {2, 5, kSouthEast, true}, {2, 7, kNorthWest}, {1, 7, kNorthEast}, {1, 6, kToolExchange},
       {1, 5, kSwitch, false, 1, 2, 5}, {1, 4, kSwitch, false, 2, 1, 3}, {4, 5, kSouthEast, true},
       {5, 5, kSwitch, false, 1, 4, 5}, {6, 5, kRecharge}, {4, 6, kToolExchange}, {4, 7, kNorthWest},
       {3, 7, kSwitch, false, 2, 2, 7}},
      // 21
      {{7, 3, kToolExchange}, {7, 5, kNorthWest}, {1, 5, kNorthEast}, {1, 2, kSouthEast}, {10, 2, kNorthWest},
       {10, 1, kSouthWest}, {8, 1, kToolExchange}, {5, 1, kSouthWest, true}, {4, 1, kSwitch, false, 1, 5, 1},
       {3, 1, kSouthEast}},
      // 22
      {{6, 4, kNorthWest}, {6, 2, kSouthWest}, {3, 2, kSouthEast}, {3, 7, kNorthEast}, {4, 7, kNorthWest}},
      // 23
      {{8, 1, kSouthWest}, {8, 2, kSouthWest, true}, {8, 3, kSwitch, false, 1, 8, 2}, {6, 2, kSouthWest, true},
       {4, 2, kSouthWest, true}, {3, 2, kSwitch, false, 1, 6, 2}, {2, 2, kSouthEast, true},
       {6, 3, kSwitch, false, 1, 2, 2}, {2, 3, kSwitch, false, 1, 4, 2}},
      // 24
      {{2, 5, kNorthEast, true}, {3, 5, kNorthEast, true}, {4, 5, kSwitch, false, 1, 2, 5},
       {5, 5, kSwitch, true, 1, 3, 5}, {6, 5, kNorthWest, true}, {7, 5, kSouthWest}, {2, 6, kSwitch, false, 1, 6, 5},
       {1, 6, kSwitch, false, 1, 5, 5}, {3, 3, kRecharge, true}, {3, 2, kSwitch, false, 1, 3, 3}, {3, 1, kSouthWest},
       {1, 1, kSouthEast}, {1, 3, kSwitch, false, 2, 3, 1}},
  }};
  static const std::vector<Placement> none;
  return level >= 1 && level <= 24 ? wins[level] : none;
}
