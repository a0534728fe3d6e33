#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QtQmlIntegration>

#include <optional>

namespace quorvelle {

// Symbols are named as the design names them; we draw each with a glyph of the Material Icons
// font, chosen here. QML reads it as the `Symbols` singleton.
class SymbolTable : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(Symbols)
    QML_SINGLETON

public:
    explicit SymbolTable(QObject* parent = nullptr);

    // The ligature name of the glyph for a symbol, or nothing for a name not in the table.
    static std::optional<QString> glyphName(const QString& symbolName);
    static QStringList symbolNames();

    // For QML: the glyph name, or "" (with a warning in the log) for an unknown symbol.
    Q_INVOKABLE QString glyph(const QString& symbolName) const;
};

}  // namespace quorvelle
