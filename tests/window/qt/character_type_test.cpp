// The character type the program hands Qt, from the locale variables a session may have set.
#include "character_type.h"

#include <gtest/gtest.h>
#include <langinfo.h>

#include <clocale>
#include <cstdlib>
#include <string>

namespace tempulix {
namespace {

struct Variables {
  const char* lcAll;
  const char* lcCtype;
  const char* lang;
};

void setOrUnset(const char* name, const char* value) {
  if (value != nullptr) {
    setenv(name, value, 1);
  } else {
    unsetenv(name);
  }
}

std::string variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "(unset)";
}

TEST(CharacterTypeTest, QtFindsUtf8WhateverTheSessionSet) {
  const struct {
    const char* name;
    Variables given;
    const char* change;  // what useUtf8CharacterType() reports setting
  } rows[] = {
      {"no locale at all (a fresh system)", {nullptr, nullptr, nullptr}, "LC_CTYPE=C.UTF-8"},
      {"LANG=C", {nullptr, nullptr, "C"}, "LC_CTYPE=C.UTF-8"},
      {"LANG=POSIX", {nullptr, nullptr, "POSIX"}, "LC_CTYPE=C.UTF-8"},
      {"LC_ALL=C overrides a UTF-8 LANG", {"C", nullptr, "C.UTF-8"}, "LC_ALL=C.UTF-8"},
      {"LC_CTYPE=C under a UTF-8 LANG", {nullptr, "C", "C.UTF-8"}, "LC_CTYPE=C.UTF-8"},
      {"an empty LC_ALL counts as unset", {"", nullptr, "C"}, "LC_CTYPE=C.UTF-8"},
      {"UTF-8 already", {nullptr, nullptr, "C.UTF-8"}, ""},
      {"UTF-8 already, spelt utf8", {nullptr, nullptr, "C.utf8"}, ""},
      {"LC_ALL UTF-8 already", {"C.UTF-8", nullptr, "C"}, ""},
  };
  for (const auto& row : rows) {
    setOrUnset("LC_ALL", row.given.lcAll);
    setOrUnset("LC_CTYPE", row.given.lcCtype);
    setOrUnset("LANG", row.given.lang);
    const std::string before = std::setlocale(LC_CTYPE, nullptr);

    EXPECT_EQ(useUtf8CharacterType(), row.change) << row.name;
    EXPECT_EQ(std::setlocale(LC_CTYPE, nullptr), before) << row.name << ": the process's locale";
    EXPECT_EQ(variable("LANG"), row.given.lang ? row.given.lang : "(unset)") << row.name;
    // What Qt does first: the locale the environment names, which must now be UTF-8.
    ASSERT_NE(std::setlocale(LC_ALL, ""), nullptr) << row.name;
    const std::string codeset = nl_langinfo(CODESET);
    EXPECT_TRUE(codeset == "UTF-8" || codeset == "utf8") << row.name << ": " << codeset;
    std::setlocale(LC_ALL, "C");
  }
}

}  // namespace
}  // namespace tempulix
