#include "Views/Dashboard/Pages/ReleaseNotesPageModel.h"

#include "ViewModel/AccountViewModel.h"
#include "ViewModel/AppViewModel.h"
#include "Views/Dashboard/Pages/ReleaseNoteTexts.h"

namespace quorvelle {

using Kind = ReleaseNotesLoadState::Kind;

ReleaseNotesPageModel::ReleaseNotesPageModel(QObject* parent) : QObject(parent) {}

QObject* ReleaseNotesPageModel::viewModelObject() const {
    return m_viewModel;
}

void ReleaseNotesPageModel::setViewModel(QObject* viewModel) {
    auto* model = qobject_cast<AppViewModel*>(viewModel);
    if (model == m_viewModel) return;
    if (m_viewModel) m_viewModel->disconnect(this);
    m_viewModel = model;
    if (model) {
        connect(model->account(), &AccountViewModel::releaseNotesStateChanged, this, &ReleaseNotesPageModel::changed);
        connect(model, &AppViewModel::stringsChanged, this, &ReleaseNotesPageModel::changed);
    }
    Q_EMIT changed();
}

QString ReleaseNotesPageModel::state() const {
    if (!m_viewModel) return QStringLiteral("idle");
    switch (m_viewModel->account()->releaseNotesState().kind) {
        case Kind::idle: return QStringLiteral("idle");
        case Kind::loading: return QStringLiteral("loading");
        case Kind::loaded: return QStringLiteral("loaded");
        case Kind::failed: return QStringLiteral("failed");
    }
    return QStringLiteral("idle");
}

QVariantList ReleaseNotesPageModel::entries() const {
    if (!m_viewModel) return {};
    const QString languageCode = m_viewModel->languageCode();
    QVariantList entries;
    for (const ReleaseNoteEntry& entry : m_viewModel->account()->releaseNotesState().entries) {
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
    if (!m_viewModel) return;
    const Kind kind = m_viewModel->account()->releaseNotesState().kind;
    if (kind == Kind::idle || kind == Kind::failed) m_viewModel->account()->reloadReleaseNotes();
}

void ReleaseNotesPageModel::reload() {
    if (m_viewModel) m_viewModel->account()->reloadReleaseNotes();
}

void ReleaseNotesPageModel::openWebPage() {
    if (m_viewModel) m_viewModel->account()->openReleaseNotesWebPage();
}

}  // namespace quorvelle
