import QtQuick
import QtQuick.Layouts
import Quorvelle

// The on-device engine: its state, CPU or accelerated decoding, and the downloadable models, each
// with the action its state allows.
SurfaceCard {
    id: root

    required property AppViewModel viewModel
    readonly property bool turkish: viewModel.languageCode === "tr"

    function text(english, turkish) {
        return root.turkish ? turkish : english
    }
    function present(value) {
        return value !== null && value !== undefined
    }

    objectName: "settings-local-models"
    readonly property var rows: section.rows

    LocalModelsSectionModel {
        id: section
        viewModel: root.viewModel
    }

    ColumnLayout {
        Layout.fillWidth: true
        spacing: 14

        SectionHeading {
            symbolName: "gearshape.2"
            title: root.text("Local Models", "Yerel Modeller")
            subtitle: root.text("These models are used when transcription mode is set to Local.",
                                "Bu modeller transcription modu Yerel seçildiğinde kullanılır.")
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 12

            CompactInfoCard {
                objectName: "settings-local-runtime"
                Layout.alignment: Qt.AlignTop
                eyebrow: "RUNTIME"
                value: section.runtimeStatusLabel
            }
            CompactInfoCard {
                objectName: "settings-local-selected"
                Layout.alignment: Qt.AlignTop
                eyebrow: root.text("SELECTED", "SEÇİLİ")
                value: section.selectedModelTitle
            }
            CompactInfoCard {
                objectName: "settings-local-acceleration"
                Layout.alignment: Qt.AlignTop
                eyebrow: root.text("ACCELERATION", "HIZLANDIRMA")
                value: section.isAccelerated ? "GPU" : "CPU"
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 10

            RowLayout {
                spacing: 12

                UiText {
                    text: root.text("Acceleration", "Hızlandırma")
                    color: DesktopTheme.colors.primaryText
                }

                SegmentedChoice {
                    objectName: "settings-acceleration-picker"
                    options: [{ value: "cpu", title: "CPU" },
                              { value: "accelerated", title: "GPU", enabled: section.accelerationAvailable,
                                unavailable: root.text("Unavailable", "Kullanılamaz") }]
                    selectedValue: section.isAccelerated ? "accelerated" : "cpu"
                    onPicked: value => section.setAcceleration(value)
                }
            }

            UiText {
                objectName: "settings-acceleration-explanation"
                Layout.fillWidth: true
                text: !section.accelerationAvailable
                      ? root.text("GPU is unavailable: this build has no GPU back end. The local engine runs on CPU/BLAS.",
                                  "GPU kullanılamaz: bu derlemede GPU desteği yok. Local engine CPU/BLAS uzerinde calisir.")
                      : section.isAccelerated
                        ? "GPU hizlandirmasini dener; cihaz veya model uygun degilse CPU yoluna duser."
                        : "En stabil mod. Local engine CPU/BLAS uzerinde calisir."
                wrapMode: Text.Wrap
                color: DesktopTheme.colors.secondaryText
            }
        }

        ColumnLayout {
            objectName: "settings-model-rows"
            Layout.fillWidth: true
            spacing: 10

            // One row per place in the list, kept while the list is republished, so that the
            // button the user just pressed keeps the keyboard focus as its model changes state.
            Repeater {
                model: root.rows.length

                ModelRow {
                    required property int index
                    readonly property var modelData: root.rows[index]
                    objectName: "settings-model-" + modelData.id
                    title: modelData.title
                    languageCode: root.viewModel.languageCode
                    subtitle: modelData.subtitle
                    size: modelData.size
                    badge: modelData.badge
                    tags: modelData.tags
                    warningText: root.present(modelData.warningText) ? modelData.warningText : null
                    failureText: root.present(modelData.failureText) ? modelData.failureText : null
                    isSelected: modelData.isSelected
                    primaryActionTitle: modelData.primaryActionTitle
                    primaryAction: () => section.performModelAction(modelData.id)
                    secondaryActionTitle: root.present(modelData.secondaryActionTitle) ? modelData.secondaryActionTitle
                                                                                      : null
                    secondaryAction: () => section.deleteModel(modelData.id)
                }
            }
        }
    }
}
