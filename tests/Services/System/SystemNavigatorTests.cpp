// Opening an address: the desktop's handler takes it, or the user is told why nothing opened.
#include "Platform/Linux/SystemNavigator.h"

#include <QDesktopServices>
#include <QObject>
#include <QUrl>

#include <gtest/gtest.h>

namespace quorvelle {

// Takes the addresses of one scheme in place of a browser.
class AddressCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl& address) { opened << address; }
};

namespace {

TEST(SystemNavigator, AnAddressNothingOpensIsReportedWithItsReason) {
    AddressCatcher browser;
    QDesktopServices::setUrlHandler(QStringLiteral("quorvelle-test"), &browser, "open");
    QStringList reports;
    SystemNavigator navigator([&](const QString& reason) { reports << reason; });
    const QUrl handled(QStringLiteral("quorvelle-test://release-notes"));
    navigator.open(SystemDestination::address(handled));
    EXPECT_EQ(browser.opened, QList{handled});
    EXPECT_TRUE(reports.isEmpty());
    // Without a graphical session no program takes any other scheme.
    navigator.open(SystemDestination::address(QUrl(QStringLiteral("unheard-of://x"))));
    navigator.open(SystemDestination::address(QUrl()));
    EXPECT_EQ(reports, (QStringList{QStringLiteral("No program on this desktop opens unheard-of://x."),
                                    QStringLiteral("The address \"\" cannot be opened.")}));
    QDesktopServices::unsetUrlHandler(QStringLiteral("quorvelle-test"));
}

}  // namespace
}  // namespace quorvelle

#include "SystemNavigatorTests.moc"
