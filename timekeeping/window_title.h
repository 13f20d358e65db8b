// The maker's name and web domain, and the window title built from a display text. Fixed texts
// only; which window shows them is the window layer's business.
#pragma once

#include <string>
#include <string_view>

#include "tempulix/version.h"

namespace tempulix {

// "tempulix.example": a reserved name, which belongs to no one.
inline constexpr std::string_view makerDomain = TEMPULIX_DOMAIN;

// Stands between the display text and the domain in the running title; unlike the caption the
// window starts with, it has no "by".
inline constexpr std::string_view titleSeparator = " - Tempulix ";

// The caption the window starts with: "Tempulix - by tempulix.example".
std::string designTimeCaption();

// The title that mirrors a display text: "0:05.3 - Tempulix tempulix.example".
std::string windowTitle(std::string_view displayText);

}  // namespace tempulix
