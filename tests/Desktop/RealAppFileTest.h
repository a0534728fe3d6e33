#pragma once

#include "RealAppDictation.h"
#include "TestEventLoop.h"

#include <QFile>
#include <QRegularExpression>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace quorvelle::test {

// A test that dictates into real applications working on files of its own folder: the rig made
// ready, files written there and read back once the application saved them.
class RealAppFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
        ASSERT_TRUE((dictation = std::make_unique<RealAppDictation>())->isReady());
    }
    QString path(const QString& name) const { return dictation->folder.path() + u'/' + name; }
    bool write(const QString& name, const QByteArray& contents) const {
        QFile file(path(name));
        return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
    }
    // Waits for the file to hold the text; what it held last.
    QString waitForFileContaining(const QString& name, const QString& text) const {
        QString contents;
        waitUntil(
            [&] {
                QFile file(path(name));
                return file.open(QIODevice::ReadOnly) && (contents = QString::fromUtf8(file.readAll())).contains(text);
            },
            30000);
        return contents;
    }

    // Saves the document in front (Control+S) and waits until its file holds the last of the words;
    // each of the words the file holds where the pattern's %1 stands, in the file's order.
    QStringList savedWords(const QString& name, const QStringList& words, const QString& pattern) const {
        if (!RealApp::pressKeys(u"ctrl+s"_qs)) return {};
        const QString saved = waitForFileContaining(name, words.last());
        const QRegularExpression found(pattern.arg(u'(' + words.join(u'|') + u')'));
        QStringList kept;
        for (auto it = found.globalMatch(saved); it.hasNext();)
            kept.append(it.next().captured(1));
        if (kept != words) ADD_FAILURE() << "the saved document: " << saved.toStdString();
        return kept;
    }

    // A flat spreadsheet document whose one sheet holds these rows.
    static QByteArray sheetDocument(const QByteArray& rows) {
        return R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2"
 office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:body><office:spreadsheet><table:table table:name="Sheet1">)" +
               rows + "</table:table></office:spreadsheet></office:body></office:document>\n";
    }
    // Calc, as GTK 3 shows it, on the sheet of that name in the folder; null when it never showed.
    std::unique_ptr<RealApp> calc(const QString& sheet) const {
        qputenv("SAL_USE_VCLPLUGIN", "gtk3");
        return RealApp::launch(
            u"soffice"_qs,
            {u"--calc"_qs, u"--norestore"_qs, u"--nologo"_qs,
             u"-env:UserInstallation="_qs + QUrl::fromLocalFile(path(u"calc"_qs)).toString(), path(sheet)},
            u'^' + sheet);
    }

    std::unique_ptr<RealAppDictation> dictation;
};

}  // namespace quorvelle::test
