#pragma once

namespace zr::sim {

class MeterModel;

// Fills the meter with a few calibrations and stored values, so that a newcomer running the
// program with the simulator sees every list filled. No calibration is put in force.
void loadDemonstrationContents(MeterModel& model);

} // namespace zr::sim
