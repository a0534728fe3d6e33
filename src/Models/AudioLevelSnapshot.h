#pragma once

#include <QList>
#include <QObject>

#include <vector>

namespace quorvelle {

// Loudness of one converted audio buffer: RMS, peak and the bars of the live waveform, all 0...1.
struct AudioLevelSnapshot {
    Q_GADGET
    Q_PROPERTY(double averagePower MEMBER averagePower)
    Q_PROPERTY(double peakPower MEMBER peakPower)
    Q_PROPERTY(QList<qreal> barLevels READ barLevelList)

public:
    double averagePower = 0;
    double peakPower = 0;
    std::vector<double> barLevels;

    QList<qreal> barLevelList() const { return QList<qreal>(barLevels.begin(), barLevels.end()); }

    // The resting value: silence over `bars` bars.
    static AudioLevelSnapshot silent(int bars = 12) {
        return AudioLevelSnapshot{0, 0, std::vector<double>(static_cast<std::size_t>(bars > 0 ? bars : 1), 0.0)};
    }

    friend bool operator==(const AudioLevelSnapshot&, const AudioLevelSnapshot&) = default;
};

}  // namespace quorvelle
