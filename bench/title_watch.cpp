// Measures a stopwatch from outside, as its user sees it.
//   title_watch watch WINDOW SECONDS   presses S (XTest) and stamps every title change of the
//                                      window on the monotonic clock for SECONDS, then prints
//                                      the tick statistics as key=value lines.
//   title_watch startup COMMAND...     starts COMMAND and prints the milliseconds until its
//                                      first top-level window is mapped, then ends it.
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "elapsed_time.h"
#include "owned.h"

namespace {

using tempulix::x11::Owned;

double nowMs() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
  Owned<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

std::string title(xcb_connection_t* c, xcb_window_t window, xcb_atom_t name, xcb_atom_t utf8) {
  Owned<xcb_get_property_reply_t> reply(
      xcb_get_property_reply(c, xcb_get_property(c, 0, window, name, utf8, 0, 256), nullptr));
  if (!reply) return {};
  return {static_cast<const char*>(xcb_get_property_value(reply.get())),
          static_cast<std::size_t>(xcb_get_property_value_length(reply.get()))};
}

xcb_keycode_t keycodeOf(xcb_connection_t* c, xcb_keysym_t keysym) {
  const xcb_setup_t* setup = xcb_get_setup(c);
  const int count = setup->max_keycode - setup->min_keycode + 1;
  Owned<xcb_get_keyboard_mapping_reply_t> map(xcb_get_keyboard_mapping_reply(
      c, xcb_get_keyboard_mapping(c, setup->min_keycode, static_cast<std::uint8_t>(count)),
      nullptr));
  if (!map) return 0;
  const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map.get());
  for (int i = 0; i < count * map->keysyms_per_keycode; ++i) {
    if (syms[i] == keysym)
      return static_cast<xcb_keycode_t>(setup->min_keycode + i / map->keysyms_per_keycode);
  }
  return 0;
}

double percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, static_cast<std::size_t>(p * values.size()))];
}

int watch(xcb_window_t window, double seconds) {
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) return 2;
  const xcb_atom_t name = atom(c, "_NET_WM_NAME"), utf8 = atom(c, "UTF8_STRING");
  const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
  xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &mask);

  // The tick at which each text first shows: that is when the title changes to it. (A text
  // the display repeats changes nothing at its second tick.)
  std::map<std::string, long> tickOf;
  tempulix::ElapsedTime time;
  for (long tick = 1; tick <= static_cast<long>(seconds * 10) + 2000; ++tick) {
    if (auto text = time.tick()) tickOf.emplace(*text, tick);
  }

  const xcb_keycode_t s = keycodeOf(c, 's');
  const double start = nowMs();
  xcb_test_fake_input(c, XCB_KEY_PRESS, s, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
  xcb_test_fake_input(c, XCB_KEY_RELEASE, s, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
  xcb_flush(c);

  struct Sample {
    double at;
    long tick;
    double shown;  // seconds
  };
  std::vector<Sample> samples;
  pollfd descriptor{xcb_get_file_descriptor(c), POLLIN, 0};
  const double end = start + seconds * 1000;
  while (nowMs() < end) {
    poll(&descriptor, 1, static_cast<int>(std::max(1.0, end - nowMs())));
    while (Owned<xcb_generic_event_t> event{xcb_poll_for_event(c)}) {
      if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) continue;
      const double at = nowMs();
      const auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event.get());
      if (notify->atom != name) continue;
      const std::string text = title(c, window, name, utf8);
      const std::string shown = text.substr(0, text.find(' '));
      const auto found = tickOf.find(shown);
      if (found == tickOf.end()) continue;
      const auto colon = shown.find(':');
      const double value =
          std::stod(shown.substr(0, colon)) * 60 + std::stod(shown.substr(colon + 1));
      samples.push_back({at, found->second, value});
    }
    if (xcb_connection_has_error(c)) break;
  }
  xcb_disconnect(c);

  std::vector<double> periods;
  for (std::size_t i = 1; i < samples.size(); ++i) {
    if (samples[i].tick == samples[i - 1].tick + 1)
      periods.push_back(samples[i].at - samples[i - 1].at);
  }
  double sum = 0;
  for (double p : periods) sum += p;
  const Sample last = samples.empty() ? Sample{start, 0, 0} : samples.back();
  std::printf("seconds=%.0f\nticks=%ld\nideal=%ld\n", seconds, last.tick,
              static_cast<long>(seconds * 10));
  // Real time at the last change against the time the display showed then.
  std::printf("lag_ms=%.1f\n", (last.at - start) - last.shown * 1000);
  std::printf("mean_ms=%.2f\np50_ms=%.2f\np99_ms=%.2f\nmax_ms=%.2f\nmin_ms=%.2f\n",
              periods.empty() ? 0 : sum / static_cast<double>(periods.size()),
              percentile(periods, 0.5), percentile(periods, 0.99), percentile(periods, 1.0),
              percentile(periods, 0.0));
  return samples.empty() ? 1 : 0;
}

int startup(char** command) {
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) return 2;
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  const std::uint32_t rootMask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &rootMask);
  xcb_flush(c);

  const double start = nowMs();
  const pid_t child = fork();
  if (child == 0) {
    execvp(command[0], command);
    _exit(127);
  }
  std::set<xcb_window_t> created;
  double mapped = -1;
  while (mapped < 0 && nowMs() - start < 20000) {
    Owned<xcb_generic_event_t> event(xcb_wait_for_event(c));
    if (!event) break;
    const int type = event->response_type & 0x7f;
    if (type == XCB_CREATE_NOTIFY) {
      const auto* create = reinterpret_cast<xcb_create_notify_event_t*>(event.get());
      if (create->parent == root && !create->override_redirect) {
        const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(c, create->window, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(c);
        created.insert(create->window);
      }
    } else if (type == XCB_MAP_NOTIFY) {
      const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event.get());
      if (created.count(map->window) && !map->override_redirect) mapped = nowMs();
    }
  }
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
  xcb_disconnect(c);
  if (mapped < 0) return 1;
  std::printf("startup_ms=%.1f\n", mapped - start);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::strcmp(argv[1], "watch") == 0) {
    return watch(static_cast<xcb_window_t>(std::strtoul(argv[2], nullptr, 0)), std::atof(argv[3]));
  }
  if (argc >= 3 && std::strcmp(argv[1], "startup") == 0) return startup(argv + 2);
  std::fprintf(stderr,
               "usage: title_watch watch WINDOW SECONDS | title_watch startup COMMAND...\n");
  return 2;
}
