// Qt needs a UTF-8 character type. Given another (a fresh system, ssh or a service often has no
// locale at all, that is "C"), Qt 6.8 switches to the UTF-8 form of the locale itself and says
// so on standard error at every start. This makes the same switch before Qt starts, in the
// environment Qt reads, so that the program starts quietly in any locale. It does not repair a
// locale that names something not installed, and changes nothing where the character type is
// UTF-8 already.
#pragma once

#include <string>

namespace tempulix {

// Sets LC_CTYPE (or LC_ALL, where that is set, since it overrides every category) to the UTF-8
// form of the locale the environment names: the same language and territory, or C.UTF-8 where
// that form is not installed. Returns the variable set as "NAME=value", or "" when nothing was
// changed. Leaves the process's own locale as it found it.
std::string useUtf8CharacterType();

}  // namespace tempulix
