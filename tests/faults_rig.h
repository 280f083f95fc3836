// Faults made on purpose, for the tests that check the game survives them:
// a folder that refuses writes even to root, a child process with a small
// file-size limit or whose every close() fails, and programs run with a
// bounded wait and their memory measured.
#pragma once

#include <fcntl.h>
#include <linux/capability.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// Takes away this thread's power to write past the permission bits
// (CAP_DAC_OVERRIDE), so that a read-only folder stops root as it stops
// anyone else; the power comes back at the end of the scope. Without root
// there is nothing to take away, and nothing changes.
class NoOverride {
 public:
  NoOverride() {
    __user_cap_header_struct head{_LINUX_CAPABILITY_VERSION_3, 0};
    if (::syscall(SYS_capget, &head, saved_) != 0) return;
    __user_cap_data_struct now[2] = {saved_[0], saved_[1]};
    now[CAP_DAC_OVERRIDE / 32].effective &= ~(1u << (CAP_DAC_OVERRIDE % 32));
    taken_ = ::syscall(SYS_capset, &head, now) == 0;
  }
  ~NoOverride() {
    if (!taken_) return;
    __user_cap_header_struct head{_LINUX_CAPABILITY_VERSION_3, 0};
    ::syscall(SYS_capset, &head, saved_);
  }
  NoOverride(const NoOverride&) = delete;
  NoOverride& operator=(const NoOverride&) = delete;

 private:
  __user_cap_data_struct saved_[2]{};
  bool taken_ = false;
};

// A folder made read-only for the life of this object (with NoOverride, for
// root too).
struct ReadOnlyFolder {
  std::filesystem::path path;
  explicit ReadOnlyFolder(std::filesystem::path p) : path(std::move(p)) { ::chmod(path.c_str(), 0555); }
  ~ReadOnlyFolder() { ::chmod(path.c_str(), 0755); }
  // Whether a new file really cannot be made in it.
  bool refuses_writes() const {
    std::string probe = (path / "probe").string();
    int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return true;
    ::close(fd);
    ::unlink(probe.c_str());
    return false;
  }
};

// From now on every close() of this process fails with `error` (and leaves
// the file open), as a network file system may report a lost write only at
// the close. For a child process: there is no way back.
inline bool fail_every_close(int error) {
  sock_filter code[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_close, 0, 1),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | static_cast<unsigned>(error)),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
  };
  sock_fprog program{static_cast<unsigned short>(sizeof code / sizeof code[0]), code};
  return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
         ::syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, 0, &program) == 0;
}

struct ChildResult {
  bool finished = false;  // false: killed when its time ran out
  int status = -1;        // as waitpid reports it
  std::string out;        // what it wrote (a program: its stdout and stderr)
  long max_rss_kb = 0;    // its peak memory
  bool exited(int code) const { return finished && WIFEXITED(status) && WEXITSTATUS(status) == code; }
};

namespace faults_detail {

// Reads the child's pipe until it ends, and reaps the child, for at most
// `seconds`; a child still running then is killed.
inline ChildResult collect(pid_t pid, int fd, int seconds) {
  ChildResult r;
  auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  bool open = true, reaped = false;
  rusage usage{};
  while (!reaped || open) {
    if (open) {
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, 50) > 0) {
        char buf[4096];
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0) {
          r.out.append(buf, static_cast<size_t>(n));
          continue;
        }
        if (n == 0 || errno != EINTR) open = false;
      } else if (reaped) {
        open = false;  // what the child left behind holds the pipe open: enough
      }
    }
    if (!reaped) {
      pid_t w = ::wait4(pid, &r.status, WNOHANG, &usage);
      if (w == pid) reaped = r.finished = true;
      if (w < 0 && errno != EINTR) break;
    }
    if (std::chrono::steady_clock::now() > give_up) {
      if (!reaped) {
        ::kill(pid, SIGKILL);
        ::wait4(pid, &r.status, 0, &usage);
      }
      break;
    }
  }
  ::close(fd);
  r.max_rss_kb = usage.ru_maxrss;
  return r;
}

}  // namespace faults_detail

// Runs `body` in a forked copy of this process; what it returns comes back
// as the result's output. A crash shows in the status.
inline ChildResult in_child(const std::function<std::string()>& body, int seconds = 60) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return {};
  pid_t pid = ::fork();
  if (pid < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    return {};
  }
  if (pid == 0) {
    ::close(fds[0]);
    std::string said = body();
    for (size_t done = 0; done < said.size();) {
      ssize_t n = ::write(fds[1], said.data() + done, said.size() - done);
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    ::_exit(0);
  }
  ::close(fds[1]);
  return faults_detail::collect(pid, fds[0], seconds);
}

// A program started by start_program, still to be finished.
struct Started {
  pid_t pid = -1;
  int fd = -1;
};

// Starts a program with some environment variables set (an empty value
// removes one); its stdout and stderr go to a pipe that finish() reads.
inline Started start_program(const std::vector<std::string>& argv,
                             const std::vector<std::pair<std::string, std::string>>& env) {
  int fds[2];
  if (argv.empty() || ::pipe2(fds, O_CLOEXEC) != 0) return {};
  pid_t pid = ::fork();
  if (pid < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    return {};
  }
  if (pid == 0) {
    ::dup2(fds[1], 1);
    ::dup2(fds[1], 2);
    int null = ::open("/dev/null", O_RDONLY);
    if (null >= 0) ::dup2(null, 0);
    for (const auto& [name, value] : env) {
      if (value.empty()) ::unsetenv(name.c_str());
      else ::setenv(name.c_str(), value.c_str(), 1);
    }
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  ::close(fds[1]);
  return {pid, fds[0]};
}

// Waits (up to `seconds`) for a started program to end, and takes what it
// wrote; one still running then is killed.
inline ChildResult finish(Started& p, int seconds = 60) {
  if (p.pid <= 0) return {};
  ChildResult r = faults_detail::collect(p.pid, p.fd, seconds);
  p = Started{};
  return r;
}

// Runs a program to its end (for at most `seconds`).
inline ChildResult run_program(const std::vector<std::string>& argv,
                               const std::vector<std::pair<std::string, std::string>>& env, int seconds = 60) {
  Started p = start_program(argv, env);
  return finish(p, seconds);
}
