// The solver and the hint key: small rooms with one way to win, rooms that
// cannot be won, and the key scripts the solver writes, played in the game.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "faults_rig.h"
#include "game/game.h"
#include "levels/campaign.h"
#include "rig.h"
#include "solver/keyscript.h"
#include "solver/solver.h"

// AddressSanitizer needs far more address space than it uses: no limit there.
#if defined(__SANITIZE_ADDRESS__)
#define SOLVER_TEST_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOLVER_TEST_UNDER_ASAN 1
#endif
#endif

namespace {


bool won(const Rig& r) {
  for (const auto& s : r.lines("story"))
    if (s.rfind("Victory!", 0) == 0) return true;
  return false;
}

Solution solve(const MapText& m) {
  Rig r;
  r.load(m);
  SolveLimits limits;
  limits.seconds = 300;
  limits.memo_bits = 16;
  return solveroom(r.g(), limits);
}

// Plays the solver's key script for the room in the game itself.
bool script_wins(const MapText& m, const Solution& s, std::string& transcript) {
  Rig probe;
  probe.load(m);
  std::string script;
  for (const auto& line : keyscript(probe.g(), s.placements, s.seconds_to_win)) script += line + "\n";
  Rig r(script);
  r.load(m);
  r.run();
  transcript = script + "----\n" + r.all();
  return won(r);
}

bool same(const Placement& a, const Placement& b) {
  return a.x == b.x && a.y == b.y && a.piece == b.piece && a.lowered == b.lowered && a.action == b.action &&
         a.tx == b.tx && a.ty == b.ty;
}

// A 3 x 3 room, the arm on A 1 heading east with energy for one redirect:
// only a south-west turn at C 1 brings it down to the rat at C 3.
MapText one_turn_room() {
  MapText m;
  m.width = 3, m.height = 3, m.startx = 1, m.starty = 1, m.startdir = kEast, m.energy = 2;
  m.put(3, 3, kRat, 0, "Bits");
  return m;
}

// Rats at E 1 and C 2. Heading west after the edge, a south-east turn at
// C 1 would lead to C 2, but raised it stops the arm on the way east: it
// must lie lowered until a switch at D 1 raises it.
MapText switch_room() {
  MapText m;
  m.width = 5, m.height = 2, m.startx = 1, m.starty = 1, m.startdir = kEast, m.energy = 3;
  m.put(5, 1, kRat, 0, "Bits").put(3, 2, kRat, 0, "Bitey");
  return m;
}

// One energy and the rat behind the arm: only a recharge station at D 1,
// met as the piece ahead, turns it round without the failure.
MapText recharge_room() {
  MapText m;
  m.width = 4, m.height = 2, m.startx = 2, m.starty = 1, m.startdir = kEast, m.energy = 1;
  m.put(1, 1, kRat, 0, "Bits");
  return m;
}

}  // namespace

