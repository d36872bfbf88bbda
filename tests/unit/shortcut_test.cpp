// The desktop entry written for a shortcut on Linux (text built on both targets).
#include <gtest/gtest.h>

#include "platform/shortcut.h"

namespace orv {

TEST(DesktopEntry, HoldsEveryFieldWithArgumentsQuotedByItsRules) {
  shortcut::ShortcutSpec spec;
  spec.location = "/home/a/Desktop/Mon outil.desktop";
  spec.targetPath = "/opt/outil/bin/outil";
  spec.parameters = R"(--mode "deux mots" 100% a\b)";
  spec.workingDirectory = "/opt/outil";
  spec.description = "Outil de déploiement";
  spec.iconFile = "/opt/outil/icon.png";
  EXPECT_EQ(shortcut::desktopEntryText(spec),
            "[Desktop Entry]\nType=Application\nName=Mon outil\n"
            "Exec=/opt/outil/bin/outil --mode \"deux mots\" 100%% \"a\\\\\\\\b\"\n"
            "Path=/opt/outil\nComment=Outil de déploiement\nIcon=/opt/outil/icon.png\n");
}

TEST(DesktopEntry, EmptyFieldsAreLeftOutAndAQuotedTargetIsEscaped) {
  shortcut::ShortcutSpec spec;
  spec.location = "launch";
  spec.targetPath = "/srv/my \"app\"";
  EXPECT_EQ(shortcut::desktopEntryText(spec),
            "[Desktop Entry]\nType=Application\nName=launch\nExec=\"/srv/my \\\\\"app\\\\\"\"\n");
}

}  // namespace orv
