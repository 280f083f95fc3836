// An untyped cell value: a number or a text (an animal's name).
// An empty text counts as 0; numbers compare as numbers; a non-empty text
// never equals a number.
#pragma once

#include <string>
#include <utility>

class Value {
 public:
  Value() = default;
  Value(int n) : num_(n) {}
  Value(long n) : num_(static_cast<double>(n)) {}
  Value(double n) : num_(n) {}
  Value(const char* s) : is_text_(true), text_(s) {}
  Value(std::string s) : is_text_(true), text_(std::move(s)) {}

  bool is_text() const { return is_text_; }
  // The value as a number: texts count as 0.
  double num() const { return is_text_ ? 0.0 : num_; }
  // The value rounded to a whole number (halves to the even neighbour), as
  // an array index or a piece code would be.
  int whole() const;
  // The value as it is spoken or joined into a message: "5", "2.5", "Bits".
  std::string str() const;
  // The plain print form of file lines: " 5 ", "-1 ", or a bare text.
  std::string print_form() const;

  bool operator==(double n) const { return is_text_ ? (text_.empty() && n == 0) : num_ == n; }
  bool operator!=(double n) const { return !(*this == n); }
  bool operator==(int n) const { return *this == static_cast<double>(n); }
  bool operator!=(int n) const { return !(*this == n); }
  bool same_text(const std::string& s) const { return is_text_ && text_ == s; }
  bool operator==(const Value& o) const;

 private:
  bool is_text_ = false;
  double num_ = 0;
  std::string text_;
};

// A number rounded to a whole number (halves to the even neighbour), kept
// within a billion either way; anything not finite gives 0.
int whole_number(double n);

// A number written the way the game writes numbers into texts: whole
// numbers without a fraction, others with up to 15 significant digits.
std::string number_text(double n);

// Parses a file or prompt value: a line that is a number gives a number,
// an empty (or blank) line gives 0, anything else gives the trimmed text.
Value parse_value(const std::string& line);

// True and the number when the text (blanks around it allowed) is a number.
bool parse_number(const std::string& text, double& out);
