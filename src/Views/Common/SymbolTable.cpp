#include "Views/Common/SymbolTable.h"

#include <QLoggingCategory>

#include <array>
#include <utility>

namespace quorvelle {

namespace {

Q_LOGGING_CATEGORY(symbolLog, "quorvelle.views.symbols")

using Entry = std::pair<const char*, const char*>;

constexpr std::array kTable{
    Entry{"waveform", "graphic_eq"},
    Entry{"lock", "lock_outline"},
    Entry{"mic", "mic_none"},
    Entry{"arrow.up.circle", "arrow_circle_up"},
    Entry{"text.cursor", "text_fields"},
    Entry{"doc.on.doc", "content_copy"},
    Entry{"checkmark.circle", "check_circle_outline"},
    Entry{"exclamationmark.triangle", "warning_amber"},
    Entry{"house", "home"},
    Entry{"clock.arrow.circlepath", "history"},
    Entry{"book.closed", "menu_book"},
    Entry{"text.badge.plus", "playlist_add"},
    Entry{"doc.text", "description"},
    Entry{"command", "keyboard_command_key"},
    Entry{"creditcard", "credit_card"},
    Entry{"gearshape", "settings"},
    Entry{"paintpalette", "palette"},
    Entry{"eye", "visibility"},
    Entry{"keyboard", "keyboard"},
    Entry{"switch.2", "toggle_on"},
    Entry{"person.crop.circle.badge.checkmark", "how_to_reg"},
    Entry{"hand.raised", "pan_tool"},
    Entry{"slider.horizontal.3", "tune"},
    Entry{"xmark.circle", "highlight_off"},
    Entry{"textformat", "text_format"},
    Entry{"bubble.left.and.bubble.right", "forum"},
    Entry{"envelope", "mail_outline"},
    Entry{"wand.and.stars", "auto_fix_high"},
    Entry{"tray.and.arrow.down", "save_alt"},
    Entry{"sparkles", "auto_awesome"},
    Entry{"document.badge.plus", "note_add"},
    Entry{"doc.badge.plus", "note_add"},
    Entry{"pencil", "edit"},
    Entry{"trash", "delete_outline"},
    Entry{"arrow.down.circle", "arrow_circle_down"},
    Entry{"checkmark.circle.fill", "check_circle"},
    Entry{"checkmark", "check"},
    Entry{"person.crop.circle.badge.exclamationmark", "no_accounts"},
    Entry{"person.crop.circle.badge.plus", "person_add"},
    Entry{"arrow.up.right.square", "open_in_new"},
    Entry{"safari", "explore"},
    Entry{"lock.fill", "lock"},
    Entry{"chevron.left", "chevron_left"},
    Entry{"chevron.right", "chevron_right"},
    Entry{"bolt", "bolt"},
    Entry{"timer", "timer"},
    Entry{"info.circle", "info_outline"},
    Entry{"plus", "add"},
    Entry{"arrow.clockwise", "refresh"},
    Entry{"square.and.arrow.up", "ios_share"},
    Entry{"character.textbox", "text_format"},
    Entry{"cpu", "memory"},
    Entry{"cloud", "cloud_queue"},
    Entry{"globe", "language"},
    Entry{"gearshape.2", "settings_applications"},
    Entry{"power", "power_settings_new"},
};

}  // namespace

SymbolTable::SymbolTable(QObject* parent) : QObject(parent) {}

std::optional<QString> SymbolTable::glyphName(const QString& symbolName) {
    for (const auto& [symbol, glyph] : kTable) {
        if (symbolName == QLatin1String(symbol)) return QString::fromLatin1(glyph);
    }
    return std::nullopt;
}

QStringList SymbolTable::symbolNames() {
    QStringList names;
    for (const auto& entry : kTable)
        names.append(QString::fromLatin1(entry.first));
    return names;
}

QString SymbolTable::glyph(const QString& symbolName) const {
    if (symbolName.isEmpty()) return {};
    if (auto name = glyphName(symbolName)) return *name;
    qCWarning(symbolLog) << "no glyph for symbol" << symbolName;
    return {};
}

}  // namespace quorvelle
