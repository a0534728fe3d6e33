#pragma once

#include "Services/Backend/SecretItemStoring.h"

#include <QHash>
#include <QStringList>

namespace quorvelle::test {

// Secret items in memory, keyed by account; an account can be made not to answer reads (a locked or
// gone keyring) or to refuse writes or deletes.
class InMemoryKeyring : public SecretItemStoring {
public:
    QHash<QString, QByteArray> items;
    // account -> the status that every read, add or update, or delete of it answers.
    QHash<QString, qint32> unansweredReads, refusedWrites, refusedDeletes;
    QStringList writes;  // the account of every write that went through, in order
    int reads = 0;

    SecretItemReadResult copyItem(const QString&, const QString& account) override {
        ++reads;
        if (unansweredReads.contains(account)) return {unansweredReads.value(account), {}};
        if (!items.contains(account)) return {SecretItemStatus::itemNotFound, {}};
        return {SecretItemStatus::success, items.value(account)};
    }
    qint32 addItem(const QString&, const QString& account, const QByteArray& data) override {
        return items.contains(account) ? SecretItemStatus::duplicateItem : write(account, data);
    }
    qint32 updateItem(const QString&, const QString& account, const QByteArray& data) override {
        return items.contains(account) ? write(account, data) : SecretItemStatus::itemNotFound;
    }
    qint32 deleteItem(const QString&, const QString& account) override {
        if (refusedDeletes.contains(account)) return refusedDeletes.value(account);
        return items.remove(account) ? SecretItemStatus::success : SecretItemStatus::itemNotFound;
    }

private:
    qint32 write(const QString& account, const QByteArray& data) {
        if (refusedWrites.contains(account)) return refusedWrites.value(account);
        items.insert(account, data);
        writes.append(account);
        return SecretItemStatus::success;
    }
};

}  // namespace quorvelle::test
