#pragma once

#include "Models/MainWindowSection.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUuid>
#include <QVariant>
#include <QtQmlIntegration>

#include <optional>

namespace quorvelle {

class AppViewModel;

// What the dashboard window keeps of its own: the shown section, the dictionary and snippet forms
// with their search texts and editing ids, the capture-sheet flag and the collapsed sidebar. It
// also decides the sign-in lock and the page header, and carries the page actions, each of which
// ends in one view-model operation. Made by the window root, given the root's view model.
class MainWindowState : public QObject {
    Q_OBJECT
    QML_ELEMENT

    // The one view model; set once by the root.
    Q_PROPERTY(QObject* viewModel READ viewModelObject WRITE setViewModel NOTIFY accountStateChanged)
    // The raw value of the shown section ("overview" ... "changelog").
    Q_PROPERTY(QString selectedSection READ selectedSectionName NOTIFY selectedSectionChanged)

    // The dictionary form, its search text and the id of the entry being edited (null: adding).
    Q_PROPERTY(QString dictionaryOriginalTerm MEMBER m_dictionaryOriginalTerm NOTIFY dictionaryFormChanged)
    Q_PROPERTY(QString dictionaryReplacement MEMBER m_dictionaryReplacement NOTIFY dictionaryFormChanged)
    Q_PROPERTY(QString dictionaryCategory MEMBER m_dictionaryCategory NOTIFY dictionaryFormChanged)
    Q_PROPERTY(QString dictionarySearch MEMBER m_dictionarySearch NOTIFY dictionarySearchChanged)
    Q_PROPERTY(QVariant editingDictionaryEntryID READ editingDictionaryEntryIDValue NOTIFY dictionaryFormChanged)
    // The snippet form, its search text and the id of the snippet being edited (null: adding).
    Q_PROPERTY(QString snippetPhrase MEMBER m_snippetPhrase NOTIFY snippetFormChanged)
    Q_PROPERTY(QString snippetExpansion MEMBER m_snippetExpansion NOTIFY snippetFormChanged)
    Q_PROPERTY(QString snippetSearch MEMBER m_snippetSearch NOTIFY snippetSearchChanged)
    Q_PROPERTY(QVariant editingSnippetID READ editingSnippetIDValue NOTIFY snippetFormChanged)

    // The shortcut capture sheet is shown; the shortcuts page sets it, the sheet clears it.
    Q_PROPERTY(
        bool showingHotkeyCaptureSheet MEMBER m_showingHotkeyCaptureSheet NOTIFY showingHotkeyCaptureSheetChanged)
    // The sidebar is the narrow rail.
    Q_PROPERTY(bool isSidebarCollapsed READ isSidebarCollapsed NOTIFY isSidebarCollapsedChanged)

    // The application signs in to an account and this computer is not connected yet: every
    // sidebar section is disabled.
    Q_PROPERTY(bool isSignedOut READ isSignedOut NOTIFY accountStateChanged)
    // Signed out, on a section other than the account and the release notes: the sign-in page shows.
    Q_PROPERTY(bool isPageLocked READ isPageLocked NOTIFY headerChanged)
    // The page header: the section's, or the sign-in notice while locked.
    Q_PROPERTY(QString pageTitle READ pageTitle NOTIFY headerChanged)
    Q_PROPERTY(QString pageSubtitle READ pageSubtitle NOTIFY headerChanged)
    Q_PROPERTY(QString pageSymbol READ pageSymbol NOTIFY headerChanged)
    // The history page's export and clear buttons sit in the header.
    Q_PROPERTY(bool showsHistoryActions READ showsHistoryActions NOTIFY headerChanged)
    // The account texts of the sidebar footer and the sign-in page.
    Q_PROPERTY(QString accountSectionTitle READ accountSectionTitle NOTIFY accountStateChanged)
    Q_PROPERTY(QString connectionSummary READ connectionSummary NOTIFY accountStateChanged)
    Q_PROPERTY(QString accountRequiredTitle READ accountRequiredTitle NOTIFY accountStateChanged)
    Q_PROPERTY(QString accountRequiredMessage READ accountRequiredMessage NOTIFY accountStateChanged)

public:
    explicit MainWindowState(QObject* parent = nullptr);

