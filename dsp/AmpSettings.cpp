// Parameter positions to model values.
#include "dsp/AmpSettings.h"

#include <cmath>

#include "dsp/CircuitValues.h"
#include "dsp/ParameterCurves.h"

namespace ka813 {

// Clean channel A takes half the input gain (above its floor) and half the
// drive gain of the other three modes.

void AmpSettings::setInputLevel(double position)
{
    const bool cleanA = channelB == 0 && crunchA == 0;
    inputGainTarget = cleanA ? position + kInputGainFloor : kInputGainScale * position + kInputGainFloor;
    // Halved back from the target rather than taken from the position: the
    // two differ in the last bit for about one position in a hundred, and
    // this one keeps the output what it has been, to the last bit.
    cleanInputGainA =
        cleanA ? inputGainTarget : (inputGainTarget - kInputGainFloor) / kInputGainScale + kInputGainFloor;
}

void AmpSettings::setDriveA(double position)
{
    const double drive = driveCurve(position);
    cleanDriveA = drive * kCleanDriveScale;
    driveATarget = crunchA == 0 ? cleanDriveA : drive;
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

}  // namespace ka813
