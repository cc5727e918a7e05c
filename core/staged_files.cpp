#include "core/staged_files.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>

namespace quillon {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kSignalCount = sizeof kSignals / sizeof kSignals[0];

// What the handler reads. A slot's text is written before it is marked used and left alone
// until it is marked free again, so the handler never sees half a path.
char g_paths[kStagedSlots][kMaxStagedPath];
pid_t g_owners[kStagedSlots];
std::atomic<bool> g_used[kStagedSlots];
std::atomic<int> g_holds{0};
volatile sig_atomic_t g_pending = 0;

// What only registration touches, under the mutex.
std::mutex g_mutex;
int g_registered = 0;
struct sigaction g_previous[kSignalCount];
bool g_installed[kSignalCount];

static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "the signal handler needs lock-free atomics");

// Files first, then folders, which go only when empty: a folder's registered files are
// removed before it, and a folder inside another before the outer one.
void RemoveRegistered() {
  const pid_t self = getpid();
  auto ours = [self](int i) {
    return g_used[i].load(std::memory_order_acquire) && g_owners[i] == self;
  };
  bool folder[kStagedSlots] = {};
  for (int i = 0; i < kStagedSlots; ++i) {
    if (ours(i) && unlink(g_paths[i]) != 0)
      folder[i] = errno == EISDIR || errno == EPERM;
  }
  for (bool removed = true; removed;) {
    removed = false;
    for (int i = 0; i < kStagedSlots; ++i) {
      if (folder[i] && ours(i) && rmdir(g_paths[i]) == 0) {
        folder[i] = false;
        removed = true;
      }
    }
  }
}

[[noreturn]] void EndBy(int sig) {
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  sigaction(sig, &fallback, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, sig);
  sigprocmask(SIG_UNBLOCK, &only, nullptr);
  raise(sig);
  _exit(128 + sig);  // only if the default action did not end the process
}

extern "C" void OnStagedSignal(int sig) {
  if (g_holds.load() > 0) {
    g_pending = sig;
    return;
  }
  RemoveRegistered();
  EndBy(sig);
}

void Install() {
  struct sigaction ours {};
  ours.sa_handler = OnStagedSignal;
  sigemptyset(&ours.sa_mask);
  for (int sig : kSignals)
    sigaddset(&ours.sa_mask, sig);
  ours.sa_flags = SA_RESTART;
  for (int i = 0; i < kSignalCount; ++i) {
    g_installed[i] = false;
    if (sigaction(kSignals[i], nullptr, &g_previous[i]) != 0)
      continue;
    // A signal the process ignores (started with nohup, say) is no interruption.
    if (!(g_previous[i].sa_flags & SA_SIGINFO) && g_previous[i].sa_handler == SIG_IGN)
      continue;
    g_installed[i] = sigaction(kSignals[i], &ours, nullptr) == 0;
  }
}

void Restore() {
  for (int i = 0; i < kSignalCount; ++i) {
    if (!g_installed[i])
      continue;
    // Whoever replaced our handler since keeps theirs.
    struct sigaction current {};
    if (sigaction(kSignals[i], nullptr, &current) == 0 && !(current.sa_flags & SA_SIGINFO) &&
        current.sa_handler == OnStagedSignal) {
      sigaction(kSignals[i], &g_previous[i], nullptr);
    }
    g_installed[i] = false;
  }
}

}  // namespace

bool RegisterStaged(const std::string& path) {
  if (path.empty() || path.size() >= kMaxStagedPath || path.find('\0') != std::string::npos)
    return false;
  std::lock_guard<std::mutex> lock(g_mutex);
  for (int i = 0; i < kStagedSlots; ++i) {
    if (g_used[i].load(std::memory_order_relaxed))
      continue;
    std::memcpy(g_paths[i], path.c_str(), path.size() + 1);
    g_owners[i] = getpid();
    g_used[i].store(true, std::memory_order_release);
    if (++g_registered == 1)
      Install();
    return true;
  }
  return false;
}

void UnregisterStaged(const std::string& path) {
  std::lock_guard<std::mutex> lock(g_mutex);
  for (int i = 0; i < kStagedSlots; ++i) {
    if (g_used[i].load(std::memory_order_relaxed) && path == g_paths[i]) {
      g_used[i].store(false, std::memory_order_release);
      if (--g_registered == 0)
        Restore();
      return;
    }
  }
}

HoldStagedSignals::HoldStagedSignals() {
  ++g_holds;
}

HoldStagedSignals::~HoldStagedSignals() {
  if (--g_holds == 0 && g_pending != 0) {
    const int sig = g_pending;
    RemoveRegistered();
    EndBy(sig);
  }
}

}  // namespace quillon
