// Parameter positions to model values.
#include <atomic>
#include <cmath>

#include "dsp/AmpModel.h"
#include "dsp/ParameterCurves.h"

void AmpModel::setInputLevel(double position)
{
    // Clean channel A takes half the input gain of the other three modes.
    const bool cleanA = channelB == 0 && crunchA == 0;
    inputGainTarget = cleanA ? position + 0.0001 : 2.0 * position + 0.0001;
}

void AmpModel::setChannelB(int32_t on) { channelB = on; }
void AmpModel::setCrunchA(int32_t on) { crunchA = on; }
void AmpModel::setHighGainB(int32_t on) { highGainB = on; }

void AmpModel::setDriveA(double position)
{
    const double drive = driveCurve(position);
    driveATarget = crunchA == 0 ? drive * 0.5 : drive;
    driveAShaped = shapedDrive(drive);
    driveAShapedInv = 1.0 / (driveAShaped + 0.00001);
    driveAShapedRoot = std::sqrt(2.0 * driveAShaped);
}

void AmpModel::setDriveB(double position) { driveBTarget = driveCurve(position); }

void AmpModel::setContourA(double position)
{
    contourAShaped = contourCurve(position);
    contourA = position;
}

void AmpModel::setContourB(double position)
{
    contourBShaped = contourCurve(position);
    contourB = position;
}

void AmpModel::setHighQuality(int32_t on)
{
    // The new quality is in place before the flag goes up, so an audio
    // thread that sees the flag also sees the quality it is for.
    highQuality = on;
    std::atomic_signal_fence(std::memory_order_release);
    qualityChanged = 1;
}
