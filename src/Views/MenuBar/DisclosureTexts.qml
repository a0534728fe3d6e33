pragma Singleton
import QtQuick

// The two disclosure texts, shown by the popover and by the dashboard. The headings follow the
// interface language; the bodies are the same Turkish text in both languages.
QtObject {
    function cloudTitle(turkish) {
        return turkish ? "Bulut bilgilendirmesi" : "Cloud disclosure"
    }

    function privacyTitle(turkish) {
        return turkish ? "Gizlilik / veri işleme" : "Privacy / data processing"
    }

    readonly property string cloudBody: "Quorvelle cloud mode, Quorvelle backend uzerinden calisir.\n\n"
        + "Quorvelle hesabina giris yaparsiniz ve bu bilgisayar hesabinizdaki cihaz listesine kaydedilir. "
        + "Ses, transcription istendigi anda Quorvelle backend uzerinden cloud transcription servisine "
        + "gonderilir; bu adim kullanicidan gizlenmez."

    readonly property string privacyBody: "Quorvelle, sesi yalnizca dikte istendigi anda isler.\n\n"
        + "- Ses kaydi cihazda kalici arsiv olarak tutulmaz.\n"
        + "- Quorvelle hesap tokenlari ve cihaz kimligi keyring icinde saklanir.\n"
        + "- Hassas veriler ve tokenlar loglara yazilmaz.\n"
        + "- Ses cloud transcription icin Quorvelle backend uzerinden islenir.\n"
        + "- Secure input alanlarinda kayit baslamaz ve clipboard fallback uygulanmaz.\n"
        + "- Gizlilik metni onboarding ve ileride settings yuzeyinden erisilebilir kalir."
}
