#pragma once

#include "Services/Storage/SettingsFileWriter.h"
#include "Services/Storage/UserDefaults.h"

#include <QDateTime>
#include <QJsonObject>
#include <QMap>

#include <functional>
#include <mutex>

namespace quorvelle {

// The user defaults of one user, kept in memory and written through to one pretty-printed JSON
// file after every change (atomically, so a crash leaves the old file or the new one). The file is
// written on a thread of its own, newest change only, and the destructor waits for it.
// A file that is not a JSON object (or is over 128 MiB) is moved aside and the domain starts empty,
// so the defaults apply. A file over the 16 MiB size limit is moved aside too, but read without its
// largest values, as many as keep the rest within the limit. A single value that does not decode
// (damaged, or of a kind a later version wrote) reads as absent and is written back as it was, until
// the key is set or removed. A value holding a number JSON cannot write (NaN, infinity), or one that
// would make the file too large to read back, is refused and the key keeps its value; the refusal
// observer hears of the second.
// The file is read once, when the object is made: share one instance per file in a process.
class JsonFileUserDefaults final : public UserDefaults {
public:
    using Clock = std::function<QDateTime()>;

    // `writeFile` replaces the file; PrivateFile::write unless given.
    explicit JsonFileUserDefaults(QString filePath, Clock now = &QDateTime::currentDateTimeUtc,
                                  SettingsFileWriter::WriteFile writeFile = {});

    // $XDG_CONFIG_HOME/com.dovent.Quorvelle/user-defaults.json
    static QString standardFilePath();

    const QString& filePath() const { return m_filePath; }

    std::optional<DefaultsValue> value(const QString& key) const override;
    void setValue(const QString& key, const DefaultsValue& value) override;
    void removeValue(const QString& key) override;
    // Values that did not decode are left out: they read as absent.
    QStringList keys() const override;

    // Returns once the file holds every change made so far, for a reader other than this object.
    void waitUntilWritten() override;

private:
    void load(const Clock& now);
    // False, with nothing written, when the file would be too large to read back.
    bool writeLocked(const QMap<QString, DefaultsValue>& values);

    const QString m_filePath;
    mutable std::mutex m_mutex;
    QMap<QString, DefaultsValue> m_values;
    // The stored form of values that did not decode, kept for whoever can read them.
    QJsonObject m_undecoded;
    // False when a damaged file could not be moved aside: it must not be overwritten then.
    bool m_mayWrite = true;
    // Made from m_filePath, so declared after it.
    SettingsFileWriter m_writer;
};

}  // namespace quorvelle
