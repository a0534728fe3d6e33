#include "Services/Storage/JsonFileUserDefaults.h"

#include "Services/Storage/DamagedFile.h"
#include "Services/Storage/JsonObjectMembers.h"
#include "Services/Storage/StoreFile.h"
#include "Support/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtDebug>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace quorvelle {

namespace {

// Far above what any user's settings come to; a bigger file would cost seconds and gigabytes to
// load and would be rewritten whole on every change, so it is treated as damaged, and a change
// that would make the file bigger is refused.
constexpr qint64 kMaximumFileSize = 16 * 1024 * 1024;
// A larger file is still read, up to this, for the values that fit: one huge value (a pasted book
// as custom instructions, say) costs that value, not every setting.
constexpr qint64 kMaximumReadSize = 128 * 1024 * 1024;

struct DecodedDomain {
    QMap<QString, DefaultsValue> values;
    QJsonObject undecoded;
};

// Only a file that is not one JSON object is damaged as a whole.
std::optional<QJsonObject> objectOf(const QByteArray& bytes) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
    return document.object();
}

// A value that does not decode is set apart alone, so that setting falls back to its default and
// the others are kept.
DecodedDomain decodeObject(const QJsonObject& object) {
    DecodedDomain domain;
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (auto decoded = DefaultsValue::fromTaggedJson(it.value())) {
            domain.values.insert(it.key(), std::move(*decoded));
        } else {
            domain.undecoded.insert(it.key(), it.value());
            qWarning("Settings value %s did not decode; its default applies and it is kept as stored",
                     qUtf8Printable(it.key()));
        }
    }
    return domain;
}

std::optional<DecodedDomain> decodeDomain(const QByteArray& bytes) {
    const auto object = objectOf(bytes);
    if (!object) return std::nullopt;
    return decodeObject(*object);
}

void sayTooLarge(const QString& key) {
    qWarning("Settings value %s is too large to read; its default applies", qUtf8Printable(key));
}

// Leaves out the largest members until the object fits within the size limit as the settings file
// holds it once written back, indented: what is kept must be writable, or the file set aside would
// leave none in its place.
void dropLargestUntilWritable(QJsonObject& object) {
    // Indented, an object is its members' lines, each with its comma or line feed, within "{\n" and "}\n".
    QList<std::pair<qint64, QString>> lines;
    qint64 size = 3;
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        const qint64 line =
            QJsonDocument(QJsonObject{{it.key(), it.value()}}).toJson(QJsonDocument::Indented).size() - 5 + 2;
        lines.append({line, it.key()});
        size += line;
    }
    std::sort(lines.begin(), lines.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& [line, key] : lines) {
        if (size <= kMaximumFileSize) break;
        object.remove(key);
        size -= line;
        sayTooLarge(key);
    }
}

// A file over the size limit, read without its largest values until the rest fits within it.
std::optional<DecodedDomain> decodeWithoutLargestValues(const QByteArray& bytes) {
    // Settings come to dozens of keys; a file of millions of tiny ones is damaged, and listing them
    // would cost far more memory than the file.
    const auto members = splitJsonObjectMembers(bytes, 10000);
    if (!members) return std::nullopt;
    QList<qsizetype> bySize(members->size());
    std::iota(bySize.begin(), bySize.end(), 0);
    std::sort(bySize.begin(), bySize.end(),
              [&](qsizetype a, qsizetype b) { return members->at(a).text.size() > members->at(b).text.size(); });
    QList<bool> kept(members->size(), true);
    // First by the members' text as it stands, so that the largest are never decoded.
    qint64 size = 2;
    for (const JsonObjectMember& member : *members)
        size += member.text.size() + 1;
    for (const qsizetype index : bySize) {
        if (size <= kMaximumFileSize) break;
        kept[index] = false;
        size -= members->at(index).text.size() + 1;
        const QJsonArray key = QJsonDocument::fromJson('[' + members->at(index).key.toByteArray() + ']').array();
        sayTooLarge(key.at(0).toString());
    }
    QByteArray rest = "{";
    for (qsizetype index = 0; index < members->size(); ++index) {
        if (!kept[index]) continue;
        if (rest.size() > 1) rest += ',';
        rest.append(members->at(index).text);
    }
    rest += '}';
    auto object = objectOf(rest);
    if (!object) return std::nullopt;
    dropLargestUntilWritable(*object);
    return decodeObject(*object);
}

