// The game's speaking rate 1..10 on speech-dispatcher's scale (-100..100,
// 0 the voice's normal rate).
#pragma once

// 1 is the voice's normal rate, each step 8 faster: 2 (where the game
// starts) a little faster than normal, 10 (+72) fast but still clear.
// Values outside 1..10 are held to the nearest end.
constexpr int speechd_rate(int rate) {
  if (rate < 1) rate = 1;
  if (rate > 10) rate = 10;
  return (rate - 1) * 8;
}
