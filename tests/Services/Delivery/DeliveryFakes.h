#pragma once

#include "Services/Delivery/AccessibilityElementNavigating.h"
#include "Services/Delivery/AccessibilityTextElementAccessing.h"
#include "Services/Delivery/ElementHandleStorage.h"
#include "Services/Delivery/FocusedTargetInspectionError.h"
#include "Services/Delivery/KeyEventPosting.h"
#include "Services/Delivery/TextInsertionError.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <functional>
#include <tuple>

namespace quorvelle::test {

// A text field held in memory, with switches for the failures a real element can produce.
class FakeTextElement final : public AccessibilityTextElementAccessing {
public:
    explicit FakeTextElement(std::optional<QString> value = {}, std::optional<TextRange> selection = {})
        : value(std::move(value)), selection(selection) {}

    std::optional<QString> value;
    std::optional<TextRange> selection;
    std::optional<TextInsertionError::Case> readFailure;
    std::optional<TextInsertionError::Case> writeFailure;
    std::optional<TextInsertionError::Case> rangeWriteFailure;
    bool ignoresWrites = false;         // answers every write with success, as Firefox's fields do
    bool keepsSpacesAsNoBreak = false;  // stores each space written as U+00A0, as WebKit's rich text does
    // The next replacements delete their range and insert nothing, answering with an error when true.
    QList<bool> deletesOnly;
    QStringList calls;

    std::optional<QString> copyStringAttribute(const Handle&) override {
        return record("readValue", readFailure, value);
    }
    std::optional<TextRange> copyRangeAttribute(const Handle&) override {
        return record("readRange", readFailure, selection);
    }
    void setStringAttribute(const Handle&, const QString& text) override {
        std::optional<QString>& state = record("writeValue", writeFailure, value);
        if (!ignoresWrites) state = stored(text);
    }
    void replaceText(const Handle&, TextRange range, const QString& text) override {
        std::optional<QString>& state = record("replaceText", writeFailure, value);
        if (ignoresWrites) return;
        if (deletesOnly.isEmpty()) {
            state = state.value_or(QString()).replace(range.location, range.length, stored(text));
            return;
        }
        state = state.value_or(QString()).remove(range.location, range.length);
        if (deletesOnly.takeFirst()) throw TextInsertionError(TextInsertionError::Case::writeFailed);
    }
    void setRangeAttribute(const Handle&, TextRange range) override {
        record("writeRange", rangeWriteFailure, selection) = range;
    }

private:
    QString stored(QString text) const { return keepsSpacesAsNoBreak ? text.replace(u' ', QChar(0x00A0)) : text; }
    // Notes the call and fails it when told to; otherwise hands over the state it works on.
    template <typename T>
    T& record(const char* call, const std::optional<TextInsertionError::Case>& failure, T& state) {
        calls << QString::fromLatin1(call);
        if (failure) throw TextInsertionError(*failure);
        return state;
    }
};

class FakeElement final : public AccessibilityElement {
public:
    explicit FakeElement(QString name) : name(std::move(name)) {}
    QString identityKey() const override { return name; }
    QString name;
};

class FakeTree final : public AccessibilityElementNavigating {
public:
    void add(const QString& name, const RawFocusedElementMetadata& metadata, const QString& parentName = {}) {
        elements.insert(name, std::make_shared<FakeElement>(name));
        metadataOf.insert(name, metadata);
        if (!parentName.isEmpty()) childrenOf[parentOf[name] = parentName].append(name);
    }

    // An application still on its way to the bus shows nothing.
    AccessibilityElementRef focusedElement(qint32) override {
        if (applicationComing) return nullptr;
        if (focusSequence.size() > 1) return elements.value(focusSequence.takeFirst());
        return elements.value(focusSequence.value(0, focused));
    }
    AccessibilityElementRef focusedWindow(qint32) override {
        return applicationComing ? nullptr : elements.value(window);
    }
    QList<AccessibilityElementRef> shownWindows(qint32) override {
        QList<AccessibilityElementRef> result;
        if (applicationComing) return result;
        for (const QString& name : windowsShown)
            result.append(elements.value(name));
        return result;
    }
    AccessibilityElementRef parent(const AccessibilityElement& element) override {
        ++walkSteps;
        return elements.value(parentOf.value(element.identityKey()));
    }
    QList<AccessibilityElementRef> children(const AccessibilityElement& element) override {
        ++walkSteps;
        QList<AccessibilityElementRef> result;
        for (const QString& name : childrenOf.value(element.identityKey()))
            result.append(elements.value(name));
        return result;
    }
    bool hasApplication(qint32) override { return applicationPresent; }
    bool isApplicationArriving(qint32) override { return applicationComing; }
    // The application comes on the bus while it is waited for.
    QCoro::Task<void> awaitApplication(qint32, std::stop_token) override {
        ++arrivalWaits;
        if (applicationComing) applicationComing = false, applicationPresent = true;
        co_return;
    }
    std::optional<QString> readSubrole(const AccessibilityElement& element) override {
        return metadataOf.value(element.identityKey()).subrole;
    }
    // Only what the score needs: the description must be asked for separately.
    RawFocusedElementMetadata readScoringMetadata(const AccessibilityElement& element) override {
        RawFocusedElementMetadata metadata = metadataOf.value(element.identityKey());
        std::tie(metadata.title, metadata.identifier, metadata.frame, metadata.size) =
            std::tuple(std::nullopt, std::nullopt, std::nullopt, std::nullopt);
        return metadata;
    }
    bool answers(const AccessibilityElement& element) override { return !timingOut.contains(element.identityKey()); }
    bool readDescription(const AccessibilityElement& element, RawFocusedElementMetadata& metadata) override {
        if (timingOut.contains(element.identityKey()))
            throw FocusedTargetInspectionError(FocusedTargetInspectionError::Case::focusedElementUnavailable);
        if (unanswered.contains(element.identityKey())) return false;
        const RawFocusedElementMetadata& full = metadataOf[element.identityKey()];
        std::tie(metadata.title, metadata.identifier, metadata.frame, metadata.size) =
            std::tie(full.title, full.identifier, full.frame, full.size);
        return true;
    }

