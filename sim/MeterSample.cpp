#include "sim/MeterSample.h"

#include <algorithm>
#include <cmath>

namespace zr::sim {

namespace {
constexpr double kLowestOctane = 40.0;
constexpr double kHighestOctane = 120.0;
} // namespace

MeterSample::MeterSample(std::uint32_t noiseSeed) : noise_(noiseSeed) {}

std::uint16_t MeterSample::frequencyFor(double octane) {
    const double clamped =
        std::isfinite(octane) ? std::clamp(octane, kLowestOctane, kHighestOctane) : kLowestOctane;
    const double share = (clamped - kLowestOctane) / (kHighestOctane - kLowestOctane);
    const double band =
        protocol::meter::kHighestValidFrequency - protocol::meter::kLowestValidFrequency;
    return static_cast<std::uint16_t>(protocol::meter::kLowestValidFrequency +
                                      std::lround(share * band));
}

MeterSample::Reading MeterSample::read() {
    Reading reading;
    reading.raw = uncalibratedReading(trueOctane_);
    if (noiseAmplitude_ > 0.0) {
        std::uniform_real_distribution<double> noise(-noiseAmplitude_, noiseAmplitude_);
        reading.raw += noise(noise_);
    }
    reading.frequency = frequencyOverride_.value_or(frequencyFor(trueOctane_));
    return reading;
}

} // namespace zr::sim
