import QtQuick
import QtQuick.Layouts
import Quorvelle

// The inline form of a history row that turns a word or phrase into a dictionary replacement.
// Both terms belong to the owner: bind them and take each keystroke from the `...Edited`
// signals. Save is offered only while both terms hold more than white space.
Rectangle {
    id: root

    property string languageCode: "en"
    property string originalTerm
    property string replacementTerm
    property var saveAction: null
    property var cancelAction: null
    signal originalTermEdited(string text)
    signal replacementTermEdited(string text)

    readonly property bool canSave: DashboardTexts.trimmedTerm(originalTerm).length > 0
                                    && DashboardTexts.trimmedTerm(replacementTerm).length > 0

    function localized(english, turkish) {
        return DashboardTexts.localized(languageCode, english, turkish)
    }

    Layout.fillWidth: true
    implicitWidth: column.implicitWidth + 32
    implicitHeight: column.implicitHeight + 28
    radius: 14
    color: DesktopTheme.colors.inputBackground
    border.color: DesktopTheme.colors.inputBorder
    border.width: 1

    ColumnLayout {
        id: column
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.leftMargin: 16
        anchors.rightMargin: 16
        anchors.topMargin: 14
        spacing: 16

        UiText {
            objectName: "quick-add-heading"
            text: root.localized("QUICK DICTIONARY ADD", "HIZLI SÖZLÜK EKLE")
            font.pixelSize: 11
            font.weight: Font.Medium
            font.letterSpacing: 2
            color: DesktopTheme.colors.secondaryText
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 12

            FormField {
                objectName: "quick-add-original"
                Layout.fillWidth: true
                Layout.preferredWidth: 1
                title: root.localized("ORIGINAL", "ORİJİNAL")
                placeholder: root.localized("Select text first or type a term",
                                            "Önce metin seçin veya bir terim yazın")
                text: root.originalTerm
                onEdited: text => root.originalTermEdited(text)
            }

            FormField {
                objectName: "quick-add-replacement"
                Layout.fillWidth: true
                Layout.preferredWidth: 1
                title: root.localized("REPLACEMENT", "DEĞİŞİM")
                placeholder: root.localized("Preferred output", "Tercih edilen çıktı")
                text: root.replacementTerm
                onEdited: text => root.replacementTermEdited(text)
            }
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 18

            DashboardButtonBase {
                id: saveButton
                objectName: "quick-add-save"
                title: root.localized("Save to Dictionary", "Sözlüğe Kaydet")
                enabled: root.canSave
                opacity: root.canSave ? 1.0 : 0.55
                leftPadding: 16
                rightPadding: 16
                topPadding: 10
                bottomPadding: 10
                callback: root.saveAction

                contentItem: IconTitleLabel {
                    symbolName: "document.badge.plus"
                    title: saveButton.title
                    titleWeight: Font.DemiBold
                    color: DesktopTheme.colors.darkButtonText
                }

                background: Rectangle {
                    radius: 8
                    color: DesktopTheme.colors.primaryButtonFill
                }
            }

            DashboardButtonBase {
                id: cancelButton
                objectName: "quick-add-cancel"
                title: root.localized("Cancel", "İptal")
                callback: root.cancelAction

                contentItem: UiText {
                    text: cancelButton.title
                    font.pixelSize: 14
                    font.weight: Font.Medium
                    color: DesktopTheme.colors.secondaryText
                }
            }

            UiText {
                objectName: "quick-add-tip"
                Layout.fillWidth: true
                Layout.maximumWidth: implicitWidth
                // As tall as the buttons beside it, which leaves room for its two lines.
                Layout.fillHeight: true
                verticalAlignment: Text.AlignVCenter
                text: root.localized("Tip: edit the original field if you only want part of the transcript.",
                                     "İpucu: Transcript'in yalnızca bir bölümünü istiyorsanız orijinal alanını düzenleyin.")
                font.pixelSize: 12
                wrapMode: Text.Wrap
                maximumLineCount: 2
                elide: Text.ElideRight
                color: DesktopTheme.colors.secondaryText
            }

            Item {
                Layout.fillWidth: true
            }
        }
    }
}
