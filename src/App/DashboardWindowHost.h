#pragma once

#include <QObject>

#include <memory>

class QQmlEngine;
class QQuickWindow;

namespace quorvelle {

class AppViewModel;

// The dashboard window: made on the first request, then only brought forward again; closing it
// hides it, so its place, size and state survive until the next opening.
class DashboardWindowHost : public QObject {
    Q_OBJECT

public:
    static constexpr int kWidth = 1270;
    static constexpr int kHeight = 835;

    DashboardWindowHost(AppViewModel& viewModel, QQmlEngine& engine, QObject* parent = nullptr);
    ~DashboardWindowHost() override;

    void open();
    // None before the first opening.
    QQuickWindow* window() const { return m_window.get(); }

private:
    void makeWindow();
    void applyTheme();

    AppViewModel& m_viewModel;
    QQmlEngine& m_engine;
    std::unique_ptr<QQuickWindow> m_window;
};

}  // namespace quorvelle
