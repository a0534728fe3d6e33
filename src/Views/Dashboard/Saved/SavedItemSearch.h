#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QtQmlIntegration>

namespace quorvelle {

class AppViewModel;

// A saved list of the view model (dictionary entries or snippets) narrowed by a search query:
// the matching items in stored order, each as a map of its fields (the id as text), and their
// number. An empty query keeps every item; any other is used as typed, spaces included.
class SavedItemSearch : public QObject {
    Q_OBJECT

    Q_PROPERTY(QObject* viewModel READ viewModelObject WRITE setViewModel NOTIFY viewModelChanged)
    Q_PROPERTY(QString query READ query WRITE setQuery NOTIFY queryChanged)
    Q_PROPERTY(QVariantList items READ items NOTIFY itemsChanged)
    Q_PROPERTY(int count READ count NOTIFY itemsChanged)

public:
    QObject* viewModelObject() const;
    void setViewModel(QObject* viewModel);
    const QString& query() const { return m_query; }
    void setQuery(const QString& query);
    const QVariantList& items() const { return m_items; }
    int count() const { return int(m_items.size()); }

    // Whether any field contains the query, letter case ignored and accents kept (o does not find ö).
    static bool matches(const QStringList& fields, const QString& query);

Q_SIGNALS:
    void viewModelChanged();
    void queryChanged();
    void itemsChanged();

protected:
    explicit SavedItemSearch(QObject* parent);
    // Listens to the list's change signal on the view model.
    virtual void connectList(AppViewModel& viewModel) = 0;
    // The matching items of the list.
    virtual QVariantList collect(const AppViewModel& viewModel) const = 0;
    void refresh();

private:
    QPointer<AppViewModel> m_viewModel;
    QString m_query;
    QVariantList m_items;
};

// The dictionary entries: { id, original, replacement, category, updatedAt }.
class DictionaryEntrySearch : public SavedItemSearch {
    Q_OBJECT
    QML_ELEMENT

public:
    explicit DictionaryEntrySearch(QObject* parent = nullptr) : SavedItemSearch(parent) {}

protected:
    void connectList(AppViewModel& viewModel) override;
    QVariantList collect(const AppViewModel& viewModel) const override;
};

// The voice snippets: { id, phrase, expansion }.
class SnippetSearch : public SavedItemSearch {
    Q_OBJECT
    QML_ELEMENT

public:
    explicit SnippetSearch(QObject* parent = nullptr) : SavedItemSearch(parent) {}

protected:
    void connectList(AppViewModel& viewModel) override;
    QVariantList collect(const AppViewModel& viewModel) const override;
};

}  // namespace quorvelle
