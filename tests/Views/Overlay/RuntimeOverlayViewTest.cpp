// The overlay pill in every session state and both appearances, driven by the view model on fakes.
#include "../Dashboard/ViewModelScene.h"

#include "Views/Overlay/RuntimeOverlayTheme.h"

#include <QAccessible>
#include <QFontMetricsF>
#include <QPointer>
#include <QQmlComponent>

#include <gtest/gtest.h>

#ifdef QUORVELLE_TEST_SCREEN_SCALE
#include "OffscreenScreen.h"
#endif

namespace quorvelle::test {
namespace {

#ifdef QUORVELLE_TEST_SCREEN_SCALE
// The same pill on a HiDPI screen, where text is laid out at twice the pixels.
const bool scaled = useOffscreenScreen(1280, 800, QUORVELLE_TEST_SCREEN_SCALE);
const std::string kShotSuffix = "-scale" + std::to_string(QUORVELLE_TEST_SCREEN_SCALE);
#else
const std::string kShotSuffix;
#endif

class RuntimeOverlayViewTest : public ViewModelScene {
protected:
    void SetUp() override {
        ASSERT_TRUE(load("RuntimeOverlayView { objectName: 'overlay'; viewModel: vm }", {416, 228}));
    }
    // The session's values arrive a turn of the event loop after the fakes send them.
    void show(const SessionState& state) {
        fakes.sessionCoordinator->statePublisher().send(state);
        settle();
    }
    void publishLevels(const AudioLevelSnapshot& snapshot) {
        fakes.audioCapture->levelPublisher().send(snapshot);
        settle();
    }

    // What a screen reader hears from the view's notification: each time it shows, "title: detail".
    static void hear(QQuickItem* announcement, QStringList& heard) {
        QObject::connect(announcement, &QQuickItem::visibleChanged, announcement, [announcement, &heard] {
            if (announcement->isVisible())
                heard << announcement->property("spokenTitle").toString() + ": " +
                             announcement->property("spokenDetail").toString();
        });
    }

    // The level bars under an item, left to right.
    QList<QQuickItem*> barsIn(QQuickItem* view) {
        QList<QQuickItem*> bars;
        for (QQuickItem* child : view->childItems().first()->childItems())
            if (child->property("level").isValid()) bars << child;
        return bars;
    }

