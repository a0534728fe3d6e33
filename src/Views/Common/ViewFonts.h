#pragma once

#include <QObject>
#include <QString>
#include <QtQmlIntegration>

namespace quorvelle {

// The three font families of the views, pinned so that every machine draws the same faces:
// Inter for text (it has real Medium and SemiBold faces), Material Icons for symbols and
// DejaVu Sans Mono for monospaced text. QML reads the names from the `Fonts` singleton.
class ViewFonts : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(Fonts)
    QML_SINGLETON
    Q_PROPERTY(QString ui READ ui CONSTANT)
    Q_PROPERTY(QString icons READ icons CONSTANT)
    Q_PROPERTY(QString mono READ mono CONSTANT)

public:
    explicit ViewFonts(QObject* parent = nullptr);

    static QString ui();
    static QString icons();
    static QString mono();

    // Makes the three families available, loading the installed files where the font
    // configuration does not list them. Returns false when one of them cannot be found.
    static bool load();
};

}  // namespace quorvelle
