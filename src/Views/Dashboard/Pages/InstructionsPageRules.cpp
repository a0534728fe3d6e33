#include "Views/Dashboard/Pages/InstructionsPageRules.h"

#include "Models/AppStrings.h"
#include "Support/Graphemes.h"

namespace quorvelle {

namespace {

struct PresetRow {
    InstructionPreset preset;
    const char16_t* text;
    const char16_t* englishTitle;
    const char16_t* turkishTitle;
    const char16_t* englishDetail;
    const char16_t* turkishDetail;
};

constexpr PresetRow kPresets[] = {
    {InstructionPreset::default_, u"", u"Default", u"Varsayılan",
     u"Clears the instruction box. Quorvelle uses only the selected cleanup mode and dictionary.",
     u"Talimat kutusunu boşaltır. Quorvelle yalnızca seçili cleanup modu ve sözlüğü kullanır."},
    {InstructionPreset::professional,
     u"Use proper capitalization and punctuation. Keep the wording clear, concise, and professional.", u"Professional",
     u"Profesyonel",
     u"Fills the instruction box with a professional tone request. Save to apply it to future transcriptions.",
     u"Talimat kutusuna profesyonel ton isteği yazar. Gelecek transcription'larda kullanmak için kaydedin."},
    {InstructionPreset::shortAndClean,
     u"Keep sentences short. Break long thoughts into short paragraphs. Remove filler words and keep only the "
     u"final intent.",
     u"Short & Clean", u"Kısa ve Temiz",
     u"Fills the instruction box with a short, clean writing request. Save to apply it.",
     u"Talimat kutusuna kısa ve temiz yazım isteği yazar. Uygulamak için kaydedin."},
};

const PresetRow* rowNamed(const QString& name) {
    const auto preset = fromRawValue<InstructionPreset>(name);
    for (const PresetRow& row : kPresets) {
        if (preset == row.preset) return &row;
    }
    return nullptr;
}

}  // namespace

InstructionsPageRules::InstructionsPageRules(QObject* parent) : QObject(parent) {}

QString InstructionsPageRules::limited(const QString& text) {
    return Graphemes::prefix(text, characterLimit);
}

int InstructionsPageRules::characterCount(const QString& text) {
    return int(Graphemes::count(text));
}

QString InstructionsPageRules::counterText(const QString& languageCode, const QString& draft) {
    const QString suffix = AppStrings(languageCode).localized(u" characters", u" karakter");
    return QString::number(characterCount(draft)) + QStringLiteral(" / ") + QString::number(characterLimit) + suffix;
}

QStringList InstructionsPageRules::presetNames() {
    QStringList names;
    for (const InstructionPreset preset : allCases<InstructionPreset>())
        names.append(rawValue(preset));
    return names;
}

QString InstructionsPageRules::presetText(const QString& preset) {
    const PresetRow* row = rowNamed(preset);
    return row ? QString::fromUtf16(row->text) : QString();
}

QString InstructionsPageRules::presetTitle(const QString& languageCode, const QString& preset) {
    const PresetRow* row = rowNamed(preset);
    return row ? AppStrings(languageCode).localized(row->englishTitle, row->turkishTitle) : QString();
}

QString InstructionsPageRules::presetDetail(const QString& languageCode, const QString& preset) {
    const PresetRow* row = rowNamed(preset);
    return row ? AppStrings(languageCode).localized(row->englishDetail, row->turkishDetail) : QString();
}

QString InstructionsPageRules::selectedPreset(const QString& draft) {
    for (const PresetRow& row : kPresets) {
        if (draft == QStringView(row.text)) return rawValue(row.preset);
    }
    return {};
}

}  // namespace quorvelle
