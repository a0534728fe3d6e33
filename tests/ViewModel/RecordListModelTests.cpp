// The view model's lists as item models, all of one template: its instances pass Qt's model checks.
#include "ViewModelTestSupport.h"

#include "ViewModel/RecordListModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

namespace quorvelle::test {
namespace {

using RecordListModelTest = ViewModelTest;

VoiceSnippet snippet(const char* phrase) {
    return VoiceSnippet{QUuid::createUuid(), QString::fromUtf8(phrase), QStringLiteral("metin"), false};
}

QVariant valueOf(const QAbstractItemModel& model, int row, const QByteArray& role) {
    return model.data(model.index(row, 0), model.roleNames().key(role, -1));
}

TEST_F(RecordListModelTest, ListsPassTheModelChecks) {
    fakes.settingsStore->setSnippets({snippet("imza"), snippet("adres")});
    fakes.history->entries = {TranscriptHistoryEntry{QUuid::createUuid(), fakes.clock.now(), QStringLiteral("merhaba"),
                                                     1.0, 1, TranscriptHistoryCompletionKind::inserted}};
    fakes.audioDevices->devices = {AudioDeviceInfo{3, QStringLiteral("usb"), QStringLiteral("USB"), true}};
    AppViewModel& vm = make();
    const QList<QAbstractItemModel*> models{
        vm.preferences()->hotkeySuggestionsModel(), vm.dictionary()->snippetsModel(),
        vm.history()->transcriptHistoryEntriesModel(), vm.diagnostics()->audioDevicesModel(),
        vm.localModels()->localModelStatusesModel()};
    for (QAbstractItemModel* model : models) {
        SCOPED_TRACE(model->roleNames().values().join(' ').toStdString());
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        EXPECT_GT(model->rowCount(), 0);
    }
    EXPECT_EQ(valueOf(*vm.dictionary()->snippetsModel(), 1, "phrase"), QStringLiteral("adres"));
    EXPECT_EQ(valueOf(*vm.dictionary()->snippetsModel(), 0, "id"),
              fakes.settingsStore->snippets().first().id.toString(QUuid::WithoutBraces));
    EXPECT_EQ(valueOf(*vm.history()->transcriptHistoryEntriesModel(), 0, "completionKind"), QStringLiteral("inserted"));
    EXPECT_EQ(valueOf(*vm.diagnostics()->audioDevicesModel(), 0, "name"), QStringLiteral("USB"));
    EXPECT_FALSE(valueOf(*vm.dictionary()->snippetsModel(), 0, "noSuchField").isValid());
}

}  // namespace
}  // namespace quorvelle::test
