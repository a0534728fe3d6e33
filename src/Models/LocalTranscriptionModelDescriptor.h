// LocalTranscriptionModelDescriptor: one row of the built-in catalogue of local whisper models
// (display texts, size, file name, download address, expected SHA-1, recommendation, warning tier
// and tags). localModelDescriptor() gives the row of any id; it never fails.
#pragma once

#include "Models/LocalModelHostConfiguration.h"
#include "Models/LocalModelWarningTier.h"
#include "Models/LocalTranscriptionModelID.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace quorvelle {

struct LocalTranscriptionModelDescriptor {
    Q_GADGET
    Q_PROPERTY(QString id READ idName)
    Q_PROPERTY(QString title MEMBER title)
    Q_PROPERTY(QString subtitle MEMBER subtitle)
    Q_PROPERTY(QString sizeLabel MEMBER sizeLabel)
    Q_PROPERTY(qint64 diskSizeBytes MEMBER diskSizeBytes)
    Q_PROPERTY(bool isRecommended MEMBER isRecommended)
    Q_PROPERTY(QString warningTier READ warningTierName)
    Q_PROPERTY(QStringList tags MEMBER tags)

public:
    LocalTranscriptionModelID id = LocalTranscriptionModelID::tinyMultilingual;
    QString title;
    QString subtitle;
    QString sizeLabel;
    qint64 diskSizeBytes = 0;
    QString filename;  // also the last path segment of downloadURL
    QUrl downloadURL;
    QString expectedSHA1;  // 40 lower-case hex digits
    bool isRecommended = false;
    LocalModelWarningTier warningTier = LocalModelWarningTier::none;
    QStringList tags;

    QString idName() const { return rawValue(id); }
    QString warningTierName() const { return rawValue(warningTier); }

    friend bool operator==(const LocalTranscriptionModelDescriptor&,
                           const LocalTranscriptionModelDescriptor&) = default;
};

LocalTranscriptionModelDescriptor localModelDescriptor(LocalTranscriptionModelID id,
                                                       const LocalModelHostConfiguration& host = {});

// Where the file of a model with this file name is fetched from.
QUrl localModelDownloadURL(const QString& filename, const LocalModelHostConfiguration& host = {});

}  // namespace quorvelle
