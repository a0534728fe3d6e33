// The account page in the dashboard over the view model built from fakes: one whole sign-in
// from not linked through the pending code to linked and back, the disclosure buttons, both
// languages and a build without account sign-in.
#include "PageScene.h"

namespace quorvelle::test {
namespace {

using SubscriptionPageViewTest = PageScene;

const QUrl kVerification = FakeBackendAuthSessionManager::sampleChallenge().verificationURL;

TEST_F(SubscriptionPageViewTest, OneSignInFromConnectThroughTheCodeToLinkedAndSignOut) {
    ASSERT_TRUE(open(QStringLiteral("subscription")));
    // Not linked: the connect button spans the card; no code, no address, no other actions.
    EXPECT_EQ(text("account-status"), QStringLiteral("Missing"));
    EXPECT_EQ(textsIn(item("account-device")), (QStringList{"Device", "No registered device"}));
    EXPECT_TRUE(shows("account-connect"));
    EXPECT_EQ(item("account-connect")->width(), item("account-device-box")->width());
    for (const char* absent : {"account-code", "account-address", "account-pending-actions", "account-linked-actions"})
        EXPECT_FALSE(shows(QString::fromLatin1(absent))) << absent;
    harness.shoot("pages2-account-not-linked-en");

    // While the start request runs the button reads Connecting and ignores clicks.
    fakes.account->held.setHolding(true);
    harness.click(item("account-connect"));
    EXPECT_TRUE(textsIn(item("account-connect")).contains("Connecting"));
    EXPECT_FALSE(item("account-connect")->isEnabled());
    harness.click(item("account-connect"));
    EXPECT_EQ(fakes.account->calls, QStringList{"startDeviceLogin"});
    fakes.account->held.setHolding(false);
    fakes.account->held.releaseAll();
    settle();

    // Code pending: the code and the address show; Open in Browser opens it again.
    EXPECT_EQ(text("account-code"), QStringLiteral("Code: ABCD-EFGH"));
    EXPECT_EQ(text("account-address"), kVerification.toString());
    EXPECT_TRUE(shows("account-pending-actions"));
    EXPECT_FALSE(shows("account-connect"));
    const qsizetype openedBefore = fakes.navigator->opened.size();
    harness.click(item("account-open-browser"));
    ASSERT_EQ(fakes.navigator->opened.size(), openedBefore + 1);
    EXPECT_EQ(fakes.navigator->opened.last().url, kVerification);
    harness.shoot("pages2-account-code-pending-en");

    // A running check disables Check, not Open in Browser.
    fakes.account->held.setHolding(true);
    harness.click(item("account-check"));
    EXPECT_TRUE(textsIn(item("account-check")).contains("Checking"));
    EXPECT_FALSE(item("account-check")->isEnabled());
    EXPECT_TRUE(item("account-open-browser")->isEnabled());
    fakes.account->pollAnswer.push({QStringLiteral("approved"), true, QStringLiteral("device-7")});
    fakes.account->held.setHolding(false);
    fakes.account->held.releaseAll();
    settle();

    // Linked: the device id, Sign Out at the trailing edge.
    EXPECT_EQ(text("account-status"), QStringLiteral("Connected"));
    EXPECT_EQ(textsIn(item("account-device")), (QStringList{"Device", "device-7"}));
    EXPECT_TRUE(shows("account-linked-actions"));
    EXPECT_FALSE(shows("account-code"));
    harness.shoot("pages2-account-linked-en");

    harness.click(item("account-sign-out"));
    settle();
    EXPECT_TRUE(fakes.account->calls.contains("signOut"));
    EXPECT_TRUE(shows("account-connect"));
    EXPECT_EQ(textsIn(item("account-device")), (QStringList{"Device", "No registered device"}));
}

TEST_F(SubscriptionPageViewTest, LinkedWhileAChallengeIsHeldKeepsTheCodeWithTheSignOutRow) {
    ASSERT_TRUE(open(QStringLiteral("subscription")));
    harness.click(item("account-connect"));
    settle();
    fakes.makeReadyForCloudDictation();
    viewModel->reloadSettings();
    settle();
    ASSERT_TRUE(viewModel->account()->backendAuthChallenge());
    EXPECT_TRUE(shows("account-code"));
    EXPECT_TRUE(shows("account-address"));
    EXPECT_TRUE(shows("account-linked-actions"));
    EXPECT_FALSE(shows("account-pending-actions"));
}

TEST_F(SubscriptionPageViewTest, TheDisclosureButtonsRaiseTheirSheetFlagsInTurkish) {
    QQuickItem* page = open(QStringLiteral("subscription"), "turkish");
    ASSERT_TRUE(page);
    const QStringList texts = textsIn(page);
    for (const char* expected : {"Bu Bilgisayar", "DURUM", "Eksik", "Cihaz", "Kayıtlı cihaz yok",
                                 "Bu Bilgisayarı Bağla", "Bulut Bilgilendirmesi", "Gizlilik"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(expected))) << expected;
    harness.shoot("pages2-account-not-linked-tr");

    // Each sheet is modal: it is closed before the other button is pressed.
    harness.click(item("account-cloud-disclosure"));
    EXPECT_TRUE(viewModel->permissions()->showingGroqDisclosureSheet());
    viewModel->permissions()->setShowingGroqDisclosureSheet(false);
    harness.click(item("account-privacy"));
    EXPECT_TRUE(viewModel->permissions()->showingPrivacyDisclosureSheet());
    viewModel->permissions()->setShowingPrivacyDisclosureSheet(false);
}

TEST_F(SubscriptionPageViewTest, WithoutSignInInTheBuildConnectOnlyShowsTheViewModelsMessage) {
    bootstrap.backendAuthSessionManager = nullptr;
    ASSERT_TRUE(open(QStringLiteral("subscription")));
    harness.click(item("account-connect"));
    EXPECT_EQ(message(), QStringLiteral("Backend account sign-in is not enabled in this build."));
    EXPECT_TRUE(shows("account-connect"));
    EXPECT_TRUE(item("account-connect")->isEnabled());
}

}  // namespace
}  // namespace quorvelle::test
