#pragma once

#include "HeldCalls.h"
#include "Scripted.h"
#include "Services/Delivery/ClipboardWriting.h"
#include "Services/Delivery/FocusChangeAwaiting.h"
#include "Services/Delivery/FocusedTargetInspecting.h"
#include "Services/Delivery/Model/FocusedTargetFixtures.h"
#include "Services/Delivery/PasteKeysOvertaken.h"
#include "Services/Delivery/SyntheticPastePerforming.h"
#include "Services/Delivery/TextInserting.h"
#include "Services/Delivery/TextInsertionStrategyResolving.h"
#include "Services/Delivery/TextInsertionVerifying.h"
#include "Support/CancellableSleep.h"

#include <QList>
#include <QStringList>

#include <optional>
#include <utility>

namespace quorvelle::test {

class FakeFocusedTargetInspector final : public FocusedTargetInspecting {
public:
    int callCount = 0;
    Scripted<FocusedTargetSnapshot> answer{writableTextField()};

    // The wait for an application on its way to the accessibility bus: over at once unless held.
    HeldCalls arrival;
    int arrivalWaits = 0;

    // Whether the application answers now, asked of each element: true once the script runs out.
    Scripted<bool> answering{true};
    QList<FocusedTargetSnapshot> askedWhetherAnswering;

    FocusedTargetSnapshot inspect() override { return ++callCount, answer.next(); }
    QCoro::Task<void> awaitFrontApplication(std::stop_token stopToken) override {
        return ++arrivalWaits, arrival.pass(std::move(stopToken));
    }
    bool answers(const FocusedTargetSnapshot& target) override {
        askedWhetherAnswering.append(target);
        return answering.next();
    }
};

class FakeTextInserter final : public TextInserting, public TextInsertionVerifying {
public:
    Scripted<TextInsertionResult> insertAnswer;
    Scripted<PasteReadBack> verifyAnswer{PasteReadBack::landed};
    // What a paste puts before the words: a caret right after a word asks for a space.
    QString pastePrefix;
    // False: the field's text reads only in part (a terminal's scrollback).
    bool readsWhole = true;
    QStringList verifiedTexts;
    QList<FocusedTargetSnapshot> verifiedOn;
    QList<FocusedTargetSnapshot> insertedInto;  // every target a write was tried on
    // Called as a write begins, before its answer.
    std::function<void()> onInsert;

    TextInsertionResult insert(const QString& text, const FocusedTargetSnapshot& target,
                               const std::optional<TextReplacementHint>&) override {
        insertedInto.append(target);
        if (onInsert) onInsert();
        TextInsertionResult result = insertAnswer.next();
        if (!result.insertedText) result.insertedText = text;
        return result;
    }
    std::optional<TextInsertionPoint> insertionPoint(const FocusedTargetSnapshot&) override {
        return TextInsertionPoint{{}, {}, readsWhole};
    }
    QString textToPaste(const QString& text, const std::optional<TextInsertionPoint>&) override {
        return pastePrefix + text;
    }
    PasteReadBack verifyInsertion(const QString& pasted, const FocusedTargetSnapshot& target,
                                  const std::optional<TextInsertionPoint>&) override {
        verifiedTexts << pasted;
        verifiedOn << target;
        return verifyAnswer.next();
    }
};

class FakePasteboardWriter final : public ClipboardWriting {
public:
    QStringList calls;
    // What the clipboard holds; writeString replaces it.
    QList<ClipboardItemSnapshot> contents;
    ScriptedOutcome writeOutcome;
    // Another application's copy, made right after the next write of ours (the words never hold the
    // clipboard for long). It stays until we write again: a restore or a keepWritten goes only over
    // our own words.
    std::optional<ClipboardItemSnapshot> copyAfterWrite;

