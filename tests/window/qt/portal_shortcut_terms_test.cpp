// The portal's terms for the global shortcuts: the triggers desktops parse, the ids they hand
// back, when to bind, and how their answers become the one line.
#include "portal_shortcut_terms.h"

#include <gtest/gtest.h>

#include "session_type.h"

namespace tempulix::portal {
namespace {

// GNOME turns CTRL/ALT/SHIFT into <ctrl><alt><shift> and keeps the rest as a keysym name; KDE
// parses the same words. The default keys as the man page names them.
TEST(PortalShortcutTerms, PreferredTriggersAreTheDefaultKeys) {
  EXPECT_EQ(preferredTrigger(globalShortcuts[0]), "CTRL+ALT+SHIFT+F9");
  EXPECT_EQ(preferredTrigger(globalShortcuts[1]), "CTRL+ALT+SHIFT+F10");
}

TEST(PortalShortcutTerms, IdsNameTheirShortcutsAndNothingElse) {
  const struct {
    std::string_view id;
    std::optional<GlobalShortcut> shortcut;
  } rows[] = {
      {"start-or-stop", GlobalShortcut::startOrStop},
      {"reset", GlobalShortcut::reset},
      {"Reset", std::nullopt},
      {"", std::nullopt},
      {"start-or-stop ", std::nullopt},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(shortcutNamed(row.id), row.shortcut) << "'" << row.id << "'";
  }
}

TEST(PortalShortcutTerms, BoundOnlyWhereTheDesktopDoesNotListEveryOne) {
  const struct {
    const char* what;
    std::vector<Listed> listed;
    bool bind;
  } rows[] = {
      {"nothing listed (GNOME, a new session)", {}, true},
      {"both listed (KDE, keys the user may have changed)",
       {{"reset", "Ctrl+Alt+Shift+F8"}, {"start-or-stop", "Meta+S"}},
       false},
      {"both listed, one without a key", {{"start-or-stop", ""}, {"reset", "F10"}}, false},
      {"one listed", {{"start-or-stop", "F9"}}, true},
      {"others' ids only", {{"start", "F9"}, {"stop", "F10"}}, true},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(needsBinding(row.listed), row.bind) << row.what;
  }
}

TEST(PortalShortcutTerms, ResponsesAndListingsTellWhetherThereIsAShortcut) {
  EXPECT_EQ(failureOfResponse(0), std::nullopt);
  EXPECT_EQ(failureOfResponse(1), Failure::declined);
  EXPECT_EQ(failureOfResponse(2), Failure::refused);
  EXPECT_EQ(failureOfResponse(3), Failure::refused);

  const struct {
    const char* what;
    std::vector<Listed> listed;
    std::optional<Failure> failure;
  } rows[] = {
      {"keys for both",
       {{"start-or-stop", "Press <Control><Alt><Shift>F9"}, {"reset", "F10"}},
       std::nullopt},
      {"a key for one", {{"start-or-stop", ""}, {"reset", "Ctrl+Alt+Shift+F10"}}, std::nullopt},
      {"keys for neither (all taken)", {{"start-or-stop", ""}, {"reset", ""}}, Failure::noKeys},
      {"nothing told of keys", {}, std::nullopt},
      {"keys for others' ids only", {{"other", "F9"}, {"reset", ""}}, Failure::noKeys},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(failureOfListing(row.listed), row.failure) << row.what;
  }
}

TEST(PortalShortcutTerms, ABindIsGrantedWhereTheDesktopListsOurs) {
  const std::vector<Listed> bound = {{"start-or-stop", "Press <Shift><Control><Alt>F9"},
                                     {"reset", "Press <Shift><Control><Alt>F10"}};
  const struct {
    const char* what;
    unsigned int response;
    std::vector<Listed> listed;
    std::optional<Failure> failure;
  } rows[] = {
      {"granted, listed", 0, bound, std::nullopt},
      {"GNOME 48: carried out, code 2, listed", 2, bound, std::nullopt},
      {"GNOME 48: cancelled in its dialog, code 2, nothing listed", 2, {}, Failure::refused},
      {"KDE: declined in its dialog, code 1", 1, {}, Failure::declined},
      {"KDE 6: granted through its dialog, nothing listed", 0, {}, std::nullopt},
      {"granted, no keys", 0, {{"start-or-stop", ""}, {"reset", ""}}, Failure::noKeys},
      {"code 2, others' shortcuts listed", 2, {{"other", "F1"}}, Failure::refused},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(failureOfBind(row.response, row.listed), row.failure) << row.what;
  }
}

TEST(SessionType, TheSessionTypeDecidesWhereItNamesOne) {
  const struct {
    std::string_view type, waylandDisplay;
    bool wayland;
  } rows[] = {
      {"wayland", "wayland-0", true},
      {"wayland", "", true},
      {"x11", "wayland-1", false},
      {"x11", "", false},
      {"tty", "wayland-0", true},
      {"", "wayland-0", true},
      {"", "", false},
      {"tty", "", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(isWaylandSession(row.type, row.waylandDisplay), row.wayland)
        << "'" << row.type << "' '" << row.waylandDisplay << "'";
  }
}

}  // namespace
}  // namespace tempulix::portal
