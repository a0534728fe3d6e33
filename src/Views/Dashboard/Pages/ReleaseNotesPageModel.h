#pragma once

#include "Views/Common/PageViewModelBinding.h"

#include <QString>
#include <QVariantList>
#include <QtQmlIntegration>

namespace quorvelle {

// The release-notes page's view of the view model's load: its state by name and the entries as
// the timeline shows them, with the page's three actions.
class ReleaseNotesPageModel : public PageViewModelBinding {
    Q_OBJECT
    QML_ELEMENT

    // "idle", "loading", "loaded" or "failed".
    Q_PROPERTY(QString state READ state NOTIFY changed)
    // Entries { id, version, channel, date, summary ("" when none), categories: [{ heading, items }] }.
    Q_PROPERTY(QVariantList entries READ entries NOTIFY changed)

public:
    using PageViewModelBinding::PageViewModelBinding;

    QString state() const;
    QVariantList entries() const;

    // The page came on screen: loads unless a load runs or its result is there, so a failed load
    // is tried again on every visit.
    Q_INVOKABLE void loadIfNeeded();
    Q_INVOKABLE void reload();
    Q_INVOKABLE void openWebPage();

protected:
    void observe(AppViewModel& viewModel) override;
};

}  // namespace quorvelle
