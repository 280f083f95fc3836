// The challenge message table: the game's texts that a challenge author may
// reword, written at the end of every saved map.
#pragma once

#include <string>
#include <vector>

// The 116 texts, in the order they are written.
const std::vector<std::string>& message_table();
// The line before the pairs.
extern const char* const kMessageTableHeader;
