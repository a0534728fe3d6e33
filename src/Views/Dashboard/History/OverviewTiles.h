#pragma once

#include "Models/AppStrings.h"
#include "ViewModel/OverviewMetricsSnapshot.h"

#include <QObject>
#include <QPointer>
#include <QVariantList>
#include <QtQmlIntegration>

namespace quorvelle {

class AppViewModel;

// The overview's four usage tiles over the view model's history totals, in the interface
// language: each { title, value, subtitle, symbolName }, the value already written out.
class OverviewTiles : public QObject {
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(QObject* viewModel READ viewModelObject WRITE setViewModel NOTIFY viewModelChanged)
    Q_PROPERTY(QVariantList tiles READ tiles NOTIFY tilesChanged)

public:
    explicit OverviewTiles(QObject* parent = nullptr);

    QObject* viewModelObject() const;
    void setViewModel(QObject* viewModel);
    QVariantList tiles() const;

    // Plain decimal figures; the speaking time stays in whole seconds however long it is.
    static QVariantList make(const OverviewMetricsSnapshot& metrics, const AppStrings& strings);

Q_SIGNALS:
    void viewModelChanged();
    void tilesChanged();

private:
    QPointer<AppViewModel> m_viewModel;
};

}  // namespace quorvelle
