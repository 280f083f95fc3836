#include "platform/brlapi/brlapi_display.h"

#include <brlapi.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <algorithm>
#include <csignal>
#include <string>
#include <vector>

#include "levels/encoding.h"

namespace {

constexpr timeval kPatience{1, 0};  // how long one exchange with BRLTTY may take

constexpr brlapi_keyCode_t kPanLeft = BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINLT;
constexpr brlapi_keyCode_t kPanRight = BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINRT;

// BRLTTY refused a request: the library's own handler would end the program.
bool refused = false;
void on_refusal(brlapi_handle_t*, int, brlapi_packetType_t, const void*, size_t) { refused = true; }

std::string last_error() {
  char text[256];
  brlapi_strerror_r(&brlapi_error, text, sizeof text);
  return text;
}

// The message's characters, each as its UTF-8 bytes; a text from an old
// single-byte file is converted first.
std::vector<std::string> characters(const std::string& message) {
  std::string utf8 = valid_utf8(message) ? message : cp1252_to_utf8(message);
  std::vector<std::string> out;
  for (char c : utf8) {
    if ((static_cast<unsigned char>(c) & 0xC0) == 0x80 && !out.empty()) {
      out.back() += c;
    } else {
      out.emplace_back(1, c);
    }
  }
  return out;
}

}  // namespace

BrlapiDisplay::BrlapiDisplay() : handle_memory_(new char[brlapi_getHandleSize()]) {}

BrlapiDisplay::~BrlapiDisplay() { disconnect(); }

bool BrlapiDisplay::open() {
  if (handle_) return true;
  if (!connect()) return false;
  reconnected(link_);
  return true;
}

void BrlapiDisplay::close() {
  disconnect();
  link_ = Reconnect{};
}

bool BrlapiDisplay::connect() {
  // A BRLTTY that died must cost an error return, not the game.
  std::signal(SIGPIPE, SIG_IGN);
  auto* h = reinterpret_cast<brlapi_handle_t*>(handle_memory_.get());
  brlapi_connectionSettings_t settings = BRLAPI_SETTINGS_INITIALIZER;
  int fd = brlapi__openConnection(h, &settings, nullptr);
  if (fd < 0) return false;
  brlapi__setExceptionHandler(h, on_refusal);
  refused = false;
  // A BRLTTY that hangs must not hang the game.
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &kPatience, sizeof kPatience);
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &kPatience, sizeof kPatience);
  // BRLTTY 6.5 sizes a client's display when it takes it: one taken before
  // the display was there (no cells) would overrun when written to.
  unsigned int columns = 0, rows = 0;
  if (brlapi__getDisplaySize(h, &columns, &rows) < 0 || columns * rows == 0) {
    brlapi__closeConnection(h);
    return false;
  }
  cells_ = size_t{columns} * rows;
  // The display follows the window's terminal (found by BrlAPI from the
  // session); only the panning keys come to the game.
  const brlapi_keyCode_t pan[] = {kPanLeft, kPanRight};
  if (brlapi__enterTtyModeWithPath(h, nullptr, 0, nullptr) < 0 || brlapi__ignoreAllKeys(h) < 0 ||
      brlapi__acceptKeys(h, brlapi_rangeType_key, pan, 2) < 0) {
    brlapi__closeConnection(h);
    return false;
  }
  handle_ = h;
  return true;
}

void BrlapiDisplay::disconnect() {
  if (handle_) brlapi__closeConnection(handle_);
  handle_ = nullptr;
}

bool BrlapiDisplay::usable() {
  return handle_ || retry_if_due(link_, [this] { return connect(); });
}

void BrlapiDisplay::lose(const std::string& what) {
  disconnect();
  connection_lost(link_);
  throw BrailleError("lost the braille display (" + what + ")");
}

// Writes the part of the message that starts at offset_; what went wrong,
// or "".
std::string BrlapiDisplay::draw() {
  unsigned int columns = 0, rows = 0;
  if (brlapi__getDisplaySize(handle_, &columns, &rows) < 0) return last_error();
  size_t cells = size_t{columns} * rows;
  // Another display, or none: taken again when it is back.
  if (cells != cells_) return "the display has " + std::to_string(cells) + " cells now";
  size_t last = message_.empty() ? 0 : (message_.size() - 1) / cells * cells;
  for (; pan_ > 0; --pan_) offset_ = std::min(offset_ + cells, last);
  for (; pan_ < 0; ++pan_) offset_ = offset_ >= cells ? offset_ - cells : 0;
  // Exactly one display's worth of characters, blanks after the message.
  std::string window;
  for (size_t i = offset_; i < offset_ + cells; ++i) window += i < message_.size() ? message_[i] : " ";
  brlapi_writeArguments_t what = BRLAPI_WRITEARGUMENTS_INITIALIZER;
  what.regionBegin = 1;
  what.regionSize = static_cast<int>(cells);
  what.text = window.c_str();
  what.textSize = static_cast<int>(window.size());
  what.cursor = BRLAPI_CURSOR_OFF;
  what.charset = "UTF-8";
  if (brlapi__write(handle_, &what) < 0) return last_error();
  return refused ? "a request was refused" : "";
}

void BrlapiDisplay::show(const std::string& text) {
  if (!usable()) return;
  message_ = characters(text);
  offset_ = 0;
  pan_ = 0;
  std::string failed = draw();
  if (!failed.empty()) lose(failed);
}

void BrlapiDisplay::follow_keys() {
  if (!handle_) return;
  brlapi_keyCode_t code;
  bool pressed = false;
  while (brlapi__readKey(handle_, 0, &code) == 1) {
    code &= BRLAPI_KEY_TYPE_MASK | BRLAPI_KEY_CODE_MASK;
    pan_ += code == kPanRight ? 1 : code == kPanLeft ? -1 : 0;
    pressed = true;
  }
  // A connection that broke here is reported by the next message.
  if (pressed) draw();
}