    // Every visible item the form draws over its surface (soft shadows and halos aside, which are
    // meant to spill) lies inside the surface, texts by what they paint.
    void expectInside(QQuickItem* surface, QQuickItem* item, const std::string& where) {
        if (!item->isVisible() || item == surface || QString(item->metaObject()->className()).contains("SoftShape"))
            return;
        // A spacer or a repeater draws nothing itself; its children are walked all the same.
        const bool draws = item->width() > 0 && item->height() > 0;
        QSizeF size(item->width(), item->height());
        if (const QVariant painted = item->property("paintedHeight"); painted.isValid())
            size = size.expandedTo({item->property("paintedWidth").toReal(), painted.toReal()});
        const QRectF box = item->mapRectToItem(surface, QRectF(QPointF(), size));
        EXPECT_TRUE(!draws || QRectF(0, 0, surface->width(), surface->height()).contains(box))
            << where << ": " << item->metaObject()->className() << " " << item->objectName().toStdString() << " at "
            << box.x() << "," << box.y() << " " << box.width() << "x" << box.height();
        for (QQuickItem* child : item->childItems())
            expectInside(surface, child, where);
    }
};

TEST_F(RuntimeOverlayViewTest, EveryStateFitsItsFormInBothAppearancesEveryThemeAndBothLanguages) {
    using Style = RuntimeOverlayStatusStyle;
    const QuorvelleError noSpeech(QuorvelleErrorCase::noSpeechDetected);
    const std::tuple<const char*, SessionState, QString, QString, const char*, Style> cases[] = {
        {"idle", SessionState::idle(), "Quorvelle ready", "Hold-to-talk hotkey ready.", "mic", Style::idle},
        {"recording", SessionState::recording(), "Recording", "Release to stop capture and start transcription.",
         "waveform", Style::active},
        {"uploading", SessionState::uploading(), "", "", "arrow.up.circle", Style::active},
        {"injecting", SessionState::injecting(), "", "", "text.cursor", Style::active},
        {"copied", SessionState::fallbackCopied(), "", "", "doc.on.doc", Style::active},
        {"success", SessionState::success(), "", "", "checkmark.circle", Style::active},
        {"blocked", SessionState::blocked(SessionBlockReason::secureField), "Secure field blocked",
         "Secure field detected.", "exclamationmark.triangle", Style::problem},
        {"no-target", SessionState::blocked(SessionBlockReason::noWritableTarget), "", "", "exclamationmark.triangle",
         Style::problem},
        {"error", SessionState::error(noSpeech), "No speech detected", AppStrings().errorMessage(noSpeech),
         "exclamationmark.triangle", Style::problem},
    };
    const std::pair<DesktopThemeOption, const char*> themes[] = {{DesktopThemeOption::black, "black"},
                                                                 {DesktopThemeOption::quorvelle, "quorvelle"},
                                                                 {DesktopThemeOption::light, "light"}};
    QQuickItem* overlay = harness.item("overlay");
    for (const char* language : {"english", "turkish"}) {
        viewModel->preferences()->setAppLanguage(QString::fromLatin1(language));
        for (const auto& [theme, themeName] : themes) {
            viewModel->preferences()->setDesktopTheme(theme);
            for (const bool compact : {false, true}) {
                viewModel->preferences()->setWidgetAppearance(compact ? WidgetAppearance::logoOnly
                                                                      : WidgetAppearance::currentWidget);
                for (const auto& [name, state, title, detail, symbol, style] : cases) {
                    const std::string where =
                        std::string(language) + "-" + themeName + "-" + (compact ? "compact-" : "full-") + name;
                    SCOPED_TRACE(where);
                    // Choosing an appearance says so in the inline message, which the detail would show.
                    viewModel->context().setInlineMessage(std::nullopt);
                    show(state);
                    // Full level bars are the tallest the row draws.
                    publishLevels(AudioLevelSnapshot{0.5, 1.0, std::vector<double>(12, 1.0)});
                    harness.grab();
                    if (theme == DesktopThemeOption::black || (style == Style::problem && !compact))
                        harness.shoot("overlay-" + where + kShotSuffix);
                    // The full pill may grow taller for long texts, never narrower or shorter.
                    const QSizeF least = compact ? QSizeF(128, 144) : QSizeF(416, 228);
                    EXPECT_TRUE(overlay->width() == least.width() && overlay->height() >= least.height() &&
                                (!compact || overlay->height() == least.height()))
                        << overlay->width() << "x" << overlay->height();
                    QQuickItem* surface = harness.item(compact ? "overlay-compact" : "overlay-pill");
                    for (QQuickItem* item : surface->parentItem()->childItems())
                        expectInside(surface, item, where);
                    EXPECT_EQ(glyphsIn(overlay), compact && state.kind() == SessionState::Kind::recording
                                                     ? QStringList()
                                                     : QStringList{symbol});
                    if (compact) {
                        EXPECT_TRUE(textsIn(overlay).isEmpty());
                        continue;
                    }
                    if (std::string(language) == "english" && !title.isEmpty()) {
                        EXPECT_EQ(textsIn(overlay), (QStringList{title, "Control + Alt + Space", detail}));
                    }
                    // The detail takes the palette of the state's style in the chosen theme.
                    EXPECT_COLOR_NEAR(harness.item("overlay-detail")->property("color").value<QColor>(),
                                      RuntimeOverlayTheme::palette(style, theme).secondaryText);
                }
            }
        }
    }
}

// Every title and detail the pill can show, read whole: nothing elided, no line cut off and no word
// broken across lines, in both languages, with the pill still holding all of it.
TEST_F(RuntimeOverlayViewTest, EveryTitleAndDetailReadsWholeInBothLanguages) {
    std::vector<std::tuple<std::string, SessionState, std::optional<QString>>> cases{
        {"idle", SessionState::idle(), {}},
        {"recording", SessionState::recording(), {}},
        {"uploading", SessionState::uploading(), {}},
        {"injecting", SessionState::injecting(), {}},
        {"copied", SessionState::fallbackCopied(), {}},
        {"success", SessionState::success(), {}},
        {"paste-sent", SessionState::success(), QStringLiteral("Yapıştırma gönderildi. Metin panoda tutuldu.")},
        {"selection", SessionState::success(), QStringLiteral("Seçili metin değiştirildi.")},
    };
    for (const SessionBlockReason reason : allCases<SessionBlockReason>())
        cases.emplace_back("blocked-" + rawValue(reason).toStdString(), SessionState::blocked(reason), std::nullopt);
    for (const QuorvelleErrorCase errorCase : allQuorvelleErrorCases()) {
        const QuorvelleError error = errorCase == QuorvelleErrorCase::rateLimitedRetryAfter
                                         ? QuorvelleError::rateLimitedRetryAfter(120)
                                         : QuorvelleError(errorCase);
        cases.emplace_back(
            "error-" + std::to_string(cases.size()) + "-" + error.diagnosticsCode().split('.').last().toStdString(),
            SessionState::error(error), std::nullopt);
    }
    const std::pair<DesktopThemeOption, const char*> themes[] = {{DesktopThemeOption::black, "black"},
                                                                 {DesktopThemeOption::quorvelle, "quorvelle"},
                                                                 {DesktopThemeOption::light, "light"}};
    QQuickItem* overlay = harness.item("overlay");
    const auto expectWhole = [](QQuickItem* text, const std::string& where) {
        const QString words = text->property("text").toString();
        EXPECT_FALSE(text->property("truncated").toBool())
            << where << ": '" << words.toStdString() << "' is cut (" << text->property("lineCount").toInt()
            << " lines in " << text->width() << ", " << text->implicitWidth() << " wide)";
        EXPECT_LE(text->property("contentWidth").toReal(), text->width() + 0.5) << where;
        const QFontMetricsF metrics(text->property("font").value<QFont>());
        for (const QString& word : words.split(' ', Qt::SkipEmptyParts))
            EXPECT_LE(metrics.horizontalAdvance(word), text->width())
                << where << ": '" << word.toStdString() << "' breaks across lines";
    };
    for (const char* language : {"english", "turkish"}) {
        viewModel->preferences()->setAppLanguage(QString::fromLatin1(language));
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const auto& [name, state, message] = cases[i];
            const std::string where = std::string(language) + "-" + name;
            SCOPED_TRACE(where);
            viewModel->context().setInlineMessage(message);
            show(state);
            QQuickItem* title = harness.item("overlay-title");
            QQuickItem* detail = harness.item("overlay-detail");
            expectWhole(title, where + " title");
            expectWhole(detail, where + " detail");
            QQuickItem* hotkey = harness.item("overlay-hotkey");
            ASSERT_TRUE(hotkey);
            EXPECT_FALSE(hotkey->property("truncated").toBool()) << where;
            // A screen reader hears the same words the pill shows (the idle pill is hidden and silent).
            QQuickItem* announcement = harness.item("overlay-announcement");
            ASSERT_TRUE(announcement);
            if (state.kind() != SessionState::Kind::idle) {
                EXPECT_EQ(announcement->property("spokenTitle").toString(), title->property("text").toString());
                EXPECT_EQ(announcement->property("spokenDetail").toString(), detail->property("text").toString());
            }
            QQuickItem* surface = harness.item("overlay-pill");
            for (QQuickItem* item : surface->parentItem()->childItems())
                expectInside(surface, item, where);
            // The whole view holds the grown pill and its shadows.
            EXPECT_GE(overlay->height(), surface->y() + surface->height() + 44) << where;
            harness.window().resize(overlay->size().toSize());
            // Every state in every theme on the HiDPI screen; one theme a state otherwise.
            for (const auto& [theme, themeName] : themes) {
                if (kShotSuffix.empty() && theme != themes[i % 3].first) continue;
                viewModel->preferences()->setDesktopTheme(theme);
                viewModel->context().setInlineMessage(message);
                show(state);
                harness.shoot("overlay-whole-" + where + "-" + themeName + kShotSuffix);
            }
        }
    }
}

// Every session starts on "Recording", whose title leaves the badge beside it; a later title may push
// the badge under it, and the detail must then move down too. No two of title, badge and detail
// share a pixel, in any state that follows, in both languages.
TEST_F(RuntimeOverlayViewTest, NoTextOverlapsAnotherAfterTheBadgeMovesFromRecording) {
    std::vector<std::tuple<std::string, SessionState, std::optional<QString>>> cases{
        {"uploading", SessionState::uploading(), {}},
        {"no-writable-field", SessionState::blocked(SessionBlockReason::noWritableTarget), {}},
        {"password-field", SessionState::blocked(SessionBlockReason::secureField), {}},
        {"text-inserted", SessionState::success(), QStringLiteral("Metin eklendi.")},
        {"paste-sent", SessionState::success(), QStringLiteral("Yapıştırma gönderildi. Metin panoda tutuldu.")},
    };
    for (const QuorvelleErrorCase errorCase : allQuorvelleErrorCases()) {
        const QuorvelleError error = errorCase == QuorvelleErrorCase::rateLimitedRetryAfter
                                         ? QuorvelleError::rateLimitedRetryAfter(120)
                                         : QuorvelleError(errorCase);
        cases.emplace_back("error-" + error.diagnosticsCode().toStdString(), SessionState::error(error), std::nullopt);
    }
    // The box a text paints, or the badge's capsule, on the pill.
    const auto boxOf = [](QQuickItem* item, QQuickItem* pill) {
        QSizeF size(item->width(), item->height());
        if (const QVariant painted = item->property("paintedHeight"); painted.isValid())
            size = QSizeF(item->property("paintedWidth").toReal(), painted.toReal());
        return item->mapRectToItem(pill, QRectF(QPointF(), size));
    };
    int badgeMoves = 0;
    for (const char* language : {"english", "turkish"}) {
        viewModel->preferences()->setAppLanguage(QString::fromLatin1(language));
        for (const auto& [name, state, message] : cases) {
            const std::string where = std::string(language) + "-" + name;
            SCOPED_TRACE(where);
            viewModel->context().setInlineMessage(std::nullopt);
            show(SessionState::recording());
            harness.grab();
            QQuickItem* pill = harness.item("overlay-pill");
            QQuickItem* badge = harness.item("overlay-hotkey-badge");
            const qreal besideAt = badge->y();
            // The view model sets a state's message a turn before the state arrives, and the pill may
            // be drawn in between.
            viewModel->context().setInlineMessage(
                message.value_or(QStringLiteral("Son capture: 1.20 sn, 16000 Hz, WAV")));
            settle();
            harness.grab();
            show(state);
            harness.grab();
            if (badge->y() != besideAt) ++badgeMoves;
            const std::pair<const char*, QRectF> boxes[] = {
                {"title", boxOf(harness.item("overlay-title"), pill)},
                {"badge", boxOf(badge, pill)},
                {"detail", boxOf(harness.item("overlay-detail"), pill)},
            };
            for (std::size_t i = 0; i < std::size(boxes); ++i)
                for (std::size_t j = i + 1; j < std::size(boxes); ++j)
                    EXPECT_FALSE(boxes[i].second.intersects(boxes[j].second))
                        << boxes[i].first << " " << boxes[i].second.y() << "+" << boxes[i].second.height()
                        << " overlaps " << boxes[j].first << " " << boxes[j].second.y() << "+"
                        << boxes[j].second.height();
        }
    }
    // The case that matters happened: the badge left the title's side.
    EXPECT_GT(badgeMoves, 0);
}

// What a screen reader hears: each time the notification shows, its name and description. The
// states reach the view as the view model sends them: a state's message is set in the same turn as
// the state is published, before it arrives; inserting and success are published together.
TEST_F(RuntimeOverlayViewTest, EachPublishedStateIsAnnouncedOnceWithItsOwnTitleAndDetail) {
    QQuickItem* announcement = harness.item("overlay-announcement");
    ASSERT_TRUE(announcement);
    QStringList heard;
    hear(announcement, heard);
    const auto publish = [&](std::initializer_list<SessionState> states, const std::optional<QString>& message) {
        for (const SessionState& state : states)
            fakes.sessionCoordinator->statePublisher().send(state);
        viewModel->context().setInlineMessage(message);
        settle();
    };
    const AppStrings strings;
    const QuorvelleError unavailable(QuorvelleErrorCase::providerUnavailable);
    const QString noField = QStringLiteral("Yazılabilir bir alan seçin.");
    // A dictation, back to idle with its message still set.
    publish({SessionState::recording()}, std::nullopt);
    publish({SessionState::uploading()}, std::nullopt);
    publish({SessionState::injecting(), SessionState::success()}, QStringLiteral("Metin eklendi."));
    publish({SessionState::idle()}, QStringLiteral("Metin eklendi."));
    // A failed upload.
    publish({SessionState::recording()}, std::nullopt);
    publish({SessionState::uploading()}, std::nullopt);
    publish({SessionState::error(unavailable)}, strings.errorMessage(unavailable));
    publish({SessionState::idle()}, strings.errorMessage(unavailable));
    // A press with no field to write into, twice: each press is answered.
    for (int press = 0; press < 2; ++press)
        publish({SessionState::blocked(SessionBlockReason::noWritableTarget)}, noField);
    publish({SessionState::idle()}, noField);
    const QString uploading =
        strings.sessionStateTitle(SessionState::uploading(), std::nullopt) + ": " +
        strings.sessionDetail(SessionState::uploading(), std::nullopt, std::nullopt, RecordingTriggerMode::pushToTalk);
    const QString recording = "Recording: Release to stop capture and start transcription.";
    const QString blocked = strings.blockedTitle(SessionBlockReason::noWritableTarget) + QStringLiteral(": ") + noField;
    EXPECT_EQ(heard, (QStringList{recording, uploading, "Text inserted: Metin eklendi.", recording, uploading,
                                  strings.sessionStateTitle(SessionState::error(unavailable), std::nullopt) + ": " +
                                      strings.errorMessage(unavailable),
                                  blocked, blocked}))
        << heard.join(" | ").toStdString();
}

// A reader takes a showing's words when it comes to handle it, which may be after the session moved on
// (the upload to a backend that answers at once, a paste, the upload a 429 ends are over in a moment):
// every showing, read only once the dictation is over, still says its own state's words.
TEST_F(RuntimeOverlayViewTest, EachShowingKeepsItsOwnWordsForAReaderThatReadsItLate) {
    // Every notification of the view, and each time one of them shows.
    QList<QPointer<QQuickItem>> shown;
    std::function<void(QQuickItem*)> listen = [&](QQuickItem* item) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(item);
        if (accessible && accessible->role() == QAccessible::Notification)
            QObject::connect(item, &QQuickItem::visibleChanged, item, [item, &shown] {
                if (item->isVisible()) shown << item;
            });
        for (QQuickItem* child : item->childItems())
            listen(child);
    };
    listen(harness.root());
    const auto readNow = [&] {
        QStringList heard;
        for (const QPointer<QQuickItem>& item : std::as_const(shown)) {
            QAccessibleInterface* notification = item ? QAccessible::queryAccessibleInterface(item) : nullptr;
            heard << (notification
                          ? notification->text(QAccessible::Name) + ": " + notification->text(QAccessible::Description)
                          : QStringLiteral("(gone)"));
        }
        return heard.join(" | ").toStdString();
    };
    const auto publish = [&](const SessionState& state, const std::optional<QString>& message) {
        fakes.sessionCoordinator->statePublisher().send(state);
        viewModel->context().setInlineMessage(message);
        settle();
    };
    const AppStrings strings;
    const QString recording = "Recording: Release to stop capture and start transcription.";
    const QString uploading = "Uploading transcription: Audio is being sent to the cloud transcription service.";
    const QString inserting =
        strings.sessionStateTitle(SessionState::injecting(), std::nullopt) + ": " +
        strings.sessionDetail(SessionState::injecting(), std::nullopt, std::nullopt, RecordingTriggerMode::pushToTalk);
    const QString pasted = QStringLiteral("Yapıştırma gönderildi. Metin panoda tutuldu.");
    const QuorvelleError limited(QuorvelleErrorCase::rateLimited);
    // A paste, then a failed upload, each read only after its outcome came.
    publish(SessionState::recording(), std::nullopt);
    publish(SessionState::uploading(), std::nullopt);
    publish(SessionState::injecting(), std::nullopt);
    publish(SessionState::success(), pasted);
    EXPECT_EQ(readNow(),
              QStringList({recording, uploading, inserting, "Paste sent: " + pasted}).join(" | ").toStdString());
    publish(SessionState::idle(), pasted);
    shown.clear();
    publish(SessionState::recording(), std::nullopt);
    publish(SessionState::uploading(), std::nullopt);
    publish(SessionState::error(limited), strings.errorMessage(limited));
    EXPECT_EQ(readNow(), QStringList({recording, uploading,
                                      strings.sessionStateTitle(SessionState::error(limited), std::nullopt) + ": " +
                                          strings.errorMessage(limited)})
                             .join(" | ")
                             .toStdString());
}