TEST(Solver, FindsTheOneTurnTheSwitchLinkAndTheRechargeStationThatWin) {
  struct Case {
    const char* name;
    MapText map;
    std::vector<Placement> expected;
  };
  Placement turn{3, 1, kSouthWest, false, 0, 0, 0};
  Placement lowered{3, 1, kSouthEast, true, 0, 0, 0};
  Placement raiser{4, 1, kSwitch, false, 1, 3, 1};
  Placement station{4, 1, kRecharge, false, 0, 0, 0};
  std::vector<Case> cases = {{"one turn", one_turn_room(), {turn}},
                             {"switch link", switch_room(), {lowered, raiser}},
                             {"recharge", recharge_room(), {station}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Solution s = solve(c.map);
    ASSERT_EQ(s.verdict, Verdict::solved) << s.reason;
    ASSERT_EQ(s.placements.size(), c.expected.size());
    for (size_t i = 0; i < c.expected.size(); ++i)
      EXPECT_TRUE(same(s.placements[i], c.expected[i])) << placementwords(s.placements[i]);
    std::string transcript;
    EXPECT_TRUE(script_wins(c.map, s, transcript)) << transcript;
  }
}

TEST(Solver, TellsPlacementsInTheGamesOwnWords) {
  EXPECT_EQ(placementwords({3, 1, kNorthWest, false, 0, 0, 0}), "C 1, North-west turn");
  EXPECT_EQ(placementwords({2, 4, kSwitch, false, 2, 3, 4}), "B 4, Switch set to lower track at C 4");
  EXPECT_EQ(placementwords({3, 1, kSouthEast, true, 0, 0, 0}), "C 1, South-east turn, in a lowered position");
}

TEST(Solver, ProvesARatWalledInByLockedBlockersCannotBeReached) {
  MapText m;
  m.width = 4, m.height = 4, m.energy = 10;
  m.put(4, 4, kRat, 0, "Bits").put(3, 4, kBlocker, 0, " 0 ", 0, 0, 1).put(4, 3, kBlocker, 0, " 0 ", 0, 0, 1);
  Solution s = solve(m);
  EXPECT_EQ(s.verdict, Verdict::unwinnable);
  EXPECT_NE(s.reason.find("D 4 is walled in"), std::string::npos) << s.reason;

  // Without the walls the room is easily won.
  m.cells.erase({3, 4});
  EXPECT_EQ(solve(m).verdict, Verdict::solved);
}

TEST(Solver, ExhaustsEveryWayBeforeSayingARoomCannotBeWon) {
  // The rat is in reach, but one redirect is all the energy allows and no
  // single piece leads there: a south-west turn at C 1 is the only way, and
  // C 1 is locked.
  MapText m = one_turn_room();
  m.put(3, 1, kEmpty, 0, " 0 ", 0, 0, 1);
  Solution s = solve(m);
  EXPECT_EQ(s.verdict, Verdict::unwinnable);
  EXPECT_EQ(s.reason, "every way of placing pieces was tried");
}

TEST(Solver, NeverPlacesWhereThePlayerCannot) {
  // C 1 is locked: a turn there would win with one piece. B 1 is a drop
  // zone, C 2 a rat path, B 3 debris; the way left is D 1 and D 3.
  MapText m;
  m.width = 4, m.height = 3, m.startx = 1, m.starty = 1, m.startdir = kEast, m.energy = 3;
  m.put(3, 1, kEmpty, 0, " 0 ", 0, 0, 1).put(2, 1, kDropZone).put(3, 2, kRatPath).put(2, 3, kDebris);
  m.put(3, 3, kRat, 0, "Bits").put(1, 3, kMouse, 0, "Peanut");
  Solution s = solve(m);
  ASSERT_EQ(s.verdict, Verdict::solved) << s.reason;
  ASSERT_EQ(s.placements.size(), 2u);
  EXPECT_TRUE(same(s.placements[0], {4, 1, kSouthWest, false, 0, 0, 0}));
  EXPECT_TRUE(same(s.placements[1], {4, 3, kNorthWest, false, 0, 0, 0}));

  // The same holds in the first campaign rooms: no piece on a locked cell,
  // the start, an animal, debris, a rat path or a drop zone.
  for (int level = 1; level <= 7; ++level) {
    SCOPED_TRACE("level " + std::to_string(level));
    Rig r;
    ASSERT_TRUE(Form_Load_for_test(r));
    r.g().level = level;
    startusout(r.g());
    SolveLimits limits;
    limits.memo_bits = 16;
    limits.seconds = 300;
    Solution c = solveroom(r.g(), limits);
    ASSERT_EQ(c.verdict, Verdict::solved);
    const Game& g = r.g();
    for (const Placement& p : c.placements) {
      EXPECT_EQ(g.locked[p.x][p.y], 0) << placementwords(p);
      EXPECT_FALSE(p.x == g.startx && p.y == g.starty) << placementwords(p);
      for (int t : {kMouse, kRat, kDebris, kRatPath, kDropZone}) EXPECT_NE(g.tile[p.x][p.y], t) << placementwords(p);
    }
  }
}

TEST(Solver, WinsARoomWithUnlimitedEnergyCountingNoBounce) {
  // Without a piece the arm bounces along row 1 for ever: the search sees
  // the loop and goes on to the turn. No bounce is counted.
  MapText m = one_turn_room();
  m.energy = -1;
  Solution s = solve(m);
  ASSERT_EQ(s.verdict, Verdict::solved) << s.reason;
  ASSERT_EQ(s.placements.size(), 1u);
  EXPECT_TRUE(same(s.placements[0], {3, 1, kSouthWest, false, 0, 0, 0}));
  EXPECT_EQ(s.bounces, 0);
  EXPECT_EQ(s.energyleft, -1);
}

TEST(Solver, AnArmSpinningForEverAtOneSpotIsALossNotAnEndlessTick) {
  // Unlimited energy. From A 2 the arm heads east into the north-west turn
  // at B 2, which sends it north into the blocker at B 1; sent back south,
  // the turn sends it west into the north-west turn at A 2, which sends it
  // back east into B 2's turn, and so on: in the game it spins at B 2, a
  // second a turn, until the player stops it. In the search that spin is
  // all one tick. The rat at C 3 is out of reach.
  MapText m;
  m.width = 3, m.height = 3, m.startx = 1, m.starty = 2, m.startdir = kEast, m.energy = -1;
  m.put(1, 2, kNorthWest, 0, " 0 ", 0, 0, 1).put(2, 2, kNorthWest, 0, " 0 ", 0, 0, 1);
  m.put(2, 1, kBlocker, 0, " 0 ", 0, 0, 1).put(3, 3, kRat, 0, "Bits");
  // In a child with bounded memory: a tick that never ends writes event
  // lines until the memory is gone.
  ChildResult child = in_child(
      [&] {
#ifndef SOLVER_TEST_UNDER_ASAN
        rlimit most{size_t{2} << 30, size_t{2} << 30};
        ::setrlimit(RLIMIT_AS, &most);
#endif
        Solution s = solve(m);
        return std::string(s.verdict == Verdict::unwinnable ? "unwinnable"
                           : s.verdict == Verdict::solved   ? "solved"
                                                            : "out of budget") +
               "\n";
      },
      120);
  ASSERT_TRUE(child.exited(0)) << "the search did not come back (status " << child.status << ")";
  EXPECT_EQ(child.out, "unwinnable\n");

  // The game itself spins there, saying so at every turn.
  Rig r("key space\nwait 60\n");
  r.load(m);
  r.run();
  auto log = r.lines("log");
  EXPECT_GE(std::count(log.begin(), log.end(), "Track block at A 2 sends arm back the way it came."), 10) << r.all();
}

TEST(Solver, RunningOutOfBudgetIsNeverTakenForAProof) {
  Solution s;
  {
    Rig r;
    r.load(switch_room());
    SolveLimits tiny;
    tiny.nodes = 3;
    tiny.memo_bits = 12;
    s = solveroom(r.g(), tiny);
  }
  EXPECT_EQ(s.verdict, Verdict::out_of_budget);
  // Levels whose wins need more placements than the first turns of the
  // exact search can try: the search must come back to them (with its
  // remembered dead ends) without ever calling them lost.
  for (int level : {8, 14}) {
    SCOPED_TRACE("level " + std::to_string(level));
    Rig r;
    ASSERT_TRUE(Form_Load_for_test(r));
    r.g().level = level;
    startusout(r.g());
    SolveLimits limits;
    limits.memo_bits = 18;
    limits.seconds = 300;  // the node budget decides, however slow the machine
    Solution c = solveroom(r.g(), limits);
    EXPECT_EQ(c.verdict, Verdict::solved) << c.reason;
    EXPECT_GE(c.placements.size(), 5u);
  }
}

TEST(Solver, LeavesTheGameItSolvesAsItWas) {
  Rig r;
  r.load(switch_room());
  Game& g = r.g();
  Layer tile = g.tile, tvar1 = g.tvar1;
  uint64_t seed_check = std::mt19937_64(g.rng)();
  ASSERT_EQ(solveroom(g, SolveLimits{}).verdict, Verdict::solved);
  EXPECT_EQ(g.tile, tile);
  EXPECT_EQ(g.tvar1, tvar1);
  EXPECT_EQ(g.armspeed[1], 0);
  EXPECT_EQ(g.energy[1], 3);
  EXPECT_EQ(g.watch, nullptr);
  EXPECT_EQ(std::mt19937_64(g.rng)(), seed_check);  // no random draw was taken from the game
  EXPECT_TRUE(r.lines("say").empty());
}

TEST(SolveCommand, PrintsAPlayableScriptOrSaysTheRoomCannotBeWon) {
  ProgramDir p;
  std::string room = (p.dir() / "challenges" / "turn.txt").string();
  p.write("challenges/turn.txt", one_turn_room().text());
  GameRun solved = run_game({"--solve", "--challenge", room, "--program-dir", p.dir().string()});
  ASSERT_EQ(solved.status, 0) << solved.out;
  EXPECT_NE(solved.out.find("# C 1, South-west turn\n"), std::string::npos) << solved.out;
  EXPECT_NE(solved.out.find("# 1 bounces/redirections of the arm, 1 energy left.\n"), std::string::npos);
  // What it prints is a key script as it stands.
  GameRun played = play(p, solved.out, {"--challenge", room});
  EXPECT_NE(played.out.find("story: Victory!"), std::string::npos) << played.out;

  p.write("challenges/walled.txt", room_map("3x3 | . . . / . . 1L / . 1L 9=Bits"));
  GameRun walled = run_game({"--solve", "--challenge", (p.dir() / "challenges/walled.txt").string(), "--program-dir",
                         p.dir().string()});
  EXPECT_EQ(walled.status, 1) << walled.out;
  EXPECT_NE(walled.out.find("cannot be won: the rat at C 3 is walled in"), std::string::npos) << walled.out;
}
