#include "window_title.h"

namespace tempulix {

std::string windowTitle(std::string_view displayText) {
  std::string title;
  title.reserve(displayText.size() + titleSeparator.size() + makerDomain.size());
  title.append(displayText).append(titleSeparator).append(makerDomain);
  return title;
}

}  // namespace tempulix
