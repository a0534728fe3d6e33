#include "Views/Dashboard/Pages/ReleaseNotesPageModel.h"

#include "ViewModel/AccountViewModel.h"
#include "ViewModel/AppViewModel.h"
#include "Views/Dashboard/Pages/ReleaseNoteTexts.h"

namespace quorvelle {

using Kind = ReleaseNotesLoadState::Kind;

void ReleaseNotesPageModel::observe(AppViewModel& viewModel) {
    connect(viewModel.account(), &AccountViewModel::releaseNotesStateChanged, this, &ReleaseNotesPageModel::changed);
    connect(&viewModel, &AppViewModel::stringsChanged, this, &ReleaseNotesPageModel::changed);
}

QString ReleaseNotesPageModel::state() const {
    if (!viewModel()) return QStringLiteral("idle");
    switch (viewModel()->account()->releaseNotesState().kind) {
        case Kind::idle: return QStringLiteral("idle");
        case Kind::loading: return QStringLiteral("loading");
        case Kind::loaded: return QStringLiteral("loaded");
        case Kind::failed: return QStringLiteral("failed");
    }
    return QStringLiteral("idle");
}

QVariantList ReleaseNotesPageModel::entries() const {
    if (!viewModel()) return {};
    const QString languageCode = viewModel()->languageCode();
    QVariantList entries;
    for (const ReleaseNoteEntry& entry : viewModel()->account()->releaseNotesState().entries) {
        QVariantList categories;
        for (const ReleaseNoteCategory& category : entry.categories) {
            categories.append(QVariantMap{
                {QStringLiteral("heading"), ReleaseNoteTexts::categoryHeading(category.label, languageCode)},
                {QStringLiteral("items"), category.items}});
        }
        entries.append(
            QVariantMap{{QStringLiteral("id"), entry.id},
                        {QStringLiteral("version"), entry.version},
                        {QStringLiteral("channel"), entry.channel},
                        {QStringLiteral("date"), ReleaseNoteTexts::releaseDate(entry.releasedAt, languageCode)},
                        {QStringLiteral("summary"), entry.summary.value_or(QString())},
                        {QStringLiteral("categories"), categories}});
    }
    return entries;
}

void ReleaseNotesPageModel::loadIfNeeded() {
    if (!viewModel()) return;
    const Kind kind = viewModel()->account()->releaseNotesState().kind;
    if (kind == Kind::idle || kind == Kind::failed) viewModel()->account()->reloadReleaseNotes();
}

void ReleaseNotesPageModel::reload() {
    if (viewModel()) viewModel()->account()->reloadReleaseNotes();
}

void ReleaseNotesPageModel::openWebPage() {
    if (viewModel()) viewModel()->account()->openReleaseNotesWebPage();
}

}  // namespace quorvelle
