// Parameter positions to model values.
#include "dsp/AmpSettings.h"

#include <cmath>

#include "dsp/ParameterCurves.h"

void AmpSettings::setInputLevel(double position)
{
    // Clean channel A takes half the input gain of the other three modes.
    const bool cleanA = channelB == 0 && crunchA == 0;
    inputGainTarget = cleanA ? position + 0.0001 : 2.0 * position + 0.0001;
}

void AmpSettings::setDriveA(double position)
{
    const double drive = driveCurve(position);
    driveATarget = crunchA == 0 ? drive * 0.5 : drive;
    driveAShaped = shapedDrive(drive);
    driveAShapedInv = 1.0 / (driveAShaped + 0.00001);
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
