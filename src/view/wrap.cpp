#include "view/wrap.h"

namespace {

bool continues_character(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The length of the longest start of `word` that fits, cut between whole
// characters; one character at least, so that every line moves on.
size_t fitting_start(const std::string& word, int width, const std::function<int(const std::string&)>& width_of) {
  size_t first = 1;
  while (first < word.size() && continues_character(word[first])) ++first;
  size_t fit = first;
  for (size_t end = first; end < word.size();) {
    size_t next = end + 1;
    while (next < word.size() && continues_character(word[next])) ++next;
    if (width_of(word.substr(0, next)) > width) break;
    fit = end = next;
  }
  return fit;
}

void wrap_paragraph(const std::string& para, int width, const std::function<int(const std::string&)>& width_of,
                    std::vector<std::string>& out) {
  std::string line;
  size_t pos = 0;
  do {
    size_t end = para.find(' ', pos);
    std::string word = para.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    pos = end == std::string::npos ? para.size() + 1 : end + 1;
    std::string tried = line.empty() ? word : line + " " + word;
    if (width_of(tried) <= width) {
      line = std::move(tried);
      continue;
    }
    if (!line.empty()) out.push_back(line);
    line = std::move(word);
    while (width_of(line) > width) {
      size_t fit = fitting_start(line, width, width_of);
      out.push_back(line.substr(0, fit));
      line.erase(0, fit);
    }
  } while (pos <= para.size());
  out.push_back(line);
}

}  // namespace

std::vector<std::string> wrap_words(const std::string& text, int width,
                                    const std::function<int(const std::string&)>& width_of) {
  std::vector<std::string> out;
  size_t start = 0;
  for (;;) {
    size_t end = text.find('\n', start);
    std::string para = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!para.empty() && para.back() == '\r') para.pop_back();
    if (width > 0) {
      wrap_paragraph(para, width, width_of, out);
    } else {
      out.push_back(para);
    }
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return out;
}
