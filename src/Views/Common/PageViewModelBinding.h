#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QtQmlIntegration>

#include <optional>

namespace quorvelle {

class AppViewModel;

// What every model a view reads the view model through shares (the dashboard pages, the popover's
// status rows): the one view model, set once by its view, and one `changed` signal, sent on setting
// it and whenever one of the values the view shows changes.
class PageViewModelBinding : public QObject {
    Q_OBJECT
    QML_ANONYMOUS

    Q_PROPERTY(QObject* viewModel READ viewModelObject WRITE setViewModel NOTIFY changed)

public:
    using QObject::QObject;

    QObject* viewModelObject() const;
    void setViewModel(QObject* viewModel);

Q_SIGNALS:
    void changed();

protected:
    AppViewModel* viewModel() const;
    // Connects the view model's signals of the values the page shows to `changed`.
    virtual void observe(AppViewModel& viewModel) = 0;
    // An absent text as null for QML.
    static QVariant nullable(const std::optional<QString>& text);

private:
    QPointer<AppViewModel> m_viewModel;
};

}  // namespace quorvelle
