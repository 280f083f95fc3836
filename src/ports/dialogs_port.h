// Modal boxes: the input box and the message box.
#pragma once

#include <string>

class DialogsPort {
 public:
  virtual ~DialogsPort() = default;
  // Asks for a text; "" when cancelled.
  virtual std::string input(const std::string& prompt, const std::string& title,
                            const std::string& default_answer) = 0;
  // Shows a message with one OK button and returns when it is closed.
  virtual void message(const std::string& text) = 0;
};