// The app makes the panel's view when the session first leaves idle, after that state was published,
// then puts it in the panel and shows it: the state it was made for is announced once (the panel
// taking the view in is no showing of its own), and each later state once more.
TEST_F(RuntimeOverlayViewTest, AFreshOverlayAnnouncesTheStateItWasMadeForOnce) {
    const QString recording = "Recording: Release to stop capture and start transcription.";
    const QString noField = QStringLiteral("Yazılabilir bir alan seçin.");
    const QString blocked = "Writable target required: " + noField;
    for (const auto& [first, heardFirst] :
         {std::pair(SessionState::recording(), recording),
          std::pair(SessionState::blocked(SessionBlockReason::noWritableTarget), blocked)}) {
        SCOPED_TRACE(heardFirst.toStdString());
        viewModel->context().setInlineMessage(first.kind() == SessionState::Kind::blocked ? std::optional(noField)
                                                                                          : std::nullopt);
        show(first);
        QQmlComponent component(&harness.engine());
        component.setData("import Quorvelle\nRuntimeOverlayView { viewModel: vm }", QUrl());
        std::unique_ptr<QQuickItem> view(qobject_cast<QQuickItem*>(component.create()));
        ASSERT_TRUE(view) << component.errorString().toStdString();
        // Heard from the start: the view is made before the panel takes it in.
        QQuickItem* announcement = findIn(view.get(), "overlay-announcement");
        ASSERT_TRUE(announcement);
        QStringList heard;
        hear(announcement, heard);
        QQuickWindow panel;
        view->setParentItem(panel.contentItem());
        panel.resize(416, 228);
        panel.show();
        // Nothing shows before the words do: a screen reader would take that for an announcement.
        EXPECT_FALSE(announcement->isVisible()) << announcement->property("spokenTitle").toString().toStdString();
        settle();
        viewModel->context().setInlineMessage(std::nullopt);
        show(SessionState::uploading());
        settle();
        const QString uploading = "Uploading transcription: Audio is being sent to the cloud transcription service.";
        EXPECT_EQ(heard, (QStringList{heardFirst, uploading})) << heard.join(" | ").toStdString();
        show(SessionState::idle());
    }
}

