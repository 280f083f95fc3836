// The campaign's own texts, kept as data files beside the code and built in.
#pragma once

#include <string>
#include <vector>

// Level descriptions and stories, entry 0 for level 1.
const std::vector<std::string>& campaign_descriptions();
const std::vector<std::string>& campaign_stories();
// The about menu's introduction.
const std::string& about_introduction();
