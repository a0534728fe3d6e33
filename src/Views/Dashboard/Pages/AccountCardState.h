#pragma once

#include "Views/Common/PageViewModelBinding.h"

#include <QString>
#include <QVariant>
#include <QtQmlIntegration>

namespace quorvelle {

// What the account page's card shows, read from the view model whenever one of its values
// changes: which of the three states the card is in, the status and device texts, and the
// pending sign-in's code and address. The page makes one and hands it the root's view model.
class AccountCardState : public PageViewModelBinding {
    Q_OBJECT
    QML_ELEMENT

    // "linked" (an account session is stored), else "codePending" (a sign-in waits for its
    // approval), else "notLinked".
    Q_PROPERTY(QString cardState READ cardState NOTIFY changed)
    Q_PROPERTY(QString statusLabel READ statusLabel NOTIFY changed)
    Q_PROPERTY(QString deviceLabel READ deviceLabel NOTIFY changed)
    // The pending sign-in's code and verification address; null without one.
    Q_PROPERTY(QVariant userCode READ userCode NOTIFY changed)
    Q_PROPERTY(QVariant verificationAddress READ verificationAddress NOTIFY changed)
    // A sign-in start, a check the user asked for or a sign-out is running (not the automatic
    // approval polls, which leave the card still).
    Q_PROPERTY(bool isPolling READ isPolling NOTIFY changed)

public:
    using PageViewModelBinding::PageViewModelBinding;

    QString cardState() const;
    QString statusLabel() const;
    QString deviceLabel() const;
    QVariant userCode() const;
    QVariant verificationAddress() const;
    bool isPolling() const;

protected:
    void observe(AppViewModel& viewModel) override;
};

}  // namespace quorvelle
