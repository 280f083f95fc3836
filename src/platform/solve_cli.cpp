#include "platform/solve_cli.h"

#include <iostream>

int run_solve(const Options&, const std::string&) {
  std::cerr << "tinkerhold: the solver is not built yet\n";
  return 3;
}
