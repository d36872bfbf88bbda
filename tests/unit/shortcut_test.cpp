// The desktop entry written for a shortcut on Linux (text built on both targets).
#include <gtest/gtest.h>

#include "platform/shortcut.h"

namespace orv {

TEST(DesktopEntry, HoldsEveryFieldWithArgumentsQuotedByItsRules) {
  shortcut::ShortcutFields link;
  link.location = "/home/a/Desktop/Mon outil.desktop";
  link.targetPath = "/opt/outil/bin/outil";
  link.parameters = R"(--mode "deux mots" 100% a\b)";
  link.workingDirectory = "/opt/outil";
  link.description = "Outil de déploiement";
  link.iconFile = "/opt/outil/icon.png";
  EXPECT_EQ(shortcut::desktopEntryText(link),
            "[Desktop Entry]\nType=Application\nName=Mon outil\n"
            "Exec=/opt/outil/bin/outil --mode \"deux mots\" 100%% \"a\\\\\\\\b\"\n"
            "Path=/opt/outil\nComment=Outil de déploiement\nIcon=/opt/outil/icon.png\n");
}

TEST(DesktopEntry, EmptyFieldsAreLeftOutAndAQuotedTargetIsEscaped) {
  shortcut::ShortcutFields link;
  link.location = "launch";
  link.targetPath = "/srv/my \"app\"";
  EXPECT_EQ(shortcut::desktopEntryText(link),
            "[Desktop Entry]\nType=Application\nName=launch\nExec=\"/srv/my \\\\\"app\\\\\"\"\n");
}

}  // namespace orv
