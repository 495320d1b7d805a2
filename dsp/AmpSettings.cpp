// Parameter positions to model values.
#include "dsp/AmpSettings.h"

#include <cmath>

#include "dsp/CircuitValues.h"
#include "dsp/ParameterCurves.h"

void AmpSettings::setInputLevel(double position)
{
    // Clean channel A takes half the input gain of the other three modes.
    const bool cleanA = channelB == 0 && crunchA == 0;
    inputGainTarget = cleanA ? position + kInputGainFloor : kInputGainScale * position + kInputGainFloor;
}

void AmpSettings::setDriveA(double position)
{
    const double drive = driveCurve(position);
    driveATarget = crunchA == 0 ? drive * kCleanDriveScale : drive;
    driveAShaped = shapedDrive(drive);
    driveAShapedInv = 1.0 / (driveAShaped + kMakeUpGuard);
    driveAShapedRoot = std::sqrt(2.0 * driveAShaped);
}

void AmpSettings::setDriveB(double position) { driveBTarget = driveCurve(position); }

void AmpSettings::setContourA(double position)
{
    contourAShaped = contourCurve(position);
    contourA = position;
}

void AmpSettings::setContourB(double position)
{
    contourBShaped = contourCurve(position);
    contourB = position;
}
