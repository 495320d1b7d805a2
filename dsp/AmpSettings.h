// What the parameters make of the model: gain targets, tone knob positions,
// switches, volume and quality. A plain value, so that whoever receives the
// parameters can build it and hand it to the model whole.
#pragma once

#include <cstdint>

namespace ka813 {

struct AmpSettings {
    // Parameter positions, nominally 0 to 1, never clamped. Switches are
    // 0 or 1.
    void setInputLevel(double position);  // by the rule of the active mode
    void setChannelB(int32_t on) { channelB = on; }
    void setCrunchA(int32_t on) { crunchA = on; }
    void setHighGainB(int32_t on) { highGainB = on; }
    void setDriveA(double position);      // halved in clean mode
    void setDriveB(double position);
    void setLowA(double position) { lowA = position; }
    void setMidA(double position) { midA = position; }
    void setHighA(double position) { highA = position; }
    void setContourA(double position);
    void setLowB(double position) { lowB = position; }
    void setMidB(double position) { midB = position; }
    void setHighB(double position) { highB = position; }
    void setContourB(double position);
    void setFocusA(int32_t on) { focusA = on; }
    void setBottomA(int32_t on) { bottomA = on; }
    void setBrightA(int32_t on) { brightA = on; }
    void setFocusB(int32_t on) { focusB = on; }
    void setBottomB(int32_t on) { bottomB = on; }
    void setBrightB(int32_t on) { brightB = on; }
    void setVolume(float gain) { volume = gain; }
    void setStereo(int32_t on) { stereo = on; }
    void setHighQuality(int32_t on) { highQuality = on; }

    // Targets of the gains the model glides per frame.
    double inputGainTarget = 0.0, driveATarget = 0.0, driveBTarget = 0.0;
    // The input gain and channel A's drive gain as clean channel A sets them,
    // whichever mode plays: while channel A's mode switch glides, the clean
    // design is made up for its own gains, not for those that play.
    double cleanInputGainA = 0.0, cleanDriveA = 0.0;
    // Channel A's second drive gain, its make-up reciprocal and sqrt(2 x).
    double driveAShaped = 0.0, driveAShapedInv = 0.0, driveAShapedRoot = 0.0;

    // Tone knobs as set, and each channel's output gain from its contour.
    double lowA = 0.0, midA = 0.0, highA = 0.0, contourA = 0.0, contourAShaped = 0.0;
    double lowB = 0.0, midB = 0.0, highB = 0.0, contourB = 0.0, contourBShaped = 0.0;

    float volume = 0.f;

    // Switches, 0 or 1.
    int32_t channelB = 0, crunchA = 0, highGainB = 0;
    int32_t focusA = 0, bottomA = 0, brightA = 0;
    int32_t focusB = 0, bottomB = 0, brightB = 0;
    int32_t stereo = 0;
    int32_t highQuality = 0;  // doubles the oversampling factor
};

}  // namespace ka813