// On this computer nothing is uploaded: in on-device mode the transcription step says where the words
// are made, on the pill and in what a screen reader hears, whole in both languages; the cloud mode
// keeps its own words.
TEST_F(RuntimeOverlayViewTest, OnDeviceTranscriptionIsNotToldAsAnUpload) {
    struct Case {
        const char* language;
        const char* backend;
        QString title, detail;
        const char* symbol;
    };
    const Case cases[] = {
        {"english", "local", "Transcribing on this computer",
         "Your words are being transcribed on this computer; the audio stays here.", "cpu"},
        {"turkish", "local", "Bu bilgisayarda yazıya dökülüyor",
         "Sözleriniz bu bilgisayarda yazıya dökülüyor; ses bilgisayardan çıkmıyor.", "cpu"},
        {"english", "cloud", "Uploading transcription", "Audio is being sent to the cloud transcription service.",
         "arrow.up.circle"},
        {"turkish", "cloud", "Transcription yükleniyor", "Ses bulut transcription servisine gönderiliyor.",
         "arrow.up.circle"},
    };
    QQuickItem* overlay = harness.item("overlay");
    for (const Case& c : cases) {
        const std::string where = std::string(c.language) + "-" + c.backend;
        SCOPED_TRACE(where);
        viewModel->preferences()->setAppLanguage(QString::fromLatin1(c.language));
        fakes.userDefaults->setString(QString::fromLatin1(SettingsKeys::selectedTranscriptionBackend),
                                      QString::fromLatin1(c.backend));
        viewModel->reloadSettings();
        ASSERT_EQ(rawValue(viewModel->localModels()->selectedTranscriptionBackend()), c.backend);
        viewModel->context().setInlineMessage(std::nullopt);
        show(SessionState::recording());
        show(SessionState::uploading());
        QQuickItem* title = harness.item("overlay-title");
        QQuickItem* detail = harness.item("overlay-detail");
        EXPECT_EQ(title->property("text").toString(), c.title);
        EXPECT_EQ(detail->property("text").toString(), c.detail);
        EXPECT_FALSE(title->property("truncated").toBool() || detail->property("truncated").toBool());
        EXPECT_EQ(glyphsIn(overlay), QStringList{c.symbol});
        QQuickItem* announcement = harness.item("overlay-announcement");
        EXPECT_EQ(announcement->property("spokenTitle").toString(), c.title);
        EXPECT_EQ(announcement->property("spokenDetail").toString(), c.detail);
        harness.window().resize(overlay->size().toSize());
        harness.shoot("overlay-transcribing-" + where + kShotSuffix);
        show(SessionState::idle());
    }
}

