import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quorvelle

// One cleanup mode ("off", "default", "chat", "email", "rewrite"): its symbol and title in a
// small pill, its description as the tooltip. It keeps no selection of its own; a click calls
// `callback`, also when it is the selected one.
DashboardChoiceButton {
    id: root

    property string mode: "off"
    property string languageCode: "en"

    // symbol, English title, Turkish title, English help, Turkish help
    readonly property var table: ({
        "off": ["xmark.circle", "Off", "Kapalı",
                "No cleanup. Quorvelle keeps the raw transcript except dictionary replacements.",
                "Cleanup yapmaz. Quorvelle sözlük değişimleri dışında ham transcript'i korur."],
        "default": ["textformat", "Default", "Varsayılan",
                    "Cleans filler words and spoken punctuation, then fixes basic capitalization.",
                    "Dolgu kelimelerini ve konuşulan noktalama ifadelerini temizler, temel büyük harf düzeltmesi yapar."],
        "chat": ["bubble.left.and.bubble.right", "Chat", "Chat",
                 "Uses the same local cleanup for now; reserved for concise chat-style formatting.",
                 "Şimdilik aynı yerel cleanup'ı kullanır; kısa chat formatı için ayrılmıştır."],
        "email": ["envelope", "Email", "E-posta",
                  "Uses cleanup plus simple email-oriented paragraph formatting.",
                  "Cleanup'a ek olarak basit e-posta odaklı paragraf düzeni uygular."],
        "rewrite": ["wand.and.stars", "Rewrite", "Rewrite",
                    "Uses the same local cleanup for now; reserved for stronger rewrite behavior.",
                    "Şimdilik aynı yerel cleanup'ı kullanır; daha güçlü rewrite davranışı için ayrılmıştır."]
    })
    readonly property var row: table[mode] || table["off"]
    readonly property bool turkish: languageCode === "tr"
    readonly property string detail: turkish ? row[4] : row[3]
    readonly property color tint: isSelected ? DesktopTheme.colors.primaryText : DesktopTheme.colors.secondaryText

    title: turkish ? row[2] : row[1]
    leftPadding: 12
    rightPadding: 12
    topPadding: 9
    bottomPadding: 9
    Accessible.description: detail
    ToolTip.text: detail
    ToolTip.visible: hovered

    contentItem: IconTitleLabel {
        symbolName: root.row[0]
        title: root.title
        iconSize: 12
        titleSize: 13
        titleWeight: Font.DemiBold
        spacing: 7
        color: root.tint
    }

    background: Rectangle {
        radius: 8
        color: root.isSelected ? DesktopTheme.colors.selectedCardFill : DesktopTheme.colors.pillFill
        border.color: root.isSelected ? DesktopTheme.colors.selectedCardBorder : DesktopTheme.colors.pillBorder
        border.width: 1
    }
}
