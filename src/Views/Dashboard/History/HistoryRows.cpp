#include "Views/Dashboard/History/HistoryRows.h"

#include "Views/Dashboard/History/HistoryEntryBuilder.h"
#include "Views/Dashboard/ViewModelLink.h"

#include <QSet>

#include <algorithm>

namespace quorvelle {

namespace {

constexpr int kPageSize = 50;

bool sameRow(const HistoryEntry& a, const HistoryEntry& b) {
    return a.id == b.id && a.transcript == b.transcript && a.timestampLabel == b.timestampLabel &&
           a.wordCountLabel == b.wordCountLabel && a.durationLabel == b.durationLabel &&
           a.completionKindLabel == b.completionKindLabel && a.dictionaryActionTitle == b.dictionaryActionTitle;
}

}  // namespace

HistoryRows::HistoryRows(QObject* parent) : QAbstractListModel(parent), m_pageEnd(kPageSize) {}

QObject* HistoryRows::viewModelObject() const {
    return m_viewModel;
}

void HistoryRows::setViewModel(QObject* viewModel) {
    const bool changed = relinkViewModel(m_viewModel, viewModel, this, [this](AppViewModel& linked) {
        connect(&linked, &AppViewModel::stringsChanged, this, &HistoryRows::refresh);
        connect(linked.history(), &HistoryViewModel::transcriptHistoryEntriesChanged, this, &HistoryRows::refresh);
    });
    if (!changed) return;
    refresh();
    Q_EMIT viewModelChanged();
}

void HistoryRows::setLimit(int limit) {
    if (limit == m_limit) return;
    m_limit = limit;
    refresh();
    Q_EMIT limitChanged();
}

bool HistoryRows::hasMore() const {
    return m_viewModel && m_limit < 0 && count() < m_viewModel->history()->transcriptHistoryEntries().size();
}

void HistoryRows::showMore() {
    if (!hasMore()) return;
    m_pageEnd = count() + kPageSize;
    refresh();
}

void HistoryRows::refresh() {
    QList<HistoryEntry> rows;
    if (m_viewModel) {
        const AppStrings strings = m_viewModel->strings();
        const qsizetype shown = m_limit >= 0 ? m_limit : m_pageEnd;
        for (const TranscriptHistoryEntry& entry : m_viewModel->history()->transcriptHistoryEntries()) {
            if (rows.size() >= shown) break;
            rows.append(HistoryEntryBuilder::make(entry, strings));
        }
    }
    const bool more = hasMore();
    apply(rows);
    if (hasMore() != more) Q_EMIT countChanged();
}

void HistoryRows::apply(const QList<HistoryEntry>& rows) {
    const int before = count();
    QSet<QUuid> kept;
    for (const HistoryEntry& row : rows)
        kept.insert(row.id);
    for (int row = count() - 1; row >= 0; --row) {
        if (kept.contains(m_rows[row].id)) continue;
        beginRemoveRows({}, row, row);
        m_rows.removeAt(row);
        endRemoveRows();
    }
    for (int row = 0; row < rows.size(); ++row) {
        if (row < count() && m_rows[row].id == rows[row].id) {
            if (sameRow(m_rows[row], rows[row])) continue;
            m_rows[row] = rows[row];
            Q_EMIT dataChanged(index(row), index(row));
            continue;
        }
        const bool shownLater = std::any_of(m_rows.begin() + row, m_rows.end(),
                                            [&](const HistoryEntry& shown) { return shown.id == rows[row].id; });
        if (shownLater) {
            beginResetModel();
            m_rows = rows;
            endResetModel();
            break;
        }
        beginInsertRows({}, row, row);
        m_rows.insert(row, rows[row]);
        endInsertRows();
    }
    if (count() != before) Q_EMIT countChanged();
}

int HistoryRows::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant HistoryRows::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
    const HistoryEntry& row = m_rows[index.row()];
    switch (role) {
        case IdRole: return row.id.toString(QUuid::WithoutBraces);
        case TranscriptRole: return row.transcript;
        case TimestampRole: return row.timestampLabel;
        case WordCountRole: return row.wordCountLabel;
        case DurationRole: return row.durationLabel;
        case KindRole: return row.completionKindLabel;
        case DictionaryActionRole: return row.dictionaryActionTitle;
    }
    return {};
}

QHash<int, QByteArray> HistoryRows::roleNames() const {
    return {{IdRole, "id"},
            {TranscriptRole, "transcript"},
            {TimestampRole, "timestampLabel"},
            {WordCountRole, "wordCountLabel"},
            {DurationRole, "durationLabel"},
            {KindRole, "completionKindLabel"},
            {DictionaryActionRole, "dictionaryActionTitle"}};
}

}  // namespace quorvelle
