#include "game/value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

std::string trim_blanks(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

}  // namespace

int Value::whole() const { return whole_number(num()); }

int whole_number(double n) {
  if (!std::isfinite(n)) return 0;
  if (n > 1e9) return 1000000000;
  if (n < -1e9) return -1000000000;
  return static_cast<int>(std::nearbyint(n));
}

std::string number_text(double n) {
  if (!std::isfinite(n)) return "0";
  if (n == std::floor(n) && std::fabs(n) < 1e15) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(n));
    return buf;
  }
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15g", n);
  return buf;
}

std::string Value::str() const { return is_text_ ? text_ : number_text(num_); }

std::string Value::print_form() const {
  if (is_text_) return text_;
  std::string s = number_text(num_);
  if (num_ >= 0) s = " " + s;
  return s + " ";
}

bool Value::operator==(const Value& o) const {
  if (is_text_ && o.is_text_) return text_ == o.text_;
  if (!is_text_ && !o.is_text_) return num_ == o.num_;
  const Value& t = is_text_ ? *this : o;
  const Value& n = is_text_ ? o : *this;
  return t.text_.empty() && n.num_ == 0;
}

bool parse_number(const std::string& text, double& out) {
  std::string s = trim_blanks(text);
  if (s.empty()) return false;
  size_t i = 0;
  if (s[i] == '+' || s[i] == '-') ++i;
  size_t digits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    size_t exp_digits = 0;
    while (j < s.size() && s[j] >= '0' && s[j] <= '9') ++j, ++exp_digits;
    if (exp_digits == 0) return false;
    i = j;
  }
  if (i != s.size()) return false;
  double v = std::strtod(s.c_str(), nullptr);
  if (!std::isfinite(v)) return false;
  out = v;
  return true;
}

Value parse_value(const std::string& line) {
  std::string s = trim_blanks(line);
  if (s.empty()) return Value(0);
  double n;
  if (parse_number(s, n)) return Value(n);
  return Value(s);
}
