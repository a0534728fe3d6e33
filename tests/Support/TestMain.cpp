#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <cstring>

#ifdef QUORVELLE_TEST_GUI
#include <QApplication>
#endif

int main(int argc, char** argv) {
    // Listing the tests happens at build time, where no display exists. (Checked before
    // GoogleTest consumes its own flags.)
    const bool listing =
        std::any_of(argv + 1, argv + argc, [](const char* a) { return !std::strcmp(a, "--gtest_list_tests"); });
    // The program's own test-run rule: default addresses become the local development servers.
    qputenv("QUORVELLE_TEST_RUN", "1");
    ::testing::InitGoogleMock(&argc, argv);
    if (listing) return RUN_ALL_TESTS();
#ifdef QUORVELLE_TEST_GUI
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    QCoreApplication::setOrganizationDomain(QStringLiteral("dovent.com"));
    QCoreApplication::setApplicationName(QStringLiteral("QuorvelleTests"));
    return RUN_ALL_TESTS();
}
