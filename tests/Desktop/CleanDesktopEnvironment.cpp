// Linked into every desktop test program: before its first case the desktop is put back as each case
// expects to find it, since a case killed by its time-out could not tidy up after itself.
#include "CleanDesktop.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

class CleanDesktopEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") return;
        const QStringList failures = startFromCleanDesktop();
        ASSERT_TRUE(failures.isEmpty()) << "the desktop is not clean: " << failures.join(u"; ").toStdString();
    }
};

[[maybe_unused]] ::testing::Environment* const registered =
    ::testing::AddGlobalTestEnvironment(new CleanDesktopEnvironment);

}  // namespace
}  // namespace quorvelle::test
