#include "window_title.h"

namespace tempulix {

std::string designTimeCaption() {
  constexpr std::string_view lead = "Tempulix - by ";
  std::string caption;
  caption.reserve(lead.size() + makerDomain.size());
  caption.append(lead).append(makerDomain);
  return caption;
}

std::string windowTitle(std::string_view displayText) {
  std::string title;
  title.reserve(displayText.size() + titleSeparator.size() + makerDomain.size());
  title.append(displayText).append(titleSeparator).append(makerDomain);
  return title;
}

}  // namespace tempulix
