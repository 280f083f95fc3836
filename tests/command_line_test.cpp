// The command line as Linux programs take it: --help, --version, both forms
// of an option's value, and the refusals.
#include <gtest/gtest.h>

#include "rig.h"

TEST(CommandLine, HelpAndVersionPrintAndEndWell) {
  std::string out;
  EXPECT_EQ(run_game({"--help"}, out), 0);
  for (const char* option : {"--level", "--challenge", "--seed", "--speech=system", "--speech=none", "--no-sound",
                             "--headless", "--script", "--program-dir", "--solve", "--help", "--version"})
    EXPECT_NE(out.find(option), std::string::npos) << option << " is missing from --help:\n" << out;
  EXPECT_EQ(run_game({"--version"}, out), 0);
  EXPECT_EQ(out, "tinkerhold 0.7b\n");
}

TEST(CommandLine, AValueGoesAfterAnEqualsSignOrAsTheNextArgument) {
  Rig r;
  r.write("quiet.keys", "wait 1\n");
  std::string joined, apart;
  std::string script = (r.dir() / "quiet.keys").string();
  ASSERT_EQ(run_game({"--headless", "--seed=4", "--level=5", "--program-dir=" + std::string(TINKERHOLD_PROGRAM_DIR),
                      "--script=" + script},
                     joined),
            0)
      << joined;
  ASSERT_EQ(run_game({"--headless", "--seed", "4", "--level", "5", "--program-dir", TINKERHOLD_PROGRAM_DIR,
                      "--script", script},
                     apart),
            0);
  EXPECT_NE(joined.find("Level 5"), std::string::npos) << joined;
  EXPECT_EQ(joined, apart);
}

TEST(CommandLine, WrongArgumentsAreRefusedWithTheReasonAndTheUsage) {
  std::string out;
  EXPECT_EQ(run_game({"--headless", "--seed", "1", "--seed=2"}, out), 2);
  EXPECT_NE(out.find("--seed was given twice"), std::string::npos) << out;
  EXPECT_EQ(run_game({"--level", "3", "--level", "3"}, out), 2);
  EXPECT_NE(out.find("--level was given twice"), std::string::npos) << out;
  EXPECT_EQ(run_game({"--fast"}, out), 2);
  EXPECT_NE(out.find("unknown option --fast"), std::string::npos) << out;
  EXPECT_NE(out.find("usage: tinkerhold"), std::string::npos) << out;
  EXPECT_EQ(run_game({"--headless", "--script"}, out), 2);
  EXPECT_NE(out.find("--script needs a value"), std::string::npos) << out;
  EXPECT_EQ(run_game({"--speech=loud"}, out), 2);
  EXPECT_EQ(run_game({"--headless", "level5"}, out), 2);
  EXPECT_NE(out.find("unexpected argument level5"), std::string::npos) << out;
}
