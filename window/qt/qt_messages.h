// Which of Qt's own messages reach standard error. Lines that other programs cause and that
// tell the user nothing to act on are dropped: a screen reader that subscribes to events Qt does
// not know, or answers a key late. Every other message, a real error among them, is printed as
// Qt would print it.
#pragma once

#include <string_view>

namespace tempulix {

// Whether a message of Qt's, in its logging category, is one of those dropped.
bool isOtherProgramsNoise(std::string_view category, std::string_view message);

// Installs the filter in front of Qt's own message output. Call once, before Qt starts.
void dropOtherProgramsNoise();

}  // namespace tempulix
