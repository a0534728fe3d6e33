#pragma once

#include "Views/Dashboard/Components/HistoryEntry.h"

#include <QAbstractListModel>
#include <QList>
#include <QPointer>
#include <QtQmlIntegration>

namespace quorvelle {

class AppViewModel;

// The transcript history as labelled rows, newest first, at most `limit` of them (negative: all,
// made a page at a time as the view asks for more, so a long history opens at once).
// A new dictation is inserted above the rows already shown and a removed one taken out, so the
// delegates of the other rows, and what the user typed into them, stay.
class HistoryRows : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(QObject* viewModel READ viewModelObject WRITE setViewModel NOTIFY viewModelChanged)
    Q_PROPERTY(int limit READ limit WRITE setLimit NOTIFY limitChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    // More of the history than the rows made so far.
    Q_PROPERTY(bool hasMore READ hasMore NOTIFY countChanged)

public:
    enum Role {
        IdRole = Qt::UserRole + 1,
        TranscriptRole,
        TimestampRole,
        WordCountRole,
        DurationRole,
        KindRole,
        DictionaryActionRole
    };

    explicit HistoryRows(QObject* parent = nullptr);

    QObject* viewModelObject() const;
    void setViewModel(QObject* viewModel);
    int limit() const { return m_limit; }
    void setLimit(int limit);
    int count() const { return int(m_rows.size()); }
    bool hasMore() const;
    // Makes the next page of rows.
    Q_INVOKABLE void showMore();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Makes the rows those of `rows`: removed ids go, new ids come in at their place, the others
    // change in place; only a change of order resets the model.
    void apply(const QList<HistoryEntry>& rows);

Q_SIGNALS:
    void viewModelChanged();
    void limitChanged();
    void countChanged();

private:
    void refresh();

    QPointer<AppViewModel> m_viewModel;
    int m_limit = -1;
    int m_pageEnd;
    QList<HistoryEntry> m_rows;
};

}  // namespace quorvelle
