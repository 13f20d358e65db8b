// Ownership of what xcb hands out with malloc (replies, errors, events): freed once, with free.
#pragma once

#include <cstdlib>
#include <memory>

namespace tempulix::x11 {

struct Free {
  void operator()(void* memory) const { std::free(memory); }
};
template <typename T>
using Owned = std::unique_ptr<T, Free>;

}  // namespace tempulix::x11
