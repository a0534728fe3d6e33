#include "DeliveryServiceFakes.h"

namespace quorvelle::test {

TextInsertionResult FakeTextInserter::insert(const QString& text, const FocusedTargetSnapshot& target,
                                             const std::optional<TextReplacementHint>& replacementHint) {
    insertions.append({text, target, replacementHint});
    TextInsertionResult result = insertAnswer.next();
    if (!result.insertedText) result.insertedText = text;
    return result;
}

std::optional<bool> FakeTextInserter::verifyInsertion(const QString& text, const FocusedTargetSnapshot&) {
    verifiedTexts.append(text);
    return verifyAnswer.next();
}

QList<ClipboardItemSnapshot> FakePasteboardWriter::snapshot() {
    calls << QStringLiteral("snapshot");
    return contents;
}

void FakePasteboardWriter::writeString(const QString& text) {
    calls << QStringLiteral("writeString(%1)").arg(text);
    writeOutcome.next();
    ClipboardItemSnapshot item;
    item.representations.insert(QStringLiteral("text/plain"), text.toUtf8());
    contents = {item};
}

void FakePasteboardWriter::restore(const QList<ClipboardItemSnapshot>& items) {
    calls << QStringLiteral("restore(%1)").arg(items.size());
    restoreOutcome.next();
    contents = items;
}

}  // namespace quorvelle::test
