// Round trips through the desktop's Secret Service (gnome-keyring in the desktop test environment).

#include "Platform/Linux/LibsecretItemStore.h"
#include "Services/Backend/APIKeyStoreError.h"

#include <gtest/gtest.h>

#include <libsecret/secret.h>

#include <QUuid>

namespace quorvelle {
namespace {

// Looks an item up the way any other program would: by its two attributes, under a schema of its own.
std::optional<QByteArray> lookUpElsewhere(const QString& service, const QString& account) {
    static const SecretSchema otherSchema = [] {
        SecretSchema schema{};
        schema.name = "org.example.Inspector";
        schema.flags = SECRET_SCHEMA_DONT_MATCH_NAME;
        schema.attributes[0] = {"service", SECRET_SCHEMA_ATTRIBUTE_STRING};
        schema.attributes[1] = {"account", SECRET_SCHEMA_ATTRIBUTE_STRING};
        return schema;
    }();
    GError* error = nullptr;
    gchar* value = secret_password_lookup_sync(&otherSchema, nullptr, &error, "service", service.toUtf8().constData(),
                                               "account", account.toUtf8().constData(), nullptr);
    if (error) g_error_free(error);
    if (!value) return std::nullopt;
    const QByteArray result(value);
    secret_password_free(value);
    return result;
}

class LibsecretItemStoreTests : public ::testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QUORVELLE_DESKTOP_ENV"))
            GTEST_SKIP() << "needs the desktop test environment (scripts/desktop-test-env)";
    }
    void TearDown() override {
        for (const QString& account : {QStringLiteral("a"), QStringLiteral("b")})
            items->deleteItem(service, account);
    }

    std::shared_ptr<LibsecretItemStore> items = std::make_shared<LibsecretItemStore>();
    // Each test run uses a service of its own for the raw item calls, so no earlier item interferes.
    const QString service = QStringLiteral("test.") + QUuid::createUuid().toString(QUuid::WithoutBraces);
};

TEST_F(LibsecretItemStoreTests, ItemOperationsReportTheKeychainStatusesAndKeepBytes) {
    EXPECT_EQ(items->copyItem(service, "a").status, SecretItemStatus::itemNotFound);
    EXPECT_EQ(items->updateItem(service, "a", "x"), SecretItemStatus::itemNotFound);
    EXPECT_EQ(items->deleteItem(service, "a"), SecretItemStatus::itemNotFound);

    EXPECT_EQ(items->addItem(service, "a", "first"), SecretItemStatus::success);
    EXPECT_EQ(items->addItem(service, "a", "again"), SecretItemStatus::duplicateItem);
    EXPECT_EQ(items->addItem(service, "b", "other"), SecretItemStatus::success);
    EXPECT_EQ(items->updateItem(service, "a", "second"), SecretItemStatus::success);

    EXPECT_EQ(items->copyItem(service, "a").data, "second");
    EXPECT_EQ(lookUpElsewhere(service, "a"), QByteArray("second"));

    EXPECT_EQ(items->deleteItem(service, "a"), SecretItemStatus::success);
    EXPECT_EQ(items->copyItem(service, "a").status, SecretItemStatus::itemNotFound);
    EXPECT_EQ(items->copyItem(service, "b").data, "other");

    // Bytes that are no text come back as they went in.
    ASSERT_EQ(items->updateItem(service, "b", QByteArray("\xc3\x28\x00\xff", 4)), SecretItemStatus::success);
    EXPECT_EQ(items->copyItem(service, "b").data, QByteArray("\xc3\x28\x00\xff", 4));
}

}  // namespace
}  // namespace quorvelle
