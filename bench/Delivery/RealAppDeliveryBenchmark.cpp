// Release of the hot key to the text standing in the field, in Firefox ESR (checked paste) and
// LibreOffice Writer (direct insertion at the caret), with a backend that answers at once.
// Target: under 100 ms. Run inside scripts/desktop-test-env; prints the median and the slowest.
#include "RealAppDictation.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace quorvelle;

constexpr int kDictations = 10;

// Firefox's page shows its field in the window title; Writer's paragraph is read over the bus.
bool measure(test::RealAppDictation& dictation, const char* name, const test::RealAppDictation::ReleaseToText& sign) {
    std::vector<double> samples;
    for (int round = 0; round < kDictations; ++round) {
        test::RealAppDictation::ReleaseToText timing = sign;
        dictation.dictate(QStringLiteral("word%1").arg(round), false, &timing);
        const double milliseconds = timing.milliseconds;
        if (milliseconds < 0) {
            std::fprintf(stderr, "%s: dictation %d never showed in the field (%s)\n", name, round,
                         qPrintable(dictation.vm->inlineMessage().value_or(QString())));
            return false;
        }
        samples.push_back(milliseconds);
    }
    std::sort(samples.begin(), samples.end());
    std::printf("%-8s release to text: median %.1f ms, slowest %.1f ms over %d dictations\n", name,
                samples[samples.size() / 2], samples.back(), kDictations);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") {
        std::fprintf(stderr, "run inside scripts/desktop-test-env\n");
        return 1;
    }
    test::RealAppDictation dictation;
    if (!dictation.isReady()) return 1;
    bool measured = true;
    if (const auto firefox = test::RealApp::firefox(dictation.folder.path());
        firefox && !dictation.focusedTextElement().isEmpty()) {
        const auto inTitle = [](const QString& words) {
            return test::RealApp::waitForTitle(u"^area:.*"_qs + words + u" —"_qs, 0);
        };
        measured = measure(dictation, "Firefox", {inTitle}) && measured;
    } else {
        measured = false;
    }
    QString document;
    if (const auto writer = test::RealApp::writer(dictation.folder.path(), &document);
        writer && !dictation.focusedTextElement().isEmpty()) {
        const auto inParagraph = [&](const QString& words) {
            try {
                const FocusedTargetSnapshot current = dictation.delivery->inspector().inspect();
                return dictation.delivery->elementAccessor()
                    .copyStringAttribute(current.elementHandle)
                    .value_or(QString())
                    .contains(words);
            } catch (const std::exception&) {
                return false;
            }
        };
        measured = measure(dictation, "Writer", {inParagraph}) && measured;
    } else {
        measured = false;
    }
    return measured ? 0 : 1;
}
