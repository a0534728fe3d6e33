// Titles and subtitles of the dashboard sections.
#include "Models/AppStrings.h"
#include "Models/MainWindowSection.h"

namespace quorvelle {

namespace {

// Subtitles hold "%1" where the product name goes; the caller passes the name.
struct SectionTexts {
    MainWindowSection section;
    QStringView englishTitle;
    QStringView turkishTitle;
    QStringView englishSubtitle;
    QStringView turkishSubtitle;
};

constexpr SectionTexts kSections[] = {
    {MainWindowSection::overview, u"Overview", u"Genel Bakış",
     u"Your %1 performance snapshot, recent activity, and productivity trends.",
     u"%1 performans özeti, son aktiviteler ve verimlilik trendleri."},
    {MainWindowSection::history, u"History", u"Geçmiş",
     u"Review, copy, and manage your complete transcription timeline.",
     u"Tüm transcription geçmişinizi inceleyin, kopyalayın ve yönetin."},
    {MainWindowSection::dictionary, u"Dictionary", u"Sözlük",
     u"Define custom replacements so %1 produces clean, consistent language.",
     u"%1 çıktısını temiz ve tutarlı yapmak için özel değişimler tanımlayın."},
    {MainWindowSection::snippets, u"Snippets", u"Snippets",
     u"Insert frequently used long text from short spoken phrases.",
     u"Sık kullandığınız uzun metinleri kısa sesli ifadelerle ekleyin."},
    {MainWindowSection::instructions, u"Instructions", u"Talimatlar",
     u"Provide style preferences or instructions for your transcriptions.",
     u"Transcription çıktıları için stil tercihleri veya talimatlar verin."},
    {MainWindowSection::shortcuts, u"Shortcuts", u"Kısayollar",
     u"Configure global hotkeys for fast push-to-talk and toggle recording control.",
     u"Hızlı push-to-talk ve toggle kayıt için global kısayolları ayarlayın."},
    {MainWindowSection::subscription, u"Account", u"Hesap",
     u"Sign in to your %1 account and manage this device's connection.",
     u"%1 hesabınıza giriş yapın ve bu cihazın bağlantısını yönetin."},
    {MainWindowSection::settings, u"Settings", u"Ayarlar",
     u"Customize transcription, microphone, local model, and runtime behavior.",
     u"Transcription, mikrofon, local model ve çalışma davranışını ayarlayın."},
    {MainWindowSection::appearance, u"Appearance", u"Görünüm",
     u"Customize the app interface, theme, widget, and language.",
     u"Uygulama arayüzünü, temayı, widget'ı ve dili özelleştirin."},
    {MainWindowSection::changelog, u"Changelog", u"Sürüm Notları", u"Release history for %1.", u"%1 sürüm geçmişi."},
};

const SectionTexts& textsOf(MainWindowSection section) {
    for (const SectionTexts& row : kSections) {
        if (row.section == section) return row;
    }
    return kSections[0];
}

}  // namespace

QString AppStrings::sectionTitle(MainWindowSection section) const {
    const SectionTexts& row = textsOf(section);
    return localized(row.englishTitle, row.turkishTitle);
}

QString AppStrings::sectionSubtitle(MainWindowSection section, QStringView productName) const {
    const SectionTexts& row = textsOf(section);
    // A plain replacement: the name is inserted as it is, even if it holds a "%" of its own.
    return localized(row.englishSubtitle, row.turkishSubtitle).replace(QStringLiteral("%1"), productName.toString());
}

}  // namespace quorvelle
