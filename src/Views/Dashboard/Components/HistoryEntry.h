#pragma once

#include <QObject>
#include <QString>
#include <QUuid>
#include <QtQmlIntegration>

namespace quorvelle {

// One row of the history page, every label ready to show.
struct HistoryEntry {
    Q_GADGET
    QML_VALUE_TYPE(historyEntry)
    Q_PROPERTY(QUuid id MEMBER id)
    Q_PROPERTY(QString transcript MEMBER transcript)
    Q_PROPERTY(QString timestampLabel MEMBER timestampLabel)
    Q_PROPERTY(QString wordCountLabel MEMBER wordCountLabel)
    Q_PROPERTY(QString durationLabel MEMBER durationLabel)
    Q_PROPERTY(QString completionKindLabel MEMBER completionKindLabel)
    Q_PROPERTY(QString dictionaryActionTitle MEMBER dictionaryActionTitle)

public:
    QUuid id;
    QString transcript;
    QString timestampLabel;
    QString wordCountLabel;
    QString durationLabel;
    QString completionKindLabel;
    QString dictionaryActionTitle;
};

}  // namespace quorvelle
