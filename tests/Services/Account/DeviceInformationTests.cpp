#include "Services/Backend/DeviceInformation.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace quorvelle {
namespace {

TEST(DeviceInformation, PrettyNameOfOSRelease) {
    const struct {
        const char* text;
        std::optional<QString> expected;
    } cases[] = {
        {"NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n",
         QStringLiteral("Debian GNU/Linux 12 (bookworm)")},
        {"PRETTY_NAME=\"Say \\\"hi\\\" \\\\ \\$HOME\"", QStringLiteral("Say \"hi\" \\ $HOME")},
        {"PRETTY_NAME=\"First\"\nPRETTY_NAME=\"Second\"", QStringLiteral("Second")},
        {"# PRETTY_NAME=\"commented\"\nNAME=Other", std::nullopt},
        {"PRETTY_NAME=\"\"", std::nullopt},
        {"PRETTY_NAME=Arch Linux\n", QStringLiteral("Arch Linux")},
        {"PRETTY_NAME=\"", QStringLiteral("\"")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DeviceInformationReader::prettyNameOfOSRelease(QString::fromUtf8(c.text)), c.expected) << c.text;
    }
}

TEST(DeviceInformation, ReadsTheFirstOSReleaseFileThatExistsAndTheHostName) {
    QTemporaryDir dir;
    const QString missing = dir.filePath("missing");
    const QString usrLib = dir.filePath("usr-lib-os-release");
    QFile file(usrLib);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("PRETTY_NAME=\"Fallback OS 1\"\n");
    file.close();

    QString host = QStringLiteral("kitchen-pc");
    DeviceInformationReader::Options options;
    options.appVersion = QStringLiteral("2.0");
    options.osReleasePaths = {missing, usrLib};
    options.hostName = [&host] { return host; };
    const DeviceInformationReader reader(options);

    EXPECT_EQ(reader.read(), (DeviceInformation{QStringLiteral("kitchen-pc"), QStringLiteral("Fallback OS 1"),
                                                QStringLiteral("2.0"), std::nullopt}));
    // Read afresh each time: a changed host name shows at once; no name at all is left out.
    host.clear();
    EXPECT_EQ(reader.read().deviceName, std::nullopt);

    options.osReleasePaths = {missing};
    EXPECT_EQ(DeviceInformationReader(options).read().osVersion, std::nullopt);
}

TEST(DeviceInformation, FingerprintIsTheSha256OfTheBundleIDAndInstallID) {
    EXPECT_EQ(deviceFingerprintHash(QStringLiteral("ğ")),
              QStringLiteral("27f7c537f743a2bdc8ee7c9ddac07ef2d4878852ce4053db26d1df43f4956820"));
}

}  // namespace
}  // namespace quorvelle