    QList<ClipboardItemSnapshot> snapshot() override { return calls << QStringLiteral("snapshot"), contents; }
    void writeString(const QString& text) override {
        calls << QStringLiteral("writeString(%1)").arg(text);
        writeOutcome.next();
        ClipboardItemSnapshot item;
        item.representations.insert(QStringLiteral("text/plain"), text.toUtf8());
        contents = {item};
        theirsOnTop = copyAfterWrite.has_value();
        if (theirsOnTop) contents = {*std::exchange(copyAfterWrite, std::nullopt)};
    }
    void restore(const QList<ClipboardItemSnapshot>& items) override {
        calls << QStringLiteral("restore(%1)").arg(items.size());
        if (!theirsOnTop) contents = items;
    }
    bool keepWritten(const QString& text) override {
        calls << QStringLiteral("keepWritten(%1)").arg(text);
        if (theirsOnTop) return false;
        ClipboardItemSnapshot item;
        item.representations.insert(QStringLiteral("text/plain"), text.toUtf8());
        contents = {item};
        return true;
    }
    // The target takes the words at once, unless the test holds the fetch.
    Sleeper fetchWait;
    // What the target's request for the words meets as a fetch is awaited (the judge given, if any).
    std::function<void(FakePasteboardWriter&)> onFetch;
    QCoro::Task<void> fetched(double timeoutSeconds, std::stop_token stopToken) override {
        calls << QStringLiteral("fetched(%1)").arg(timeoutSeconds);
        if (onFetch) onFetch(*this);
        return fetchWait ? fetchWait(timeoutSeconds, std::move(stopToken)) : sleepFor(0, std::move(stopToken));
    }
    RequestJudge judge;
    void judgeRequests(RequestJudge given) override { judge = std::move(given); }
    void awaitFetchBeforeTheEnd(double timeoutSeconds) override {
        calls << QStringLiteral("awaitFetchBeforeTheEnd(%1)").arg(timeoutSeconds);
    }

private:
    // Another application's copy stands over our last write.
    bool theirsOnTop = false;
};

class FakeTextInsertionStrategyResolver final : public TextInsertionStrategyResolving {
public:
    TextInsertionStrategy strategy = TextInsertionStrategy::accessibilityValueWrite;
    TextInsertionStrategy resolve(const FocusedTargetSnapshot&) const override { return strategy; }
};

// Each wait ends on the next turn of the event loop, as the next focus event would end it.
class FakeFocusChangeAwaiter final : public FocusChangeAwaiting {
public:
    QList<double> timeouts;
    std::function<void()> onWait;  // what passes meanwhile
    bool focusAway = false;        // until the next wait ends: the focus comes back with its event

    bool isFocusAway() const override { return focusAway; }
    // Waits held open until the test lets them go; a turn of the event loop each otherwise.
    HeldCalls moves;

    QCoro::Task<void> nextFocusChange(double timeoutSeconds, std::stop_token stopToken) override {
        timeouts.append(timeoutSeconds);
        focusAway = false;
        if (onWait) onWait();
        co_await moves.pass(stopToken);
        co_await sleepFor(0, stopToken);
    }

    // How long ago the target's application last reported a focus gain; none when it never did.
    std::optional<std::chrono::milliseconds> report;
    // Whether a wait for its next report ends with one (then just now), or by its time.
    bool reportComes = true;
    QList<double> reportTimeouts;
    std::function<void()> onReportWait;  // what passes meanwhile, the report in
    QList<qint32> reportsAskedOf;

    std::optional<std::chrono::milliseconds> sinceFocusReport(qint32 processIdentifier) override {
        reportsAskedOf.append(processIdentifier);
        return report;
    }
    QCoro::Task<bool> nextFocusReport(qint32, double timeoutSeconds, std::stop_token stopToken) override {
        reportTimeouts.append(timeoutSeconds);
        co_await moves.pass(stopToken);
        co_await sleepFor(0, stopToken);
        if (reportComes) report = std::chrono::milliseconds(0);
        if (onReportWait) onReportWait();
        co_return reportComes;
    }
};

class FakeSyntheticPastePerformer final : public SyntheticPastePerforming {
public:
    QList<FocusedTargetSnapshot> pastedInto;
    ScriptedOutcome outcome;
    // What passes before the last look: the waits for the modifiers and a terminal.
    std::function<void()> beforeLastLook;
    // How long ago a key was pressed, as the last look is told.
    std::optional<std::chrono::milliseconds> sinceKeyPress;
    // What passes after the keys went out; `keysOut` as they go, before anything else.
    std::function<void()> afterKeys, keysOut;
    // A key is pressed while the next last look runs: it is called again, told so, as the real one is.
    bool keyDuringLook = false;

    // Whether key presses are watched, as the session turned it.
    QList<bool> watching;
    // The next pastes whose keys a press overtook: they go out and are refused the words, after
    // `onOvertaken` (the focus where the press took it).
    int overtaken = 0;
    std::function<void()> onOvertaken;
    QList<FocusedTargetSnapshot> refusedInto;

    QCoro::Task<void> performPaste(FocusedTargetSnapshot target, LastLook lastLook, std::stop_token) override {
        outcome.next();
        if (beforeLastLook) beforeLastLook();
        if (lastLook) lastLook(sinceKeyPress);
        if (lastLook && std::exchange(keyDuringLook, false)) lastLook(std::chrono::milliseconds(0));
        if (keysOut) keysOut();
        if (overtaken > 0) {
            --overtaken;
            refusedInto.append(target);
            if (onOvertaken) onOvertaken();
            throw PasteKeysOvertaken();
        }
        pastedInto.append(target);
        if (afterKeys) afterKeys();
        co_return;
    }
    void watchKeyPresses(bool on) override { watching.append(on); }
};

}  // namespace quorvelle::test
