#pragma once
#include <QtGlobal>
#include <cstdint>
#include <vector>

#include "cd/Drive.h"
#include "cd/SecureReader.h"

// Reading a disc by stereo samples rather than sectors, as a read offset needs: a run of
// samples may start inside a sector, and samples before the disc's start or past its lead-out
// read as silence.
namespace trackmill {

inline constexpr int kBytesPerStereoSample = 4;

// Reads sampleCount samples from disc sample firstSample on into out (sampleCount x 4 bytes).
// sectors is the space the sectors are read into and must hold ceil(sampleCount / 588) + 1
// sectors at least. discSamples: the samples before the lead-out. False when a sector read fails.
bool ReadDiscSamples(const CdDrive& drive, std::vector<uint8_t>& sectors, qint64 firstSample,
                     qint64 sampleCount, qint64 discSamples, char* out);

// The same through a secure reader: out receives the copy, testOut (as long) what the test
// pass proved, testSectors is room as large as sectors. False only for a run off the disc.
bool ReadDiscSamplesSecurely(SecureReader& reader, std::vector<uint8_t>& sectors,
                             std::vector<uint8_t>& testSectors, qint64 firstSample, qint64 sampleCount,
                             qint64 discSamples, char* out, char* testOut);

}  // namespace trackmill
