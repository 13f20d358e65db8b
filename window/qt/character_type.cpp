#include "character_type.h"

#include <langinfo.h>
#include <strings.h>

#include <clocale>
#include <cstdlib>

namespace tempulix {
namespace {

bool characterTypeIsUtf8() {
  const char* codeset = nl_langinfo(CODESET);
  return strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "utf8") == 0;
}

// "de_DE.ISO-8859-1@euro" -> "de_DE.UTF-8", "C" -> "C.UTF-8".
std::string utf8Form(std::string name) {
  name = name.substr(0, name.find_first_of(".@"));
  return name + ".UTF-8";
}

}  // namespace

std::string useUtf8CharacterType() {
  const std::string before = std::setlocale(LC_CTYPE, nullptr);
  // What Qt will find (LC_ALL, then LC_CTYPE, then LANG). A locale that is not installed leaves
  // the character type as it was, as it will for Qt.
  std::setlocale(LC_CTYPE, "");
  std::string chosen;
  if (!characterTypeIsUtf8()) {
    for (const std::string& candidate :
         {utf8Form(std::setlocale(LC_CTYPE, nullptr)), std::string("C.UTF-8")}) {
      if (std::setlocale(LC_CTYPE, candidate.c_str()) != nullptr && characterTypeIsUtf8()) {
        chosen = candidate;
        break;
      }
    }
  }
  std::setlocale(LC_CTYPE, before.c_str());
  if (chosen.empty()) {
    return {};
  }
  const char* all = std::getenv("LC_ALL");
  const char* variable = all != nullptr && *all != '\0' ? "LC_ALL" : "LC_CTYPE";
  setenv(variable, chosen.c_str(), 1);
  return std::string(variable) + "=" + chosen;
}

}  // namespace tempulix
