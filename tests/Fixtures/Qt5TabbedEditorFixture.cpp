// A Qt 5 window of documents in tabs, as KDE's editors have: a tab bar above a text area per
// document, a side panel's list and status-bar buttons, the focus passed through all of them before it
// rests at the end of the second document. A document takes the focus without a word on the
// accessibility bus, so that only a look through the window finds it. The window is titled "Tabbed
// notes", then "Tabbed notes ready" once the focus rests, then "Tabbed notes: " followed by the shown
// document's text after each change.
#include <QAccessible>
#include <QApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

// Passes every accessibility event on but a document's focus.
void passOnAllButADocumentsFocus(QAccessibleEvent* event) {
    if (event->type() == QAccessible::Focus &&
        (qobject_cast<QPlainTextEdit*>(event->object()) ||
         (event->object() && qobject_cast<QPlainTextEdit*>(event->object()->parent())))) {
        return;
    }
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(&passOnAllButADocumentsFocus);
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QAccessible::installUpdateHandler(&passOnAllButADocumentsFocus);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tabbed notes"));
    // The tabs come first in the window's tree, the current one claiming the focus.
    auto* central = new QWidget;
    auto* tabs = new QTabBar(central);
    auto* pages = new QStackedWidget(central);
    auto* panel = new QListWidget(central);
    QList<QPlainTextEdit*> documents;
    for (const QString& name : {QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("third")}) {
        auto* document = new QPlainTextEdit(name == QLatin1String("second") ? QStringLiteral("Draft:") : QString());
        document->setAccessibleName(name + QStringLiteral(".txt"));
        tabs->addTab(name + QStringLiteral(".txt"));
        pages->addWidget(document);
        panel->addItem(name + QStringLiteral(".txt"));
        documents.append(document);
    }
    QObject::connect(tabs, &QTabBar::currentChanged, pages, &QStackedWidget::setCurrentIndex);
    auto* column = new QVBoxLayout;
    column->addWidget(tabs);
    column->addWidget(pages, 1);
    auto* row = new QHBoxLayout(central);
    row->addLayout(column, 1);
    row->addWidget(panel);
    window.setCentralWidget(central);
    auto* lineButton = new QPushButton(QStringLiteral("Line 1, Column 1"));
    auto* modeButton = new QPushButton(QStringLiteral("INSERT"));
    window.statusBar()->addPermanentWidget(lineButton);
    window.statusBar()->addPermanentWidget(modeButton);
    window.resize(640, 420);
    window.show();

    // The way a user comes to the second document: the side panel, the status-bar buttons, the first
    // document and the tabs, then the second document.
    const QList<QWidget*> path{panel, lineButton, modeButton, documents.at(0), tabs};
    QTimer::singleShot(300, &window, [&] {
        window.activateWindow();
        for (QWidget* widget : path) {
            widget->setFocus(Qt::TabFocusReason);
            QApplication::processEvents();
        }
        tabs->setCurrentIndex(1);
        documents.at(1)->setFocus(Qt::MouseFocusReason);
        documents.at(1)->moveCursor(QTextCursor::End);
        for (QPlainTextEdit* document : std::as_const(documents)) {
            QObject::connect(document, &QPlainTextEdit::textChanged, &window, [&window, document] {
                window.setWindowTitle(QStringLiteral("Tabbed notes: ") + document->toPlainText());
            });
        }
        window.setWindowTitle(QStringLiteral("Tabbed notes ready"));
    });
    return QApplication::exec();
}
