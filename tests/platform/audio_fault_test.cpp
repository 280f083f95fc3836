// The built game on a machine whose sound device cannot be opened (an audio
// driver that does not exist) and that has no speech daemon, watched
// through its window's title on the test display: the message box comes up in the window, Enter ends the program
// with status 1, and --no-sound plays on the same machine. Every wait is
// bounded; a game that hangs is killed and the test fails.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "../faults_rig.h"
#include "window_rig.h"

#ifndef TINKERHOLD_TEST_X11
#define TINKERHOLD_TEST_X11 0
#endif
#if TINKERHOLD_TEST_X11
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#endif

namespace {

#if TINKERHOLD_TEST_X11

// A connection to the test display.
struct XDisplay {
  Display* d = XOpenDisplay(nullptr);
  XDisplay() {
    // A window that goes while it is looked at or pressed is no error here.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  }
  ~XDisplay() {
    if (d) XCloseDisplay(d);
  }
};

// A window property as bytes ("" when it has none).
std::string property(Display* d, Window w, const char* name, Atom type) {
  Atom atom = XInternAtom(d, name, True);
  if (atom == None) return "";
  Atom got_type;
  int format;
  unsigned long items, after;
  unsigned char* data = nullptr;
  std::string out;
  if (XGetWindowProperty(d, w, atom, 0, 1 << 16, False, type, &got_type, &format, &items, &after, &data) == Success &&
      data) {
    if (format == 8) out.assign(reinterpret_cast<char*>(data), items);
    if (format == 32 && items > 0) out = std::to_string(*reinterpret_cast<unsigned long*>(data));
  }
  if (data) XFree(data);
  return out;
}

// The window of a process whose title starts with `title`, or None.
Window find_window(Display* d, Window under, pid_t pid, const std::string& title) {
  Window root, parent, *children = nullptr;
  unsigned int n = 0;
  if (!XQueryTree(d, under, &root, &parent, &children, &n)) return None;
  Window found = None;
  for (unsigned int i = 0; i < n && found == None; ++i) {
    Window w = children[i];
    std::string name = property(d, w, "_NET_WM_NAME", XInternAtom(d, "UTF8_STRING", False));
    if (property(d, w, "_NET_WM_PID", XA_CARDINAL) == std::to_string(pid) && name.rfind(title, 0) == 0) {
      found = w;
    } else {
      found = find_window(d, w, pid, title);
    }
  }
  if (children) XFree(children);
  return found;
}

// Waits (up to 30 seconds, while the program runs) for its window to show
// the title.
Window wait_for_title(Display* d, pid_t pid, const std::string& title) {
  auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < give_up) {
    Window w = find_window(d, DefaultRootWindow(d), pid, title);
    if (w != None) return w;
    siginfo_t info{};
    if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid)
      return None;  // it ended
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return None;
}

// Presses and lets go of a key in the window, as the keyboard would.
void press(Display* d, Window w, KeySym key) {
  for (int type : {KeyPress, KeyRelease}) {
    XEvent e{};
    e.xkey.type = type;
    e.xkey.display = d;
    e.xkey.window = w;
    e.xkey.root = DefaultRootWindow(d);
    e.xkey.subwindow = None;
    e.xkey.time = CurrentTime;
    e.xkey.same_screen = True;
    e.xkey.keycode = XKeysymToKeycode(d, key);
    XSendEvent(d, w, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &e);
  }
  XFlush(d);
}

// Asks the window to close, as its close button would.
void close_window(Display* d, Window w) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, w, False, NoEventMask, &e);
  XFlush(d);
}

#endif

// A program folder of the built sounds, and the game in it on a sound
// driver that does not exist. There is no speech daemon or screen reader
// either, so every message goes to the window's title, where the test
// reads it.
struct DeadDevice {
  ProgramDir dir;
  Started start(std::vector<std::string> extra) const {
    std::vector<std::string> argv = {TINKERHOLD_EXE, "--program-dir", dir.dir().string()};
    argv.insert(argv.end(), extra.begin(), extra.end());
    return start_program(argv, {{"SDL_AUDIODRIVER", "no-such-driver"},
                                {"SDL_VIDEODRIVER", ""},
                                {"SPEECHD_ADDRESS", "no-such-method:nowhere"},
                                {"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus"}});
  }
};

#define NEEDS_TEST_DISPLAY()                                                                          \
  do {                                                                                                \
    const char* display = std::getenv("DISPLAY");                                                     \
    if (!TINKERHOLD_TEST_X11 || !display || !*display)                                                \
      GTEST_SKIP() << "needs the test display (Xvfb, as tools/test.sh starts it) and Xlib to watch it"; \
  } while (0)

}  // namespace

TEST(AudioFault, NoSoundDeviceShowsTheMessageInTheWindowAndEnterEndsTheProgram) {
  NEEDS_TEST_DISPLAY();
#if TINKERHOLD_TEST_X11
  XDisplay x;
  ASSERT_NE(x.d, nullptr) << "cannot reach the display";
  DeadDevice game;
  Started p = game.start({});
  ASSERT_GT(p.pid, 0);
  Window box = wait_for_title(x.d, p.pid, "No sound device could be opened. Check that");
  if (box == None) {
    ChildResult r = finish(p, 1);
    FAIL() << "the message never showed in the game's window (status " << r.status << ")\n" << r.out;
  }
  // The box waits for the player, however long it takes.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_NE(find_window(x.d, DefaultRootWindow(x.d), p.pid, "No sound device could be opened"), None)
      << "the box closed by itself";
  press(x.d, box, XK_Return);
  ChildResult r = finish(p, 30);
  ASSERT_TRUE(r.finished) << "the game hung after the message box\n" << r.out;
  EXPECT_TRUE(r.exited(1)) << "status " << r.status << "\n" << r.out;
  EXPECT_FALSE(std::filesystem::exists(game.dir.dir() / "progress.ini"));
  // Also said on standard error, for a player who started it from a terminal.
  EXPECT_NE(r.out.find("--no-sound to play with speech only"), std::string::npos) << r.out;
#endif
}

TEST(AudioFault, WithNoSoundTheSameMachinePlaysOnInTheCaption) {
  NEEDS_TEST_DISPLAY();
#if TINKERHOLD_TEST_X11
  XDisplay x;
  ASSERT_NE(x.d, nullptr) << "cannot reach the display";
  DeadDevice game;
  Started p = game.start({"--no-sound"});
  ASSERT_GT(p.pid, 0);
  Window w = wait_for_title(x.d, p.pid, "Welcome to Tinkerhold");
  if (w == None) {
    ChildResult r = finish(p, 1);
    FAIL() << "the game did not start (status " << r.status << ")\n" << r.out;
  }
  press(x.d, w, XK_Down);
  EXPECT_NE(wait_for_title(x.d, p.pid, "Campaign"), None) << "the menu did not answer";
  close_window(x.d, w);
  ChildResult r = finish(p, 30);
  ASSERT_TRUE(r.finished) << "the game did not end when its window closed\n" << r.out;
  EXPECT_TRUE(r.exited(0)) << "status " << r.status << "\n" << r.out;
#endif
}
