// One tick with its texts: the display text, the title, and the controller writing both to a
// window that keeps them. Reports time per tick and heap allocations per tick.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "controller.h"
#include "elapsed_time.h"
#include "recording_window.h"
#include "window_title.h"

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
  ++allocations;
  if (void* memory = std::malloc(size ? size : 1)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}

namespace tempulix {
namespace {

using testing::KeepingWindow;

void reportAllocations(benchmark::State& state, long before) {
  state.counters["allocs/tick"] = benchmark::Counter(static_cast<double>(allocations - before) /
                                                     static_cast<double>(state.iterations()));
}

void BM_TickTexts(benchmark::State& state) {
  ElapsedTime time;
  const long before = allocations;
  for (auto _ : state) {
    std::optional<std::string> text = time.tick();
    if (!text) {
      time.reset();
      continue;
    }
    std::string title = windowTitle(*text);
    benchmark::DoNotOptimize(title.data());
  }
  reportAllocations(state, before);
}
BENCHMARK(BM_TickTexts);

void BM_ControllerTick(benchmark::State& state) {
  KeepingWindow window;
  Controller controller(window, nullptr);
  controller.formLoad();
  controller.command1Click();
  const long before = allocations;
  for (auto _ : state) {
    controller.timer1Timer();
    if (!window.running) {  // past the last minute: start over, as a user would
      controller.command3Click();
      controller.command1Click();
    }
    benchmark::DoNotOptimize(window.caption.data());
  }
  reportAllocations(state, before);
}
BENCHMARK(BM_ControllerTick);

}  // namespace
}  // namespace tempulix

BENCHMARK_MAIN();
