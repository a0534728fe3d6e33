// A Qt Widgets window with fields single, password and multi, driven over stdin: focus <field>, set <field>
// <text> (\n a line feed), select <field> <start> <length> (UTF-16), text (prints the texts as JSON), quit.
// Prints "ready" once shown and "ok" after each command. Control+Shift+V pastes, as in a terminal.
#include <QApplication>
#include <QFormLayout>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <iostream>
#include <string>

static void reply(const QByteArray& line) {
    std::printf("%s\n", line.constData());
    std::fflush(stdout);
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("Qt text fields"));
    auto* layout = new QFormLayout(&window);
    auto* single = new QLineEdit;
    auto* password = new QLineEdit;
    auto* multi = new QPlainTextEdit;
    password->setEchoMode(QLineEdit::Password);
    QHash<QString, QWidget*> fields;
    for (const auto& [label, field] :
         {std::pair<QString, QWidget*>{"Single", single}, {"Password", password}, {"Multi", multi}}) {
        field->setAccessibleName(label == "Password" ? label : label + " line");
        layout->addRow(label, field);
        fields.insert(label.toLower(), field);
    }
    window.resize(420, 260);
    window.show();
    single->setFocus();
    QShortcut terminalPaste(QKeySequence(QStringLiteral("Ctrl+Shift+V")), &window);
    QObject::connect(&terminalPaste, &QShortcut::activated, &window, [&] {
        if (single->hasFocus()) single->paste();
        if (multi->hasFocus()) multi->paste();
    });

    const auto handle = [&](const QString& line) {
        const QString command = line.section(' ', 0, 0);
        QWidget* target = fields.value(line.section(' ', 1, 1));
        auto* edit = qobject_cast<QLineEdit*>(target);
        const int start = line.section(' ', 2, 2).toInt(), end = start + line.section(' ', 3, 3).toInt();
        if (command == "quit") return QCoreApplication::quit();
        if (command == "text") {
            const QJsonObject texts{
                {"single", single->text()}, {"password", password->text()}, {"multi", multi->toPlainText()}};
            return reply(QJsonDocument(texts).toJson(QJsonDocument::Compact));
        }
        if (!target || (command != "focus" && command != "set" && command != "select")) return reply("error");
        if (command == "focus") {
            window.activateWindow();
            target->setFocus(Qt::OtherFocusReason);
        } else if (command == "set") {
            const QString text = line.section(' ', 2).replace("\\n", "\n");
            edit ? edit->setText(text) : multi->setPlainText(text);
        } else if (edit) {
            edit->setSelection(start, end - start);
        } else {
            QTextCursor cursor = multi->textCursor();
            cursor.setPosition(start);
            cursor.setPosition(end, QTextCursor::KeepAnchor);
            multi->setTextCursor(cursor);
        }
        reply("ok");
    };
    // Commands arrive on stdin; the notifier keeps the event loop (and the accessibility bridge) running.
    QSocketNotifier notifier(fileno(stdin), QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        std::string line;
        if (!std::getline(std::cin, line)) return QCoreApplication::quit();
        handle(QString::fromStdString(line).trimmed());
    });
    QTimer::singleShot(0, &app, [] { reply("ready"); });
    return QApplication::exec();
}
