#include "Views/Dashboard/Saved/SavedItemSearch.h"

#include "Views/Dashboard/ViewModelLink.h"

#include <QVariantMap>

#include <algorithm>

namespace quorvelle {

SavedItemSearch::SavedItemSearch(QObject* parent) : QObject(parent) {}

QObject* SavedItemSearch::viewModelObject() const {
    return m_viewModel;
}

void SavedItemSearch::setViewModel(QObject* viewModel) {
    if (!relinkViewModel(m_viewModel, viewModel, this, [this](AppViewModel& linked) { connectList(linked); })) return;
    refresh();
    Q_EMIT viewModelChanged();
}

void SavedItemSearch::setQuery(const QString& query) {
    if (query == m_query) return;
    m_query = query;
    refresh();
    Q_EMIT queryChanged();
}

bool SavedItemSearch::matches(const QStringList& fields, const QString& query) {
    return query.isEmpty() || std::any_of(fields.begin(), fields.end(), [&](const QString& field) {
               return field.contains(query, Qt::CaseInsensitive);
           });
}

void SavedItemSearch::refresh() {
    m_items = m_viewModel ? collect(*m_viewModel) : QVariantList();
    Q_EMIT itemsChanged();
}

void DictionaryEntrySearch::connectList(AppViewModel& viewModel) {
    connect(viewModel.dictionary(), &DictionaryViewModel::dictionaryEntriesChanged, this,
            &DictionaryEntrySearch::refresh);
}

QVariantList DictionaryEntrySearch::collect(const AppViewModel& viewModel) const {
    QVariantList found;
    for (const DictionaryReplacementEntry& entry : viewModel.dictionary()->dictionaryEntries()) {
        if (!matches({entry.original, entry.replacement, entry.category}, query())) continue;
        found.append(QVariantMap{{QStringLiteral("id"), entry.id.toString(QUuid::WithoutBraces)},
                                 {QStringLiteral("original"), entry.original},
                                 {QStringLiteral("replacement"), entry.replacement},
                                 {QStringLiteral("category"), entry.category},
                                 {QStringLiteral("updatedAt"), entry.updatedAt}});
    }
    return found;
}

void SnippetSearch::connectList(AppViewModel& viewModel) {
    connect(viewModel.dictionary(), &DictionaryViewModel::snippetsChanged, this, &SnippetSearch::refresh);
}

QVariantList SnippetSearch::collect(const AppViewModel& viewModel) const {
    QVariantList found;
    for (const VoiceSnippet& snippet : viewModel.dictionary()->snippets()) {
        if (!matches({snippet.phrase, snippet.expansion}, query())) continue;
        found.append(QVariantMap{{QStringLiteral("id"), snippet.id.toString(QUuid::WithoutBraces)},
                                 {QStringLiteral("phrase"), snippet.phrase},
                                 {QStringLiteral("expansion"), snippet.expansion}});
    }
    return found;
}

}  // namespace quorvelle
