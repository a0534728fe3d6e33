#pragma once

#include <QAbstractListModel>
#include "Support/ListRoom.h"

#include <QList>

namespace quorvelle {

// A list of records as the views read it: one row per record, one role per property of the
// record's gadget, named after the property.
class RecordListModel : public QAbstractListModel {
    Q_OBJECT

    // The number of rows; bindable, unlike rowCount().
    Q_PROPERTY(int count READ rowCount NOTIFY countChanged)

public:
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;
    // The whole record of a row (a gadget), for an operation that takes one; null outside the rows.
    Q_INVOKABLE QVariant get(int row) const;

Q_SIGNALS:
    void countChanged();

protected:
    RecordListModel(const QMetaObject& recordType, QObject* parent);

    virtual qsizetype recordCount() const = 0;
    virtual const void* recordAt(qsizetype row) const = 0;
    virtual QVariant recordValueAt(qsizetype row) const = 0;

private:
    const QMetaObject& m_recordType;
};

// The rows of one record type. A list of the same length changes only the rows that differ, so
// the views keep their delegates; any other list resets the model. One new record goes in as one
// row, without copying the others.
template <typename T>
class RecordList final : public RecordListModel {
public:
    explicit RecordList(QObject* parent = nullptr) : RecordListModel(T::staticMetaObject, parent) {}

    const QList<T>& records() const { return m_records; }

    void setRecords(const QList<T>& records) {
        if (records.size() != m_records.size()) {
            beginResetModel();
            m_records = records;
            // Its own copy, with room in front: a row put there later must not copy the whole list.
            reserveInFront(m_records, roomForNewEntries(m_records));
            endResetModel();
            Q_EMIT countChanged();
            return;
        }
        for (qsizetype row = 0; row < records.size(); ++row) {
            if (records[row] == m_records[row]) continue;
            m_records[row] = records[row];
            const QModelIndex changed = index(int(row));
            Q_EMIT dataChanged(changed, changed);
        }
    }

    void insertRecord(qsizetype row, const T& record) {
        beginInsertRows({}, int(row), int(row));
        m_records.insert(row, record);
        endInsertRows();
        Q_EMIT countChanged();
    }

protected:
    qsizetype recordCount() const override { return m_records.size(); }
    const void* recordAt(qsizetype row) const override { return &m_records[row]; }
    QVariant recordValueAt(qsizetype row) const override { return QVariant::fromValue(m_records[row]); }

private:
    QList<T> m_records;
};

}  // namespace quorvelle
