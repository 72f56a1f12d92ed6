// Timers on the fake clock: fires each Timer model when its interval has
// passed, from the desktop's DoEvents (so timers run nested inside slides,
// as real ones do) and while a test lets time go by.
#pragma once
#include <algorithm>
#include <vector>

#include "app/controls.h"
#include "fakes/fake_desktop.h"

namespace orv::fake {

class FakeTimers {
 public:
  explicit FakeTimers(Desktop& desk) : desk_(desk) {
    desk_.on_do_events = [this] { Run(); };
  }
  ~FakeTimers() { desk_.on_do_events = nullptr; }
  FakeTimers(const FakeTimers&) = delete;
  FakeTimers& operator=(const FakeTimers&) = delete;

  void Add(Timer& timer) { entries_.push_back({&timer, ~0ull, 0, false}); }

  // Fires every timer whose time has come. A timer whose handler is still
  // running does not fire again inside it.
  void Run() {
    for (auto& e : entries_) {
      if (e.version != e.timer->Version()) {
        e.version = e.timer->Version();
        e.due = desk_.now + e.timer->Interval();
      }
      if (!e.timer->Enabled() || e.firing) continue;
      if (static_cast<std::int32_t>(desk_.now - e.due) < 0) continue;
      e.due = desk_.now + e.timer->Interval();
      e.firing = true;
      e.timer->Fire();
      e.firing = false;
    }
  }

  // Idle time: the clock moves on in steps, timers fire as they fall due.
  void Wait(std::uint32_t ms, std::uint32_t step = 10) {
    const std::uint32_t end = desk_.now + ms;
    while (static_cast<std::int32_t>(end - desk_.now) > 0) {
      desk_.now += std::min(step, end - desk_.now);
      Run();
    }
  }

 private:
  struct Entry {
    Timer* timer;
    std::uint64_t version;
    std::uint32_t due;
    bool firing;
  };
  Desktop& desk_;
  std::vector<Entry> entries_;
};

}  // namespace orv::fake