// JSON has no NaN or infinity: Qt writes them as null, which no longer decodes as a number and
// would cost the whole file on the next start.
bool isStorable(const DefaultsValue& value) {
    if (const auto number = value.numberValue()) return std::isfinite(*number);
    if (const auto elements = value.arrayValue()) return std::all_of(elements->cbegin(), elements->cend(), isStorable);
    if (const auto members = value.dictionaryValue())
        return std::all_of(members->cbegin(), members->cend(), isStorable);
    return true;
}

}  // namespace

JsonFileUserDefaults::JsonFileUserDefaults(QString filePath, Clock now, SettingsFileWriter::WriteFile writeFile)
    : m_filePath(std::move(filePath)), m_writer(m_filePath, std::move(writeFile)) {
    load(now);
}

QString JsonFileUserDefaults::standardFilePath() {
    return QDir(AppPaths::configDirectory()).filePath(QStringLiteral("user-defaults.json"));
}

void JsonFileUserDefaults::load(const Clock& now) {
    const StoreFile file = StoreFile::read(m_filePath, kMaximumReadSize);
    if (file.outcome == StoreFile::Outcome::missing) return;
    const bool oversized = file.outcome == StoreFile::Outcome::read && file.bytes.size() > kMaximumFileSize;
    std::optional<DecodedDomain> decoded;
    if (file.outcome == StoreFile::Outcome::read)
        decoded = oversized ? decodeWithoutLargestValues(file.bytes) : decodeDomain(file.bytes);
    if (file.outcome == StoreFile::Outcome::refused)
        qWarning("Settings file %s refused: %s", qUtf8Printable(m_filePath), qUtf8Printable(file.reason));
    if (decoded) {
        m_values = std::move(decoded->values);
        m_undecoded = std::move(decoded->undecoded);
        if (!oversized) return;
    }
    // The file is kept whole beside. What was read of it goes back in its place at once: a quit
    // before the next change must not leave the settings file missing.
    if (const auto asidePath = setAsideDamagedFile(m_filePath, now())) {
        qWarning(decoded ? "Settings file %s is too large; kept as %s, read without its largest values"
                         : "Settings file %s did not decode; kept as %s, starting from the defaults",
                 qUtf8Printable(m_filePath), qUtf8Printable(*asidePath));
        if (decoded) {
            std::lock_guard lock(m_mutex);
            writeLocked(m_values);
        }
    } else {
        m_mayWrite = false;
        qWarning("Settings file %s could not be read whole nor moved aside; changes are not saved",
                 qUtf8Printable(m_filePath));
    }
}

std::optional<DefaultsValue> JsonFileUserDefaults::value(const QString& key) const {
    std::lock_guard lock(m_mutex);
    const auto it = m_values.constFind(key);
    if (it == m_values.cend()) return std::nullopt;
    return *it;
}

void JsonFileUserDefaults::setValue(const QString& key, const DefaultsValue& value) {
    if (!isStorable(value)) {
        qWarning("Settings value %s holds a number JSON cannot store; not saved", qUtf8Printable(key));
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        QMap<QString, DefaultsValue> changed = m_values;
        changed.insert(key, value);
        const QJsonValue replaced = m_undecoded.take(key);
        if (writeLocked(changed)) {
            m_values = std::move(changed);
            return;
        }
        if (!replaced.isUndefined()) m_undecoded.insert(key, replaced);
    }
    qWarning("Settings value %s not saved: the settings file would pass %lld MiB and could not be read back",
             qUtf8Printable(key), static_cast<long long>(kMaximumFileSize >> 20));
    reportRefusal(key);
}

void JsonFileUserDefaults::removeValue(const QString& key) {
    std::lock_guard lock(m_mutex);
    const bool held = m_values.remove(key) > 0 || m_undecoded.contains(key);
    m_undecoded.remove(key);
    if (!held) return;
    writeLocked(m_values);
}

QStringList JsonFileUserDefaults::keys() const {
    std::lock_guard lock(m_mutex);
    return m_values.keys();
}

void JsonFileUserDefaults::waitUntilWritten() {
    m_writer.waitUntilWritten();
}

// Runs under the lock, so the writer is handed the changes in the order they were made and the
// last one wins.
bool JsonFileUserDefaults::writeLocked(const QMap<QString, DefaultsValue>& values) {
    QJsonObject object = m_undecoded;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        object.insert(it.key(), it.value().toTaggedJson());
    const QByteArray bytes = QJsonDocument(object).toJson(QJsonDocument::Indented);
    if (bytes.size() > kMaximumFileSize) return false;
    if (m_mayWrite) m_writer.write(bytes);
    return true;
}

}  // namespace quorvelle
