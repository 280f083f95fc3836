// Map files are single-byte text: a file that is valid UTF-8 is taken as it
// is, any other as Windows-1252.
#pragma once

#include <string>
#include <vector>

bool valid_utf8(const std::string& s);
std::string cp1252_to_utf8(const std::string& s);
// Converts every line when the lines together are not valid UTF-8.
void lines_to_utf8(std::vector<std::string>& lines);
// The first n characters of a UTF-8 text.
std::string first_characters(const std::string& s, size_t n);
// How many characters a UTF-8 text holds: one for each byte that starts one.
size_t character_count(const std::string& s);
// Where the last character of a UTF-8 text starts (0 for an empty text).
size_t last_character_start(const std::string& s);
