// Interrupts a save at each of its steps, deterministically: the test
// executable that includes this header (once) takes over write(), fsync(),
// close() and rename(), counts the calls made while armed, and at the N-th one
// kills the process (before the call, or after half of a write) or makes the
// call fail with EIO. Iterate n from 1 until `reached` is false:
//   SaveRun run = RunInterruptedSave(kKillBefore, n, [] { SaveSomething(); });
//   // run.reached: the save got as far as call n; run.killed: SIGKILL there
//   std::string calls = RecordSaveCalls([] { SaveSomething(); });
// Two saves at once, one held halfway through its n-th call (a write) while
// the other runs to its end, then let go:
//   bool held = RunSaveHeldWhile(n, [] { SaveOne(); }, [] { SaveOther(); });
#pragma once

#include <dlfcn.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <string>

enum SaveInterruption { kKillBefore, kKillPartway, kFailCall, kStopPartway };

namespace save_interruption_detail {

inline bool armed = false;
inline int calls = 0;
inline int target = 0;
inline SaveInterruption how = kKillBefore;
inline std::string* record = nullptr;

inline void arm(SaveInterruption interruption, int n, std::string* calls_made) {
  how = interruption;
  target = n;
  calls = 0;
  record = calls_made;
  armed = true;
}

// True when this armed call is the one to interrupt; a run of writes is named once.
inline bool at_target(const char* call) {
  if (!armed) return false;
  if (record != nullptr) {
    const std::string name = std::string(call) + " ";
    const size_t size = record->size();
    if (name != "write " || size < 6 || record->compare(size - 6, 6, name) != 0) *record += name;
  }
  return ++calls == target;
}

// True when the call is to fail (errno set); a kill never returns.
inline bool fails_here() {
  if (how == kFailCall) {
    errno = EIO;
    return true;
  }
  raise(SIGKILL);
  return false;
}

template <typename Function>
Function next_definition(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace save_interruption_detail

extern "C" ssize_t write(int descriptor, const void* data, size_t length) {
  using namespace save_interruption_detail;
  static auto real = next_definition<ssize_t (*)(int, const void*, size_t)>("write");
  if (at_target("write")) {
    if (how == kStopPartway && length > 1) {
      // Half of it now, the rest when the caller writes again after SIGCONT.
      const ssize_t half = real(descriptor, data, length / 2);
      raise(SIGSTOP);
      return half;
    }
    if (how == kKillPartway && length > 1) real(descriptor, data, length / 2);
    if (fails_here()) return -1;
  }
  return real(descriptor, data, length);
}

extern "C" int fsync(int descriptor) {
  using namespace save_interruption_detail;
  static auto real = next_definition<int (*)(int)>("fsync");
  if (at_target("fsync") && fails_here()) return -1;
  return real(descriptor);
}

extern "C" int close(int descriptor) {
  using namespace save_interruption_detail;
  static auto real = next_definition<int (*)(int)>("close");
  if (at_target("close")) {
    if (how == kFailCall) real(descriptor);  // a failed close still releases the descriptor
    if (fails_here()) return -1;
  }
  return real(descriptor);
}

extern "C" int rename(const char* from, const char* to) noexcept {
  using namespace save_interruption_detail;
  static auto real = next_definition<int (*)(const char*, const char*)>("rename");
  if (at_target("rename") && fails_here()) return -1;
  return real(from, to);
}

// The calls save makes, in order, e.g. "write fsync close rename fsync close ",
// with the save run in this process and never interrupted.
template <typename Save>
std::string RecordSaveCalls(Save save) {
  std::string calls;
  save_interruption_detail::arm(kFailCall, 0, &calls);
  save();
  save_interruption_detail::armed = false;
  save_interruption_detail::record = nullptr;
  return calls;
}

struct SaveRun {
  bool reached = false, killed = false;
};

// Runs save in a child process interrupted at its call n (from 1).
template <typename Save>
SaveRun RunInterruptedSave(SaveInterruption how, int n, Save save) {
  SaveRun run;
  const pid_t child = fork();
  if (child == 0) {
    save_interruption_detail::arm(how, n, nullptr);
    save();
    save_interruption_detail::armed = false;
    // _exit: no exit handlers of the test runner or the leak checker in the child.
    _exit(save_interruption_detail::calls >= n ? 1 : 0);
  }
  if (child < 0) return run;
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  run.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
  run.reached = run.killed || (WIFEXITED(status) && WEXITSTATUS(status) == 1);
  return run;
}

// Runs save in a child process that stops halfway through its call n (a
// write), runs meanwhile in this process, then lets the child finish. False
// when the child never stopped there.
template <typename Save, typename Meanwhile>
bool RunSaveHeldWhile(int n, Save save, Meanwhile meanwhile) {
  const pid_t child = fork();
  if (child == 0) {
    save_interruption_detail::arm(kStopPartway, n, nullptr);
    save();
    save_interruption_detail::armed = false;
    _exit(0);
  }
  if (child < 0) return false;
  int status = 0;
  while (waitpid(child, &status, WUNTRACED) < 0 && errno == EINTR) {
  }
  const bool held = WIFSTOPPED(status);
  if (held) {
    meanwhile();
    kill(child, SIGCONT);
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
  }
  return held && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
