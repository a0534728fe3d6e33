// The account page: one whole sign-in and back, and the disclosure buttons.
#include "../Dashboard/ViewModelScene.h"

namespace quorvelle::test {
namespace {

class SubscriptionPageViewTest : public ViewModelScene {
protected:
    // Lets the held account requests go on.
    void release() {
        fakes.account->held.setHolding(false);
        fakes.account->held.releaseAll();
        settle();
    }
    QStringList device() { return textsIn(item("account-device")); }
};

TEST_F(SubscriptionPageViewTest, OneSignInFromConnectThroughTheCodeToLinkedAndSignOut) {
    ASSERT_TRUE(open(QStringLiteral("subscription")));
    EXPECT_EQ(text("account-status"), QStringLiteral("Missing"));
    EXPECT_FALSE(shows("account-code") || shows("account-address"));

    // While the start request runs the button reads Connecting and ignores clicks.
    fakes.account->held.setHolding(true);
    harness.click(item("account-connect"));
    EXPECT_TRUE(textsIn(item("account-connect")).contains("Connecting"));
    harness.click(item("account-connect"));
    EXPECT_EQ(fakes.account->calls, QStringList{"startDeviceLogin"});
    release();

    const QUrl address = FakeBackendAuthSessionManager::sampleChallenge().verificationURL;
    EXPECT_EQ(text("account-code"), QStringLiteral("Code: ABCD-EFGH"));
    EXPECT_EQ(text("account-address"), address.toString());
    EXPECT_FALSE(shows("account-connect"));
    fakes.navigator->opened.clear();
    harness.click(item("account-open-browser"));
    EXPECT_EQ(fakes.navigator->opened, QList<SystemDestination>{SystemDestination::address(address)});
    harness.shoot("pages2-account-code-pending-en");

    // A running check disables Check, not Open in Browser; its approval links this computer.
    fakes.account->held.setHolding(true);
    harness.click(item("account-check"));
    EXPECT_TRUE(!item("account-check")->isEnabled() && item("account-open-browser")->isEnabled());
    fakes.account->pollAnswer.push({QStringLiteral("approved"), true, QStringLiteral("device-7")});
    release();
    EXPECT_EQ(text("account-status"), QStringLiteral("Connected"));
    EXPECT_EQ(device(), (QStringList{"Device", "device-7"}));
    EXPECT_FALSE(shows("account-code"));
    harness.shoot("pages2-account-linked-en");

    harness.click(item("account-sign-out"));
    settle();
    EXPECT_TRUE(fakes.account->calls.contains("signOut"));
    EXPECT_EQ(device(), (QStringList{"Device", "No registered device"}));
}

TEST_F(SubscriptionPageViewTest, InTurkishTheDisclosureButtonsRaiseTheirSheetFlags) {
    QQuickItem* page = open(QStringLiteral("subscription"), "turkish");
    ASSERT_TRUE(page);
    expectTexts(page, {"Bu Bilgisayar", "Eksik", "Kayıtlı cihaz yok", "Bu Bilgisayarı Bağla", "Gizlilik"});
    harness.shoot("pages2-account-not-linked-tr");
    // Each sheet is modal: it is closed before the other button is pressed.
    harness.click(item("account-cloud-disclosure"));
    EXPECT_TRUE(viewModel->permissions()->showingGroqDisclosureSheet());
    viewModel->permissions()->setShowingGroqDisclosureSheet(false);
    harness.click(item("account-privacy"));
    EXPECT_TRUE(viewModel->permissions()->showingPrivacyDisclosureSheet());
    viewModel->permissions()->setShowingPrivacyDisclosureSheet(false);
}

}  // namespace
}  // namespace quorvelle::test
