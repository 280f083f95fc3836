// A step of the arm's rules that can stop part-way: where the arm pauses
// (a second before a further redirect, four seconds over a shredded rat),
// the step hands a wait back to whoever runs it and goes on only when it is
// resumed. The rules never wait themselves; the game's loop waits and
// handles keys in between, the solver resumes at once.
//
// GCC 12 miscompiles a co_await inside a conditional expression and a
// coroutine that takes an aggregate by value (the program traps): parts
// await one at a time and take plain numbers and references.
#pragma once

#include <coroutine>
#include <exception>
#include <utility>

// What a stopped step waits for.
enum class StepWait {
  none,
  pause,            // so many seconds; dropped if the room was reloaded meanwhile
  pause_and_check,  // so many seconds; goes on either way, told whether the room is the same
  let_keys_in,      // keys already waiting are handled; dropped if the room was reloaded
  dropped,          // the room it ran in is gone: it must never be resumed
  stopped,          // the solver has seen enough of this step
};

struct StepControl {
  StepWait wait = StepWait::none;
  double seconds = 0;
  bool same_room = true;                 // told to a pause_and_check when resumed
  std::coroutine_handle<> resume_point;  // the innermost stopped part of the step
};

// A part of a step that gives a T when it ends. Parts await each other;
// the outermost is run with run() and resumed with resume().
template <class T>
class [[nodiscard]] Task {
 public:
  struct promise_type;
  using Handle = std::coroutine_handle<promise_type>;

  struct promise_type {
    T result{};
    std::coroutine_handle<> caller;
    StepControl* control = nullptr;
    // The rules raise no exception, but what they report may (the end of a key
    // script while a log line is read out): it goes on to the caller.
    std::exception_ptr error;

    Task get_return_object() { return Task(Handle::from_promise(*this)); }
    std::suspend_always initial_suspend() noexcept { return {}; }
    struct BackToCaller {
      bool await_ready() noexcept { return false; }
      std::coroutine_handle<> await_suspend(Handle h) noexcept {
        auto caller = h.promise().caller;
        return caller ? caller : std::noop_coroutine();
      }
      void await_resume() noexcept {}
    };
    BackToCaller final_suspend() noexcept { return {}; }
    void return_value(T v) { result = std::move(v); }
    void unhandled_exception() { error = std::current_exception(); }
  };

  explicit Task(Handle h) : handle_(h) {}
  Task(Task&& other) noexcept : handle_(std::exchange(other.handle_, {})) {}
  Task& operator=(Task&& other) noexcept {
    if (this != &other) {
      if (handle_) handle_.destroy();
      handle_ = std::exchange(other.handle_, {});
    }
    return *this;
  }
  Task(const Task&) = delete;
  Task& operator=(const Task&) = delete;
  // Dropping a task drops every part it is waiting in.
  ~Task() {
    if (handle_) handle_.destroy();
  }

  // Awaited by another part: runs inside it, under the same control.
  bool await_ready() const noexcept { return false; }
  template <class P>
  std::coroutine_handle<> await_suspend(std::coroutine_handle<P> caller) noexcept {
    handle_.promise().caller = caller;
    handle_.promise().control = caller.promise().control;
    return handle_;
  }
  T await_resume() {
    if (handle_.promise().error) std::rethrow_exception(handle_.promise().error);
    return std::move(handle_.promise().result);
  }

  // The outermost part: runs until it ends or stops; control says why.
  void run(StepControl& control) {
    handle_.promise().control = &control;
    control.wait = StepWait::none;
    handle_.resume();
  }
  bool done() const { return handle_.done(); }
  // What the step gave; throws what escaped it.
  T result() const {
    if (handle_.promise().error) std::rethrow_exception(handle_.promise().error);
    return handle_.promise().result;
  }

 private:
  Handle handle_;
};

// Resumes a stopped step where it stopped.
inline void resume(StepControl& control) {
  control.wait = StepWait::none;
  control.resume_point.resume();
}

// Stops the step with a wait (unless `go_on` says it need not stop).
struct StepStop {
  StepWait wait;
  double seconds = 0;
  bool go_on = false;

  bool await_ready() const noexcept { return go_on; }
  template <class P>
  void await_suspend(std::coroutine_handle<P> h) noexcept {
    StepControl& c = *h.promise().control;
    c.wait = wait;
    c.seconds = seconds;
    c.resume_point = h;
  }
  void await_resume() const noexcept {}
};

// A pause_and_check: true when the room is still the one the step began in.
struct StepPauseAndCheck {
  double seconds;
  bool go_on;
  StepControl* control = nullptr;

  bool await_ready() const noexcept { return go_on; }
  template <class P>
  void await_suspend(std::coroutine_handle<P> h) noexcept {
    control = h.promise().control;
    control->wait = StepWait::pause_and_check;
    control->seconds = seconds;
    control->resume_point = h;
  }
  bool await_resume() const noexcept { return control == nullptr || control->same_room; }
};
