#include "Services/Backend/DeviceInformation.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

TEST(DeviceInformation, PrettyNameOfOSRelease) {
    const std::pair<const char*, std::optional<QString>> cases[] = {
        {"NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n",
         "Debian GNU/Linux 12 (bookworm)"},
        {"PRETTY_NAME=\"Say \\\"hi\\\" \\\\ \\$HOME\"", "Say \"hi\" \\ $HOME"},
        {"PRETTY_NAME=\"First\"\nPRETTY_NAME=\"Second\"", "Second"},
        {"# PRETTY_NAME=\"commented\"\nNAME=Other", std::nullopt},
        {"PRETTY_NAME=\"\"", std::nullopt},
        {"PRETTY_NAME=Arch Linux\n", "Arch Linux"},
        {"PRETTY_NAME=\"", "\""},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(DeviceInformationReader::prettyNameOfOSRelease(QString::fromUtf8(text)), expected) << text;
}

}  // namespace
}  // namespace quorvelle
