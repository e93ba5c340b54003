#pragma once

#include "device/protocol/Meter.h"

#include <cstdint>
#include <optional>
#include <random>

namespace zr::sim {

// The fuel sample in the simulated meter's cell: what the cell reads before any calibration,
// and at which measuring frequency.
class MeterSample {
public:
    // Reported while the sample is pushed out of that band.
    static constexpr std::uint16_t kOutOfRangeFrequency = 3850;

    struct Reading {
        double raw = 0.0;
        std::uint16_t frequency = 0;
    };

    explicit MeterSample(std::uint32_t noiseSeed = 6040);

    void setTrueOctane(double octane) { trueOctane_ = octane; }
    double trueOctane() const { return trueOctane_; }

    // Half-width of the uniform noise added to each raw reading; 0 makes readings repeatable.
    void setNoiseAmplitude(double amplitude) { noiseAmplitude_ = amplitude; }
    double noiseAmplitude() const { return noiseAmplitude_; }

    // Reports this frequency instead of the one the sample gives; nullopt restores the latter.
    void setFrequencyOverride(std::optional<std::uint16_t> frequency) {
        frequencyOverride_ = frequency;
    }
    std::optional<std::uint16_t> frequencyOverride() const { return frequencyOverride_; }

    // One measurement. An uncalibrated cell reads slightly off the true number, as a real one
    // does before its first calibration.
    Reading read();

    // The frequency the sample gives: the octane range 40..120 spread over the valid band.
    static std::uint16_t frequencyFor(double octane);
    static double uncalibratedReading(double octane) { return octane * 0.98 + 1.2; }

private:
    double trueOctane_ = 92.0;
    double noiseAmplitude_ = 0.0;
    std::optional<std::uint16_t> frequencyOverride_;
    std::mt19937 noise_;
};

} // namespace zr::sim