    QHash<QString, std::shared_ptr<FakeElement>> elements;
    QHash<QString, RawFocusedElementMetadata> metadataOf;
    QHash<QString, QString> parentOf;
    QHash<QString, QStringList> childrenOf;
    QString focused;
    QStringList focusSequence;  // successive answers of focusedElement, when set
    QString window;
    QStringList windowsShown;  // active or not
    QSet<QString> unanswered;  // elements whose title and frame reads end in an error
    QSet<QString> timingOut;   // elements whose description reads time out
    bool applicationPresent = true;
    bool applicationComing = false;
    int arrivalWaits = 0;
    int walkSteps = 0;  // parents and children asked for
};

// Records posted key events; modifiers can be "held" for a number of polls.
class FakeKeyPoster final : public KeyEventPosting {
public:
    using Events = QList<QPair<quint32, bool>>;
    static constexpr quint32 kControl = 37, kShift = 50, kV = 55, kInsert = 118, kAlt = 64;
    static inline const Events controlV{{kControl, true}, {kV, true}, {kV, false}, {kControl, false}};
    static inline const Events controlShiftV{{kControl, true}, {kShift, true},  {kV, true},
                                             {kV, false},      {kShift, false}, {kControl, false}};
    static inline const Events shiftInsert{{kShift, true}, {kInsert, true}, {kInsert, false}, {kShift, false}};
    static inline const Events controlAltV{{kControl, true}, {kAlt, true},  {kV, true},
                                           {kV, false},      {kAlt, false}, {kControl, false}};

    bool available = true;
    QHash<Key, quint32> codes{
        {Key::control, kControl}, {Key::shift, kShift}, {Key::alt, kAlt}, {Key::v, kV}, {Key::insert, kInsert}};
    QList<quint32> held;
    Events posted;
    // How long ago a key was pressed; the rig's sleeps age it. Never pressed when none.
    std::optional<std::chrono::milliseconds> sincePress;
    bool typing = false;              // a key pressed at every look
    bool lettersOnly = false;         // the presses type: none can move the focus
    QList<FocusMovingPress> presses;  // told apart, when any are
    // Presses read in the server's order: where the reading stood (none: not read in order), and
    // what came between that and the paste key, as the server handled them (none: cannot be told).
    std::optional<quint64> orderMark;
    std::optional<QList<FocusMovingPress>> pressesBeforeKey = QList<FocusMovingPress>{};
    // Where given, the Tabs and clicks as the server numbered them: what came between a mark and the
    // paste key is every one after the mark.
    std::optional<QList<std::pair<quint64, FocusMovingPress>>> serverOrder;
    // Called as each reading of the presses begins: a press the server handled just then.
    std::function<void()> onRead;
    // Each question about them: the key, the mark, how many events had gone out.
    QList<std::tuple<quint32, quint64, qsizetype>> orderAsked;

    bool isAvailable() override { return available; }
    std::optional<quint32> keyCode(Key key) override {
        return codes.contains(key) ? std::optional(codes[key]) : std::nullopt;
    }
    QList<quint32> heldModifierKeyCodes() override { return held; }
    std::optional<std::chrono::milliseconds> sinceLastKeyPress() override {
        if (onRead) onRead();
        return typing ? std::optional(std::chrono::milliseconds(0)) : sincePress;
    }
    std::optional<std::chrono::milliseconds> sinceLastFocusMovingPress() override {
        if (lettersOnly) return std::nullopt;
        return sinceLastKeyPress();
    }
    QList<FocusMovingPress> focusMovingPresses() override {
        if (onRead) onRead();
        return presses;
    }
    std::optional<quint64> pressOrderMark() override { return orderMark; }
    std::optional<QList<FocusMovingPress>> focusMovingPressesBefore(quint32 keyCode, quint64 mark) override {
        orderAsked.append({keyCode, mark, posted.size()});
        if (!serverOrder) return pressesBeforeKey;
        QList<FocusMovingPress> after;
        for (const auto& [number, press] : *serverOrder) {
            if (number > mark) after.append(press);
        }
        return after;
    }
    // A Tab the server handles now, read at once (the mark moves past it) unless `unread`.
    void tabNow(bool unread = false) {
        const quint64 number = (serverOrder && !serverOrder->isEmpty() ? serverOrder->last().first : *orderMark) + 1;
        const FocusMovingPress tab{FocusMovingPress::Kind::tab, std::chrono::steady_clock::now(), std::nullopt};
        if (!serverOrder) serverOrder.emplace();
        serverOrder->append({number, tab});
        if (unread) return;
        orderMark = number;
        presses.append(tab);
        sincePress = std::chrono::milliseconds(0);
    }
    void post(quint32 keyCode, bool pressed) override {
        posted.append({keyCode, pressed});
        if (!pressed) held.removeAll(keyCode);
    }
};

// The case of the error `call` throws, or nothing when it returns.
template <typename Error, typename Call>
std::optional<typename Error::Case> errorCaseOf(Call&& call) {
    try {
        call();
    } catch (const Error& error) {
        return error.errorCase();
    }
    return std::nullopt;
}

}  // namespace quorvelle::test
