#pragma once

#include "engine_commands.h"
#include "job_request.h"
#include "progress_reporter.h"
#include "run_log.h"

#include <optional>
#include <string>
#include <vector>

namespace cantova {

// The engine passes of one job over its source and its written files. Every pass is logged; a
// pass whose engine fails, or reports that it could not write, ends the job.
class JobPasses {
public:
    JobPasses(EncodePlan plan, std::vector<std::string> filters, std::vector<int> outputFiles,
              RunLog& log, ProgressReporter& progress);

    // Encodes with the gain (dB) after the processing; when asked, measures the encoder's
    // input on the way and returns its peak (dBFS) before the gain.
    std::optional<double> encode(double gainDb, int from, int to, bool measureInput = false);

    // The peak (dBFS) of the processed source, exactly as the encoding pass receives it.
    double measureSource(int from, int to);

    // Reads the written files back: fails the job when they play shorter than the encoding
    // pass made them by more than one frame of the target. When the peak is asked for, they
    // are decoded as a player would, and the peak (dBFS) is returned; decoded once at most after
    // each encoding pass.
    std::optional<double> checkWritten(int from, int to, bool measurePeak);

private:
    std::vector<EngineOutcome> run(const std::vector<EngineCommand>& engines);
    double loggedPeak(const std::string& errorOutput, const std::string& when);

    EncodePlan plan_;
    std::vector<std::string> filters_;
    std::vector<int> outputFiles_;
    RunLog& log_;
    ProgressReporter& progress_;
    long long plannedMicroseconds_ = 0;
    std::optional<double> writtenPeak_; // set by checkWritten, cleared by encode
    bool writtenChecked_ = false;
};

// The gain (dB) that brings a peak (dBFS) to full scale: the largest 16-bit sample, 32767.
// A silent input (no finite peak) gets none.
double fullScaleGain(double peakDb);

// Runs the passes of the gain mode. For encoded targets (lossy) every gain mode ends with the
// decoded output checked: a peak above full scale is taken off by encoding once more.
void runGainPasses(JobPasses& passes, GainMode mode, bool lossy);

} // namespace cantova
