#include "Views/Common/PageViewModelBinding.h"

#include "ViewModel/AppViewModel.h"

namespace quorvelle {

QObject* PageViewModelBinding::viewModelObject() const {
    return m_viewModel;
}

AppViewModel* PageViewModelBinding::viewModel() const {
    return m_viewModel;
}

void PageViewModelBinding::setViewModel(QObject* viewModel) {
    auto* model = qobject_cast<AppViewModel*>(viewModel);
    if (model == m_viewModel) return;
    if (m_viewModel) {
        // The parts the page observes are the view model's children.
        m_viewModel->disconnect(this);
        for (QObject* part : m_viewModel->children())
            part->disconnect(this);
    }
    m_viewModel = model;
    if (model) observe(*model);
    Q_EMIT changed();
}

QVariant PageViewModelBinding::nullable(const std::optional<QString>& text) {
    return text ? QVariant(*text) : QVariant();
}

}  // namespace quorvelle
