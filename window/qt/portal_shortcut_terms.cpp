#include "portal_shortcut_terms.h"

#include <algorithm>
#include <cctype>

namespace tempulix::portal {

std::string preferredTrigger(const GlobalShortcutInfo& info) {
  std::string trigger = keyName(info);
  for (char& c : trigger) {
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return trigger;
}

std::optional<GlobalShortcut> shortcutNamed(std::string_view id) {
  for (const GlobalShortcutInfo& info : globalShortcuts) {
    if (info.id == id) {
      return info.shortcut;
    }
  }
  return std::nullopt;
}

bool needsBinding(const std::vector<Listed>& listed) {
  return !std::all_of(
      globalShortcuts.begin(), globalShortcuts.end(), [&listed](const GlobalShortcutInfo& info) {
        return std::any_of(listed.begin(), listed.end(),
                           [&info](const Listed& one) { return one.id == info.id; });
      });
}

std::optional<Failure> failureOfResponse(unsigned int response) {
  switch (response) {
    case 0:
      return std::nullopt;
    case 1:
      return Failure::declined;
    default:
      return Failure::refused;
  }
}

std::optional<Failure> failureOfListing(const std::vector<Listed>& listed) {
  bool anyOfOurs = false;
  for (const Listed& one : listed) {
    if (!shortcutNamed(one.id)) {
      continue;
    }
    anyOfOurs = true;
    if (!one.triggerDescription.empty()) {
      return std::nullopt;
    }
  }
  return anyOfOurs ? std::optional(Failure::noKeys) : std::nullopt;
}

bool anyOursListed(const std::vector<Listed>& listed) {
  return std::any_of(listed.begin(), listed.end(),
                     [](const Listed& one) { return shortcutNamed(one.id).has_value(); });
}

std::optional<Failure> failureOfBind(unsigned int response, const std::vector<Listed>& listed) {
  return anyOursListed(listed) ? failureOfListing(listed) : failureOfResponse(response);
}

std::string unavailableLine(Failure failure, std::string_view detail) {
  std::string why;
  switch (failure) {
    case Failure::noSessionBus:
      why = "there is no D-Bus session bus to reach the desktop's portal";
      break;
    case Failure::noPortal:
      why = "no desktop portal (xdg-desktop-portal) answers";
      break;
    case Failure::noGlobalShortcuts:
      why = "the desktop's portal has none to offer (no org.freedesktop.portal.GlobalShortcuts)";
      break;
    case Failure::declined:
      why =
          "they were declined in the desktop's dialog; the desktop's keyboard settings can add "
          "them";
      break;
    case Failure::refused:
      why = "the desktop did not grant them (its dialog was cancelled, or it refused)";
      break;
    case Failure::noKeys:
      why = "the desktop gave them no keys; its keyboard settings can set them";
      break;
    case Failure::notBound:
      why = "the desktop's portal granted them, yet bound none";
      break;
  }
  std::string line = "tempulix: no global shortcuts: " + why;
  if (!detail.empty()) {
    line += " (";
    line += detail;
    line += ")";
  }
  return line + ".\n";
}

}  // namespace tempulix::portal
