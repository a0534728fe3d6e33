#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace quorvelle::test {

// Call from a static initializer, before main creates the application: the offscreen platform then
// shows one screen of this size (in logical pixels) and scale, like a small laptop or a HiDPI desktop.
inline bool useOffscreenScreen(int width, int height, int scale) {
    const QString path = QDir::temp().filePath(QStringLiteral("quorvelle-screen-%1x%2@%3-%4.json")
                                                   .arg(width)
                                                   .arg(height)
                                                   .arg(scale)
                                                   .arg(QCoreApplication::applicationPid()));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    // Qt scales by the logical DPI over the base DPI, as on an X11 desktop set to that scale; the
    // geometry is then in device pixels.
    file.write(QStringLiteral(R"({"screens":[{"name":"test","x":0,"y":0,"width":%1,"height":%2,)"
                              R"("logicalDpi":%3,"logicalBaseDpi":96}]})")
                   .arg(width * scale)
                   .arg(height * scale)
                   .arg(96 * scale)
                   .toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(path));
    return true;
}

}  // namespace quorvelle::test