    QObject* viewModelObject() const;
    void setViewModel(QObject* viewModel);

    MainWindowSection selectedSection() const { return m_selectedSection; }
    QString selectedSectionName() const { return rawValue(m_selectedSection); }
    const std::optional<QUuid>& editingDictionaryEntryID() const { return m_editingDictionaryEntryID; }
    const std::optional<QUuid>& editingSnippetID() const { return m_editingSnippetID; }
    QVariant editingDictionaryEntryIDValue() const;
    QVariant editingSnippetIDValue() const;
    bool isSidebarCollapsed() const { return m_isSidebarCollapsed; }

    bool isSignedOut() const;
    bool isPageLocked() const;
    QString pageTitle() const;
    QString pageSubtitle() const;
    QString pageSymbol() const;
    bool showsHistoryActions() const;
    QString accountSectionTitle() const;
    QString connectionSummary() const;
    QString accountRequiredTitle() const;
    QString accountRequiredMessage() const;

    // A sidebar button: ignored while signed out or for an unknown raw value.
    Q_INVOKABLE void selectSection(const QString& section);
    // The sidebar's account shortcut: the account section, locked or not.
    Q_INVOKABLE void showAccount();
    // The overview's link to the whole history; no lock test, like the account shortcut.
    Q_INVOKABLE void viewFullHistory();
    Q_INVOKABLE void toggleSidebar();

    // Hands the form as typed to the view model; clears it only when both trimmed terms are present.
    Q_INVOKABLE void saveDictionaryEntry();
    // Opens the dictionary section with the entry in the form, replacing whatever was typed.
    Q_INVOKABLE void editDictionaryEntry(const QVariant& id, const QString& original, const QString& replacement,
                                         const QString& category);
    // Ends editing when it is the entry being edited, then deletes it without asking.
    Q_INVOKABLE void deleteDictionaryEntry(const QVariant& id);
    Q_INVOKABLE void clearDictionarySearch();
    Q_INVOKABLE void saveSnippet();
    Q_INVOKABLE void editSnippet(const QVariant& id, const QString& phrase, const QString& expansion);
    Q_INVOKABLE void deleteSnippet(const QVariant& id);
    Q_INVOKABLE void clearSnippetSearch();
    // A history row's quick add: a new entry without a category; the form is left alone.
    Q_INVOKABLE void saveHistoryTermToDictionary(const QString& original, const QString& replacement);

Q_SIGNALS:
    void selectedSectionChanged();
    void dictionaryFormChanged();
    void dictionarySearchChanged();
    void snippetFormChanged();
    void snippetSearchChanged();
    void showingHotkeyCaptureSheetChanged();
    void isSidebarCollapsedChanged();
    void accountStateChanged();
    void headerChanged();

private:
    void setSelectedSection(MainWindowSection section);
    void clearDictionaryForm();
    void clearSnippetForm();
    void onAccountStateChanged();

    QPointer<AppViewModel> m_viewModel;
    MainWindowSection m_selectedSection = MainWindowSection::overview;
    QString m_dictionaryOriginalTerm;
    QString m_dictionaryReplacement;
    QString m_dictionaryCategory;
    QString m_dictionarySearch;
    std::optional<QUuid> m_editingDictionaryEntryID;
    QString m_snippetPhrase;
    QString m_snippetExpansion;
    QString m_snippetSearch;
    std::optional<QUuid> m_editingSnippetID;
    bool m_showingHotkeyCaptureSheet = false;
    bool m_isSidebarCollapsed = false;
};

}  // namespace quorvelle