TEST_F(RuntimeOverlayViewTest, MessagesAndLevelsReachThePillInBothForms) {
    // A runaway message stops at four lines; the pill grows to hold them and the panel follows.
    viewModel->context().setInlineMessage(QStringLiteral("word ").repeated(80));
    show(SessionState::blocked(SessionBlockReason::noWritableTarget));
    QQuickItem* detail = harness.item("overlay-detail");
    EXPECT_EQ(detail->property("lineCount").toInt(), 4);
    EXPECT_TRUE(detail->property("truncated").toBool());
    QQuickItem* pill = harness.item("overlay-pill");
    const qreal resting = harness.root()->property("minimumPillHeight").toReal();
    EXPECT_GT(pill->height(), resting);
    EXPECT_EQ(harness.root()->implicitHeight(), pill->height() + 72);
    for (QQuickItem* item : pill->parentItem()->childItems())
        expectInside(pill, item, "long message");
    harness.window().resize(harness.root()->size().toSize());
    harness.shoot("overlay-full-long-message" + kShotSuffix);
    // A short one gives the pill its resting height back, the same with the badge beside the title
    // or under it.
    viewModel->context().setInlineMessage(std::nullopt);
    show(SessionState::recording());
    EXPECT_EQ(pill->height(), resting);
    show(SessionState::idle());
    EXPECT_EQ(pill->height(), resting);
    viewModel->context().setInlineMessage("Metin eklendi.");
    show(SessionState::success());
    EXPECT_EQ(textsIn(harness.root()).first(), "Text inserted");
    EXPECT_EQ(textsIn(harness.root()).last(), "Metin eklendi.");
    viewModel->preferences()->setAppLanguage(AppLanguageOption::turkish);
    viewModel->context().setInlineMessage(std::nullopt);
    show(SessionState::recording());
    EXPECT_EQ(textsIn(harness.root()).first(), "Kayıt alınıyor");
    EXPECT_EQ(textsIn(harness.root()).last(), "Bırakınca capture kapanır ve transcription akışı başlar.");

    // Levels drive the bars without rebuilding them, in both forms.
    QQuickItem* waveform = harness.item("overlay-waveform");
    const QList<QQuickItem*> bars = barsIn(waveform);
    ASSERT_EQ(bars.size(), 12);
    const std::vector<double> raw{0, 0.003, 0.01, 0.1, 0.5, 1, 2, -1, 0.5, 0.1, 0.01, 0};
    publishLevels(AudioLevelSnapshot{0.3, 1, raw});
    harness.shoot("overlay-full-levels" + kShotSuffix);
    EXPECT_EQ(barsIn(waveform), bars);
    const double expected[] = {8, 8, 8 + 40 * 0.18, 8 + 40 * 0.44, 8 + 40 * 0.78, 48, 48, 8};
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(bars[i]->height(), expected[i], 0.4) << "bar " << i;

    // No levels at all still draws the twelve resting bars.
    publishLevels(AudioLevelSnapshot{});
    EXPECT_EQ(barsIn(waveform), bars);
    EXPECT_EQ(bars.last()->height(), 8);

    // The compact form shows five level bars, and only while recording.
    viewModel->preferences()->setWidgetAppearance(WidgetAppearance::logoOnly);
    publishLevels(AudioLevelSnapshot{0.5, 1.0, std::vector<double>(12, 1.0)});
    QQuickItem* levels = harness.item("status-glyph-levels");
    ASSERT_EQ(barsIn(levels).size(), 5);
    EXPECT_EQ(barsIn(levels)[2]->height(), 20);
    EXPECT_DOUBLE_EQ(harness.item("overlay-compact-halo")->scale(), 1.1);
    show(SessionState::blocked(SessionBlockReason::noWritableTarget));
    EXPECT_FALSE(levels->isVisible());
    EXPECT_DOUBLE_EQ(harness.item("overlay-compact-halo")->scale(), 1.0);
}

}  // namespace
}  // namespace quorvelle::test
