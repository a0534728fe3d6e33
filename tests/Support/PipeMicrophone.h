#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace quorvelle::test {

// Runs pactl on the test sound server; its output, or nothing when it failed.
inline QByteArray pactl(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("pactl"), arguments);
    process.waitForFinished(20000);
    return process.exitCode() == 0 ? process.readAllStandardOutput().trimmed() : QByteArray();
}

// Adds a microphone that says what is written into `fifo` (16-bit little-endian); returns its module
// number for unloadPipeMicrophone, or nothing when the server refused it.
inline QByteArray loadPipeMicrophone(const QString& name, const QString& fifo, const QString& description,
                                     int rate = 16000, int channels = 1) {
    return pactl({QStringLiteral("load-module"), QStringLiteral("module-pipe-source"),
                  QStringLiteral("source_name=") + name, QStringLiteral("file=") + fifo, QStringLiteral("format=s16le"),
                  QStringLiteral("rate=%1").arg(rate), QStringLiteral("channels=%1").arg(channels),
                  QStringLiteral("source_properties=device.description=") + description});
}

// Takes the microphone away again, as unplugging it would.
inline void unloadPipeMicrophone(const QByteArray& module) {
    pactl({QStringLiteral("unload-module"), QString::fromLatin1(module)});
}

}  // namespace quorvelle::test
