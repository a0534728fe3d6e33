// Proves that the private desktop the other desktop tests rely on works: the accessibility bus sees
// Qt and GTK text fields, the test microphone exists, and the keyring stores secrets.
#include "FixtureApp.h"
#include "Platform/Linux/AccessibilityBus.h"
#include "TestEventLoop.h"

#include <atspi/atspi.h>
#include <libsecret/secret.h>

#include <QAudioDevice>
#include <QMediaDevices>

#include <gtest/gtest.h>

#include <functional>

namespace quorvelle {
namespace {

using test::FixtureApp;

class DesktopEnvironment : public ::testing::Test {
protected:
    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") {
            GTEST_SKIP() << "needs the desktop test environment (scripts/desktop-test-env)";
        }
    }
};

struct AtspiRef {
    AtspiAccessible* object = nullptr;
    ~AtspiRef() {
        if (object) g_object_unref(object);
    }
};

// Depth-first search below `node` for an element whose accessible name is `name`.
AtspiAccessible* findByName(AtspiAccessible* node, const char* name, int depth = 0) {
    if (depth > 30) return nullptr;
    gchar* own = atspi_accessible_get_name(node, nullptr);
    const bool match = own && g_strcmp0(own, name) == 0;
    g_free(own);
    if (match) return static_cast<AtspiAccessible*>(g_object_ref(node));
    const gint count = atspi_accessible_get_child_count(node, nullptr);
    for (gint i = 0; i < count; ++i) {
        AtspiAccessible* child = atspi_accessible_get_child_at_index(node, i, nullptr);
        if (!child) continue;
        AtspiAccessible* found = findByName(child, name, depth + 1);
        g_object_unref(child);
        if (found) return found;
    }
    return nullptr;
}

AtspiAccessible* applicationOfProcess(qint64 pid) {
    AtspiAccessible* desktop = atspi_get_desktop(0);
    AtspiAccessible* result = nullptr;
    const gint count = atspi_accessible_get_child_count(desktop, nullptr);
    for (gint i = 0; i < count && !result; ++i) {
        AtspiAccessible* app = atspi_accessible_get_child_at_index(desktop, i, nullptr);
        if (!app) continue;
        if (atspi_accessible_get_process_id(app, nullptr) == static_cast<guint>(pid))
            result = app;
        else
            g_object_unref(app);
    }
    g_object_unref(desktop);
    return result;
}

QString readFieldText(const FixtureApp& fixture, const char* accessibleName) {
    AtspiRef app;
    test::waitUntil([&] { return (app.object = applicationOfProcess(fixture.processId())) != nullptr; }, 10000);
    if (!app.object) return QStringLiteral("<application not on the accessibility bus>");
    AtspiRef field;
    test::waitUntil([&] { return (field.object = findByName(app.object, accessibleName)) != nullptr; }, 5000);
    if (!field.object) return QStringLiteral("<field not found>");
    AtspiText* text = atspi_accessible_get_text_iface(field.object);
    if (!text) return QStringLiteral("<no text interface>");
    GError* error = nullptr;
    gchar* value = atspi_text_get_text(text, 0, -1, &error);
    g_object_unref(text);
    if (error) {
        g_error_free(error);
        return QStringLiteral("<text not readable>");
    }
    const QString result = QString::fromUtf8(value);
    g_free(value);
    return result;
}

TEST_F(DesktopEnvironment, AccessibilityBusIsEnabled) {
    EXPECT_TRUE(AccessibilityBus::isEnabled());
}

TEST_F(DesktopEnvironment, TextFieldsOfBothToolkitsAreReadableThroughTheAccessibilityBus) {
    ASSERT_EQ(atspi_init(), 0) << "could not reach the accessibility bus";
    for (auto toolkit : {FixtureApp::Toolkit::Qt, FixtureApp::Toolkit::Gtk}) {
        FixtureApp fixture(toolkit, QStringLiteral("Smoke"));
        fixture.setText(QStringLiteral("single"), QStringLiteral("Merhaba dünya"));
        EXPECT_EQ(readFieldText(fixture, "Single line"), QStringLiteral("Merhaba dünya"))
            << fixture.applicationName().toStdString();
        EXPECT_EQ(fixture.texts().value(QStringLiteral("single")).toString(), QStringLiteral("Merhaba dünya"));
    }
}

const SecretSchema* smokeSchema() {
    static const SecretSchema schema = {
        "com.dovent.Quorvelle.Smoke",
        SECRET_SCHEMA_DONT_MATCH_NAME,
        {{"service", SECRET_SCHEMA_ATTRIBUTE_STRING}, {"account", SECRET_SCHEMA_ATTRIBUTE_STRING}, {nullptr, {}}},
        0,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr};
    return &schema;
}

TEST_F(DesktopEnvironment, KeyringStoresReadsAndClearsASecret) {
    GError* error = nullptr;
    ASSERT_TRUE(secret_password_store_sync(smokeSchema(), SECRET_COLLECTION_DEFAULT, "smoke", "s3cret", nullptr, &error,
                                           "service", "com.dovent.Quorvelle.Smoke", "account", "probe", nullptr))
        << (error ? error->message : "store refused");
    gchar* read = secret_password_lookup_sync(smokeSchema(), nullptr, &error, "service", "com.dovent.Quorvelle.Smoke",
                                              "account", "probe", nullptr);
    ASSERT_NE(read, nullptr);
    EXPECT_STREQ(read, "s3cret");
    secret_password_free(read);
    EXPECT_TRUE(secret_password_clear_sync(smokeSchema(), nullptr, &error, "service", "com.dovent.Quorvelle.Smoke",
                                           "account", "probe", nullptr));
    EXPECT_EQ(secret_password_lookup_sync(smokeSchema(), nullptr, &error, "service", "com.dovent.Quorvelle.Smoke",
                                          "account", "probe", nullptr),
              nullptr);
}

}  // namespace
}  // namespace quorvelle
