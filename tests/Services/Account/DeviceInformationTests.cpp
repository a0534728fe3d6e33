#include "Services/Backend/DeviceInformation.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

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

TEST(DeviceInformation, ReadsTheFirstOSReleaseFileThatExistsAndTheHostName) {
    QTemporaryDir dir;
    QFile file(dir.filePath("usr-lib-os-release"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("PRETTY_NAME=\"Fallback OS 1\"\n") > 0);
    file.close();
    QString host = "kitchen-pc";
    DeviceInformationReader::Options options{
        "2.0", std::nullopt, {dir.filePath("missing"), file.fileName()}, [&host] { return host; }};
    const DeviceInformationReader reader(options);
    EXPECT_EQ(reader.read(), (DeviceInformation{"kitchen-pc", "Fallback OS 1", "2.0", std::nullopt}));
    // Read afresh each time: a changed host name shows at once; no name at all is left out.
    host.clear();
    EXPECT_EQ(reader.read().deviceName, std::nullopt);
    options.osReleasePaths = {dir.filePath("missing")};
    EXPECT_EQ(DeviceInformationReader(options).read().osVersion, std::nullopt);
}

}  // namespace
}  // namespace quorvelle
