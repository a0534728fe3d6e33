#include "ViewModel/RecordListModel.h"

#include <QMetaProperty>

namespace quorvelle {

RecordListModel::RecordListModel(const QMetaObject& recordType, QObject* parent)
    : QAbstractListModel(parent), m_recordType(recordType) {}

int RecordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(recordCount());
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const {
    const int property = role - Qt::UserRole;
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) || property < 0 ||
        property >= m_recordType.propertyCount())
        return {};
    return m_recordType.property(property).readOnGadget(recordAt(index.row()));
}

QVariant RecordListModel::get(int row) const {
    return row >= 0 && row < recordCount() ? recordValueAt(row) : QVariant::fromValue(nullptr);
}

QHash<int, QByteArray> RecordListModel::roleNames() const {
    QHash<int, QByteArray> roles;
    for (int property = 0; property < m_recordType.propertyCount(); ++property)
        roles.insert(Qt::UserRole + property, m_recordType.property(property).name());
    return roles;
}

}  // namespace quorvelle
