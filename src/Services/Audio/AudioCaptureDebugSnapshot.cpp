#include "AudioCaptureDebugSnapshot.h"

#include <QStringList>

#include <algorithm>

namespace quorvelle {

AudioCaptureDebugSnapshot AudioCaptureDebugSnapshot::empty() {
    AudioCaptureDebugSnapshot snapshot;
    snapshot.requestedDeviceLabel = QStringLiteral("System Default");
    snapshot.resolvedDeviceLabel = QStringLiteral("Bilinmiyor");
    snapshot.inputFormatSummary = QStringLiteral("Henuz yok");
    snapshot.targetFormatSummary = QStringLiteral("Henuz yok");
    return snapshot;
}

QString AudioCaptureDebugSnapshot::signalSummary() const {
    if (observedInputChannelPeakMagnitudes.empty()) return QStringLiteral("Henuz yok");
    QStringList items;
    for (std::size_t i = 0; i < observedInputChannelPeakMagnitudes.size(); ++i) {
        items << QStringLiteral("ch%1 %2").arg(i + 1).arg(observedInputChannelPeakMagnitudes[i], 0, 'f', 3);
    }
    return items.join(QStringLiteral(" / "));
}

QString AudioCaptureDebugSnapshot::bufferSummary() const {
    return QStringLiteral("Input %1, converted %2, last frames %3")
        .arg(observedInputBufferCount)
        .arg(observedConvertedBufferCount)
        .arg(lastObservedFrameLength);
}

std::vector<double> mergeChannelPeaks(const std::vector<double>& previous, const std::vector<double>& latest) {
    if (latest.empty()) return previous;
    std::vector<double> merged(std::max(previous.size(), latest.size()), 0.0);
    for (std::size_t i = 0; i < merged.size(); ++i) {
        const double a = i < previous.size() ? previous[i] : 0.0;
        const double b = i < latest.size() ? latest[i] : 0.0;
        merged[i] = std::clamp(std::max(a, b), 0.0, 1.0);
    }
    return merged;
}

}  // namespace quorvelle
