// Text broken into lines that fit a width, for the window's message band
// and its boxes.
#pragma once

#include <functional>
#include <string>
#include <vector>

// Splits a text into lines no wider than `width` as `width_of` measures
// them, at blanks: the blank a line ends at is dropped, every other
// character is kept, once and in order. A word wider than a line on its own
// is cut between two characters. "\r\n" and "\n" always end a line.
std::vector<std::string> wrap_words(const std::string& text, int width,
                                    const std::function<int(const std::string&)>& width_of);
