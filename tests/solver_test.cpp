// The solver's limits and manners (its answers for small rooms and the
// campaign are golden scenarios, tests/scenarios/solve).
#include <gtest/gtest.h>

#include "levels/campaign.h"
#include "rig.h"
#include "play/hint.h"
#include "solver/known_wins.h"
#include "solver/solver.h"

namespace {

// Rats at E 1 and C 2: a lowered south-east turn at C 1 and a switch at D 1
// that raises it win.
const char* const kSwitchRoom = "5x2 energy=3 | . . . . 9=Bits / . . 9=Bitey . .";

}  // namespace

TEST(Solver, RunningOutOfBudgetIsNeverTakenForAProof) {
  Solution s;
  {
    Rig r;
    r.load(kSwitchRoom);
    SolveLimits tiny;
    tiny.nodes = 3;
    tiny.memo_bits = 12;
    s = solve_room(r.g().room, r.g().level >= kToolExchangeLevel, tiny);
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
    start_level(r.g());
    SolveLimits limits;
    limits.memo_bits = 18;
    limits.seconds = 300;  // the node budget decides, however slow the machine
    Solution c = solve_room(r.g().room, r.g().level >= kToolExchangeLevel, limits);
    EXPECT_EQ(c.verdict, Verdict::solved) << c.reason;
    EXPECT_GE(c.placements.size(), 5u);
  }
}

// Level 20 is won from rat to rat, and some of its rats die in the very
// tick that the arm looks at the cell the next one needs, or after the last
// placement a step may make. The step-by-step search wins it within a
// million decision points only if such a kill is still a moment to go on
// from, with the cells the arm has not yet settled left open.
TEST(Solver, StepByStepSearchGoesOnFromEveryKill) {
#ifdef TINKERHOLD_SANITIZED
  // Many times slower there, and it tests the search's choices, not memory:
  // the other solver tests run the same code under the sanitizers.
  GTEST_SKIP() << "a million decision points are left to the plain build";
#endif
  Rig r;
  ASSERT_TRUE(Form_Load_for_test(r));
  r.g().level = 20;
  start_level(r.g());
  SolveLimits limits;
  limits.nodes = 1'000'000;
  limits.seconds = 600;  // the node budget decides, however slow the machine
  limits.threads = 2;
  Solution s = solve_room(r.g().room, r.g().level >= kToolExchangeLevel, limits);
  ASSERT_EQ(s.verdict, Verdict::solved) << s.reason;
  EXPECT_LE(s.placements.size(), 14u);
  Solution replay;
  EXPECT_TRUE(check_solution(r.g().room, s.placements, replay));
}

TEST(SolveCommand, PrintsAPlayableScriptOrSaysTheRoomCannotBeWon) {
  ProgramDir p;
  std::string room = (p.dir() / "challenges" / "turn.txt").string();
  p.write("challenges/turn.txt", room_map("3x3 energy=2 | . . . / . . . / . . 9=Bits"));
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

// Every campaign room's known win wins, and H names its pieces one by one
// from the start of the level to "start the arm"; a piece of the player's
// that no win can keep is named for taking away.
TEST(Hint, GuidesThroughEveryCampaignRoom) {
  Rig r;
  ASSERT_TRUE(Form_Load_for_test(r));
  auto hint = [&r]() {
    r.forget();
    hint_key(r.g());
    std::vector<std::string> said = r.lines("say");
    return said.empty() ? std::string() : said.back();
  };
  for (int level = 1; level <= 24; ++level) {
    SCOPED_TRACE("level " + std::to_string(level));
    r.g().level = level;
    start_level(r.g());
    Solution s;
    EXPECT_TRUE(check_solution(r.g().room, known_win(level), s));
    for (const Placement& p : known_win(level)) {
      std::string h = hint();
      EXPECT_TRUE(h.rfind("Hint: place ", 0) == 0 || h.rfind("Hint: set the switch ", 0) == 0) << h;
      apply_placement(r.g().room, p);
    }
    EXPECT_EQ(hint(), "Hint: start the arm.");
  }
  // The arm can leave the top row only south from B 1.
  r.g().level = 2;
  start_level(r.g());
  apply_placement(r.g().room, {2, 2, kBlocker});
  EXPECT_EQ(hint(), "Hint: remove the piece at B 2.");
  // A piece the room starts with, taken away, is named for putting back.
  r.g().level = 20;
  start_level(r.g());
  r.g().room.cells[1][1] = Cell{};
  EXPECT_EQ(hint(), "Hint: place a South-east turn at A 1.");
}
