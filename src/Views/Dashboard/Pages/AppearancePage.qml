import QtQuick
import QtQuick.Layouts
import Quorvelle

// The appearance page: the dashboard theme, the floating widget's idle look and the interface
// language, each a row of cards. A click hands the card's choice to the view model's setter,
// even for the card already chosen; the marks always show the view model's values.
ColumnLayout {
    id: root

    required property AppViewModel viewModel
    required property MainWindowState windowState
    readonly property QtObject preferences: viewModel.preferences
    readonly property string languageCode: viewModel.languageCode

    objectName: "appearance-page"
    spacing: 22

    function text(english, turkish) {
        return DashboardTexts.localized(root.languageCode, english, turkish)
    }

    SurfaceCard {
        objectName: "appearance-theme-card"

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 16

            SectionHeading {
                symbolName: "paintpalette"
                title: root.text("Theme", "Tema")
                subtitle: root.text("Choose your visual style.", "Görsel stilinizi seçin.")
            }

            RowLayout {
                Layout.fillWidth: true
                spacing: 14

                Repeater {
                    model: [
                        { option: "quorvelle", title: "Quorvelle", titleTr: "Quorvelle",
                          subtitle: "Signature blue and amber on charcoal.",
                          subtitleTr: "Kömür zemin üzerinde imza mavi ve amber.",
                          palette: DesktopTheme.quorvellePalette },
                        { option: "black", title: "Black", titleTr: "Siyah",
                          subtitle: "Pure OLED black, minimal, zero distraction.",
                          subtitleTr: "Saf OLED siyah, minimal ve dikkat dağıtmayan.",
                          palette: DesktopTheme.blackPalette },
                        { option: "light", title: "Light", titleTr: "Açık",
                          subtitle: "Clean and bright with sharp contrast.",
                          subtitleTr: "Net kontrastlı, temiz ve aydınlık.",
                          palette: DesktopTheme.lightPalette }
                    ]

                    ThemeOptionCard {
                        required property var modelData
                        objectName: "appearance-theme-" + modelData.option
                        Layout.preferredWidth: 1
                        title: root.text(modelData.title, modelData.titleTr)
                        subtitle: root.text(modelData.subtitle, modelData.subtitleTr)
                        palette: modelData.palette
                        isSelected: root.preferences.selectedDesktopTheme === modelData.option
                        callback: function() { root.preferences.setDesktopTheme(modelData.option) }
                    }
                }
            }
        }
    }

    SurfaceCard {
        objectName: "appearance-widget-card"

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 16

            SectionHeading {
                symbolName: "eye"
                title: root.text("Widget Appearance", "Widget Görünümü")
                subtitle: root.text("Choose how the Quorvelle pill displays when idle.",
                                    "Quorvelle widget'ının boştayken nasıl görüneceğini seçin.")
            }

            RowLayout {
                Layout.fillWidth: true
                spacing: 12

                Repeater {
                    model: [
                        { option: "currentWidget", title: "Current widget", titleTr: "Mevcut widget",
                          subtitle: "Shows the current Quorvelle runtime widget.",
                          subtitleTr: "Mevcut Quorvelle runtime widget'ını gösterir." },
                        { option: "logoOnly", title: "Logo Only", titleTr: "Sadece Logo",
                          subtitle: "Compact symbol, takes up less screen space.",
                          subtitleTr: "Daha az ekran alanı kullanan kompakt sembol." }
                    ]

                    AppearanceOptionCard {
                        required property var modelData
                        objectName: "appearance-widget-" + modelData.option
                        Layout.preferredWidth: 1
                        title: root.text(modelData.title, modelData.titleTr)
                        subtitle: root.text(modelData.subtitle, modelData.subtitleTr)
                        preview: modelData.option
                        isSelected: root.preferences.selectedWidgetAppearance === modelData.option
                        callback: function() { root.preferences.setWidgetAppearance(modelData.option) }
                    }
                }
            }
        }
    }

    SurfaceCard {
        objectName: "appearance-language-card"

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 16

            SectionHeading {
                symbolName: "globe"
                title: root.text("App Language", "Uygulama Dili")
                subtitle: root.text("Choose the language used by Quorvelle menus and screens.",
                                    "Quorvelle menü ve ekranlarında kullanılacak dili seçin.")
            }

            RowLayout {
                Layout.fillWidth: true
                spacing: 12

                Repeater {
                    model: ["system", "english", "turkish"]

                    // The choice is compared, not the language it resolves to.
                    AppLanguageOptionCard {
                        required property string modelData
                        objectName: "appearance-language-" + modelData
                        Layout.preferredWidth: 1
                        language: modelData
                        languageCode: root.languageCode
                        isSelected: root.preferences.selectedAppLanguage === modelData
                        callback: function() { root.preferences.setAppLanguage(modelData) }
                    }
                }
            }

            UiText {
                Layout.fillWidth: true
                text: root.text("This setting changes the app interface only. It does not change transcription language or speech recognition behavior.",
                                "Bu ayar yalnızca uygulama arayüzünü değiştirir. Transcription dili veya speech recognition davranışını değiştirmez.")
                wrapMode: Text.Wrap
                color: DesktopTheme.colors.secondaryText
            }
        }
    }
}
