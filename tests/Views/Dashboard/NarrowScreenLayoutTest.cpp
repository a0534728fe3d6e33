// The dashboard in a window the size of a 1024 x 768 and a 1024 x 600 screen: on every page, in both
// languages, each text shows whole (neither elided nor running past its card or the column) and
// each control stays on its card.
#include "DrawnText.h"
#include "ViewModelScene.h"
#include "Views/Dashboard/Components/DashboardSections.h"

namespace quorvelle::test {
namespace {

bool isCard(const QQuickItem* item) {
    for (const QMetaObject* type = item->metaObject(); type; type = type->superClass())
        if (QByteArray(type->className()).startsWith("SurfaceCard")) return true;
    return false;
}

bool inside(const QRectF& box, const QRectF& bounds) {
    return box.left() >= bounds.left() - 0.5 && box.right() <= bounds.right() + 0.5 &&
           box.top() >= bounds.top() - 0.5 && box.bottom() <= bounds.bottom() + 0.5;
}

QString describe(const QQuickItem* item) {
    const QString text = item->property("text").toString();
    return (item->objectName().isEmpty() ? QString::fromLatin1(item->metaObject()->className()) : item->objectName()) +
           (text.isEmpty() ? QString() : " \"" + text.left(40) + '"');
}

// One line per text that is cut and per control off its card, below `item`; lists scrolling inside
// the page are left out, as they cut their rows by design.
void collectFaults(QQuickItem* item, QQuickItem* card, QQuickItem* column, QStringList& faults) {
    if (!item->isVisible() || item->opacity() == 0) return;
    if (isCard(item)) card = item;
    const QRectF own(0, 0, item->width(), item->height());
    const QRectF columnBox = column->mapRectToItem(item, QRectF(0, 0, column->width(), column->height()));
    if (item->inherits("QQuickText") && !item->property("text").toString().isEmpty()) {
        const QRectF box = paintedBox(item);
        if (item->property("truncated").toBool()) faults << "elided: " + describe(item);
        if (box.left() < columnBox.left() - 0.5 || box.right() > columnBox.right() + 0.5)
            faults << "past the column: " + describe(item);
        if (card && !inside(item->mapRectToItem(card, box), QRectF(0, 0, card->width(), card->height())))
            faults << "off its card: " + describe(item);
    }
    if (item->inherits("QQuickAbstractButton") && card &&
        !inside(item->mapRectToItem(card, own), QRectF(0, 0, card->width(), card->height())))
        faults << "control off its card: " + describe(item);
    if (item->inherits("QQuickFlickable") && item != column) return;
    for (QQuickItem* child : item->childItems())
        collectFaults(child, card, column, faults);
}

class NarrowScreenLayoutTest : public ViewModelScene {};

TEST_F(NarrowScreenLayoutTest, EveryPageKeepsItsTextsWholeAndItsControlsOnTheirCardsAt1024Wide) {
    for (int index = 1; index <= 3; ++index)
        fakes.history->entries.append({QUuid::createUuid(), fakes.clock.now().addSecs(-60 * index),
                                       QStringLiteral("A dictated sentence about the weekly planning meeting"), 2.5, 8,
                                       TranscriptHistoryCompletionKind::inserted});
    fakes.makeReadyForCloudDictation();
    ASSERT_TRUE(loadDashboard());
    QQuickItem* column = item("main-window-detail");
    for (const char* language : {"english", "turkish"}) {
        fakes.userDefaults->setString(QString::fromLatin1(SettingsKeys::selectedAppLanguage),
                                      QString::fromLatin1(language));
        viewModel->reloadSettings();
        for (const QSize size : {QSize(1024, 768), QSize(1024, 600)}) {
            harness.window().setMinimumSize(size);
            harness.window().resize(size);
            for (MainWindowSection section : allMainWindowSections()) {
                const QString raw = rawValue(section);
                raw == QStringLiteral("subscription") ? state()->showAccount() : state()->selectSection(raw);
                settle();
                harness.grab();
                QStringList faults;
                collectFaults(column, nullptr, column, faults);
                EXPECT_TRUE(faults.isEmpty()) << language << " " << size.height() << " " << raw.toStdString() << ":\n  "
                                              << faults.join("\n  ").toStdString();
                if (section == MainWindowSection::shortcuts || section == MainWindowSection::history)
                    harness.shoot(QStringLiteral("dashboard-%1-%2x%3-%4")
                                      .arg(raw)
                                      .arg(size.width())
                                      .arg(size.height())
                                      .arg(language == std::string("english") ? "en" : "tr")
                                      .toStdString());
            }
        }
    }
}

}  // namespace
}  // namespace quorvelle::test
