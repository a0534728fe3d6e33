// A Qt Widgets window with a single-line, a password and a multi-line field, driven over stdin:
//   focus single|password|multi    give that field the keyboard focus
//   set <field> <text>             replace a field's text (\n in <text> is a line feed)
//   select <field> <start> <len>   select a range (UTF-16 units)
//   text                           print {"single":..,"password":..,"multi":..} on one line
//   quit
// It prints "ready" once its window is shown, and "ok" after each command. Control+Shift+V pastes as
// Control+V does, as in a terminal, so the window can stand in for one.
#include <QApplication>
#include <QFormLayout>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QSocketNotifier>
#include <QTextCursor>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

struct Fields {
    QLineEdit* single = nullptr;
    QLineEdit* password = nullptr;
    QPlainTextEdit* multi = nullptr;
};

void reply(const QByteArray& line) {
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

QWidget* field(const Fields& f, const QString& name) {
    if (name == QLatin1String("single")) return f.single;
    if (name == QLatin1String("password")) return f.password;
    if (name == QLatin1String("multi")) return f.multi;
    return nullptr;
}

void handle(const Fields& f, const QString& line) {
    const QString command = line.section(QLatin1Char(' '), 0, 0);
    const QString name = line.section(QLatin1Char(' '), 1, 1);
    if (command == QLatin1String("quit")) {
        QCoreApplication::quit();
        return;
    }
    if (command == QLatin1String("text")) {
        QJsonObject texts{{QStringLiteral("single"), f.single->text()},
                          {QStringLiteral("password"), f.password->text()},
                          {QStringLiteral("multi"), f.multi->toPlainText()}};
        reply(QJsonDocument(texts).toJson(QJsonDocument::Compact));
        return;
    }
    QWidget* target = field(f, name);
    if (!target) {
        reply("error");
        return;
    }
    if (command == QLatin1String("focus")) {
        target->window()->activateWindow();
        target->setFocus(Qt::OtherFocusReason);
    } else if (command == QLatin1String("set")) {
        QString text = line.section(QLatin1Char(' '), 2);
        text.replace(QLatin1String("\\n"), QLatin1String("\n"));
        if (auto* edit = qobject_cast<QLineEdit*>(target))
            edit->setText(text);
        else
            f.multi->setPlainText(text);
    } else if (command == QLatin1String("select")) {
        const int start = line.section(QLatin1Char(' '), 2, 2).toInt();
        const int length = line.section(QLatin1Char(' '), 3, 3).toInt();
        if (auto* edit = qobject_cast<QLineEdit*>(target)) {
            edit->setSelection(start, length);
        } else {
            QTextCursor cursor = f.multi->textCursor();
            cursor.setPosition(start);
            cursor.setPosition(start + length, QTextCursor::KeepAnchor);
            f.multi->setTextCursor(cursor);
        }
    } else {
        reply("error");
        return;
    }
    reply("ok");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("Qt text fields"));
    auto* layout = new QFormLayout(&window);
    Fields fields;
    fields.single = new QLineEdit;
    fields.single->setAccessibleName(QStringLiteral("Single line"));
    fields.password = new QLineEdit;
    fields.password->setEchoMode(QLineEdit::Password);
    fields.password->setAccessibleName(QStringLiteral("Password"));
    fields.multi = new QPlainTextEdit;
    fields.multi->setAccessibleName(QStringLiteral("Multi line"));
    layout->addRow(QStringLiteral("Single"), fields.single);
    layout->addRow(QStringLiteral("Password"), fields.password);
    layout->addRow(QStringLiteral("Multi"), fields.multi);
    window.resize(420, 260);
    window.show();
    fields.single->setFocus();
    QShortcut terminalPaste(QKeySequence(QStringLiteral("Ctrl+Shift+V")), &window);
    QObject::connect(&terminalPaste, &QShortcut::activated, &window, [&fields] {
        if (fields.single->hasFocus()) fields.single->paste();
        if (fields.multi->hasFocus()) fields.multi->paste();
    });

    // Commands arrive on stdin; the notifier keeps the event loop (and the accessibility bridge) running.
    QSocketNotifier notifier(fileno(stdin), QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        std::string line;
        if (!std::getline(std::cin, line)) {
            QCoreApplication::quit();
            return;
        }
        handle(fields, QString::fromStdString(line).trimmed());
    });
    QTimer::singleShot(0, &app, [] { reply("ready"); });
    return QApplication::exec();
}
