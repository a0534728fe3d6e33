#include "Views/Dashboard/History/OverviewTiles.h"

#include "Views/Dashboard/ViewModelLink.h"

#include <QVariantMap>

namespace quorvelle {

namespace {

QVariantMap tile(const QString& title, const QString& value, const QString& subtitle, const char* symbolName) {
    return {{QStringLiteral("title"), title},
            {QStringLiteral("value"), value},
            {QStringLiteral("subtitle"), subtitle},
            {QStringLiteral("symbolName"), QString::fromLatin1(symbolName)}};
}

}  // namespace

OverviewTiles::OverviewTiles(QObject* parent) : QObject(parent) {}

QObject* OverviewTiles::viewModelObject() const {
    return m_viewModel;
}

void OverviewTiles::setViewModel(QObject* viewModel) {
    const bool changed = relinkViewModel(m_viewModel, viewModel, this, [this](AppViewModel& linked) {
        connect(&linked, &AppViewModel::stringsChanged, this, &OverviewTiles::tilesChanged);
        connect(linked.history(), &HistoryViewModel::overviewMetricsChanged, this, &OverviewTiles::tilesChanged);
    });
    if (!changed) return;
    Q_EMIT viewModelChanged();
    Q_EMIT tilesChanged();
}

QVariantList OverviewTiles::tiles() const {
    if (!m_viewModel) return {};
    return make(m_viewModel->history()->overviewMetrics(), m_viewModel->strings());
}

QVariantList OverviewTiles::make(const OverviewMetricsSnapshot& metrics, const AppStrings& strings) {
    const auto text = [&](QStringView english, QStringView turkish) { return strings.localized(english, turkish); };
    return {
        tile(text(u"TOTAL WORDS", u"TOPLAM KELİME"), QString::number(metrics.totalWords),
             text(u"Words transcribed", u"Transcribe edilen kelime"), "bolt"),
        tile(text(u"SPEAKING TIME", u"KONUŞMA SÜRESİ"), QString::number(metrics.totalDurationSeconds) + u's',
             text(u"Total duration", u"Toplam süre"), "timer"),
        tile(text(u"SESSIONS", u"OTURUMLAR"), QString::number(metrics.sessionCount),
             text(u"Total recordings", u"Toplam kayıt"), "mic"),
        tile(text(u"AVG PACE", u"ORT. HIZ"), QString::number(metrics.averageWordsPerMinute) + text(u" wpm", u" k/dk"),
             text(u"Words per minute", u"Dakikadaki kelime"), "waveform"),
    };
}

}  // namespace quorvelle
