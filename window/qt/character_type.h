// Qt needs a UTF-8 character type, and says so at every start where it gets another (as "C", on a
// fresh system). This makes the switch Qt would make before Qt starts, so that the program starts
// quietly in any locale. It changes nothing where the character type is UTF-8 already.
#pragma once

#include <string>

namespace tempulix {

// Sets LC_CTYPE (or LC_ALL, where that is set, since it overrides every category) to the UTF-8
// form of the locale the environment names: the same language and territory, or C.UTF-8 where
// that form is not installed. Returns the variable set as "NAME=value", or "" when nothing was
// changed. Leaves the process's own locale as it found it.
std::string useUtf8CharacterType();

}  // namespace tempulix
