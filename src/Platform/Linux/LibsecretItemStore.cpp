#include "Platform/Linux/LibsecretItemStore.h"

#include <libsecret/secret.h>

#include <memory>

namespace quorvelle {

namespace {

// Items are found by their two attributes alone, whichever program wrote them.
const SecretSchema kItemSchema = {
    "com.dovent.Quorvelle.Item",
    SECRET_SCHEMA_DONT_MATCH_NAME,
    {
        {"service", SECRET_SCHEMA_ATTRIBUTE_STRING},
        {"account", SECRET_SCHEMA_ATTRIBUTE_STRING},
        {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING},
    },
    0,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

struct Attributes {
    QByteArray service;
    QByteArray account;
    std::unique_ptr<GHashTable, decltype(&g_hash_table_unref)> table{nullptr, &g_hash_table_unref};

    Attributes(const QString& serviceName, const QString& accountName)
        : service(serviceName.toUtf8()), account(accountName.toUtf8()) {
        // The table borrows the bytes above, which live as long as it does.
        table.reset(g_hash_table_new(g_str_hash, g_str_equal));
        g_hash_table_insert(table.get(), const_cast<char*>("service"), service.data());
        g_hash_table_insert(table.get(), const_cast<char*>("account"), account.data());
    }
};

struct ErrorHolder {
    GError* error = nullptr;
    ~ErrorHolder() {
        if (error) g_error_free(error);
    }
};

qint32 statusOf(const GError* error) {
    if (error->domain == SECRET_ERROR) {
        if (error->code == SECRET_ERROR_IS_LOCKED) return SecretItemStatus::interactionNotAllowed;
        if (error->code == SECRET_ERROR_NO_SUCH_OBJECT) return SecretItemStatus::itemNotFound;
        if (error->code == SECRET_ERROR_ALREADY_EXISTS) return SecretItemStatus::duplicateItem;
    }
    if (error->domain == G_DBUS_ERROR || error->domain == G_IO_ERROR) return SecretItemStatus::notAvailable;
    return SecretItemStatus::internalComponent;
}

// success when an item exists, itemNotFound when none does, or the failure's status.
qint32 existence(const Attributes& attributes) {
    ErrorHolder holder;
    GList* items = secret_service_search_sync(nullptr, &kItemSchema, attributes.table.get(), SECRET_SEARCH_NONE,
                                              nullptr, &holder.error);
    if (holder.error) return statusOf(holder.error);
    const bool found = items != nullptr;
    g_list_free_full(items, g_object_unref);
    return found ? SecretItemStatus::success : SecretItemStatus::itemNotFound;
}

qint32 store(const Attributes& attributes, const QByteArray& data) {
    ErrorHolder holder;
    SecretValue* value = secret_value_new(data.constData(), data.size(), "text/plain");
    const QByteArray label = "Quorvelle: " + attributes.account;
    const gboolean stored =
        secret_service_store_sync(nullptr, &kItemSchema, attributes.table.get(), SECRET_COLLECTION_DEFAULT,
                                  label.constData(), value, nullptr, &holder.error);
    secret_value_unref(value);
    if (holder.error) return statusOf(holder.error);
    return stored ? SecretItemStatus::success : SecretItemStatus::internalComponent;
}

}  // namespace

SecretItemReadResult LibsecretItemStore::copyItem(const QString& service, const QString& account) {
    const Attributes attributes(service, account);
    ErrorHolder holder;
    SecretValue* value =
        secret_service_lookup_sync(nullptr, &kItemSchema, attributes.table.get(), nullptr, &holder.error);
    if (holder.error) return {statusOf(holder.error), {}};
    if (!value) {
        // A locked collection hides its secrets from the lookup without an error; the search still
        // sees the item, so a locked item is told apart from a missing one.
        const qint32 found = existence(attributes);
        return {found == SecretItemStatus::success ? SecretItemStatus::interactionNotAllowed : found, {}};
    }
    gsize length = 0;
    const gchar* bytes = secret_value_get(value, &length);
    SecretItemReadResult result{SecretItemStatus::success, QByteArray(bytes, static_cast<qsizetype>(length))};
    secret_value_unref(value);
    return result;
}

qint32 LibsecretItemStore::addItem(const QString& service, const QString& account, const QByteArray& data) {
    const Attributes attributes(service, account);
    const qint32 found = existence(attributes);
    if (found == SecretItemStatus::success) return SecretItemStatus::duplicateItem;
    if (found != SecretItemStatus::itemNotFound) return found;
    return store(attributes, data);
}

qint32 LibsecretItemStore::updateItem(const QString& service, const QString& account, const QByteArray& data) {
    const Attributes attributes(service, account);
    const qint32 found = existence(attributes);
    if (found != SecretItemStatus::success) return found;
    // Storing under the same attributes replaces the existing item's secret.
    return store(attributes, data);
}

qint32 LibsecretItemStore::deleteItem(const QString& service, const QString& account) {
    const Attributes attributes(service, account);
    ErrorHolder holder;
    const gboolean removed =
        secret_service_clear_sync(nullptr, &kItemSchema, attributes.table.get(), nullptr, &holder.error);
    if (holder.error) return statusOf(holder.error);
    return removed ? SecretItemStatus::success : SecretItemStatus::itemNotFound;
}

}  // namespace quorvelle
