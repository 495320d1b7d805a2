// The amplifier as a whole: the two audio sides and the values they share
// (smoothed gains, tone knobs, switches, the oversampling set-up). Parameter
// positions come in through the setters; the host's blocks through
// processBlock. Nothing here knows about hosts, programs or windows.
#pragma once

#include <cstdint>

#include "dsp/AmpSide.h"

struct AmpModel {
    // Chooses the oversampling factor for the host rate and the quality,
    // recomputes every coefficient of both sides and clears the linear
    // filters' histories. Triode states and half-band histories are kept.
    void setUp(float hostRate);
    // Configures the fourteen triode stages and solves their operating
    // points at the oversampled rate the last setUp chose.
    void setUpTriodes();

    // One host block, in place allowed. Re-runs setUp at the frame where a
    // quality change is pending.
    void processBlock(const float* const* inputs, float* const* outputs, int32_t frames);

    // The active channel's circuit on two consecutive oversampled samples of
    // one side, first the earlier.
    void processChannelPair(AmpSide& side, double& first, double& second);

    // Parameter positions, nominally 0 to 1, never clamped. Switches are
    // 0 or 1.
    void setInputLevel(double position);  // by the rule of the active mode
    void setChannelB(int32_t on);
    void setCrunchA(int32_t on);
    void setHighGainB(int32_t on);
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
    // Only flags the change: the audio thread recomputes between two frames.
    void setHighQuality(int32_t on);

    // A new model is all zero but for the smoothed gains, which start at
    // 0.5, and a pending recomputation; setUp and setUpTriodes complete it.

    // Set-up.
    float sampleRate = 0.f;          // host rate of the last setUp
    int32_t highQuality = 0;         // doubles the oversampling factor
    int32_t qualityChanged = 1;      // 1: the next frame runs setUp first
    int32_t oversamplingFactor = 0;  // 2, 4 or 8
    double oversampledPeriod = 0.0;  // T, seconds
    double oversampledRate = 0.0;    // 1 / T, Hz

    // Gains glided per frame towards their targets.
    double inputGain = 0.5, driveA = 0.5, driveB = 0.5;
    double inputGainTarget = 0.0, driveATarget = 0.0, driveBTarget = 0.0;
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

    AmpSide left{}, right{};

    // A quality change restarts the linear filters and changes the
    // resamplers' path, which would click: for a few milliseconds the
    // configuration it replaced keeps running on a copy of both sides and
    // the output cross-fades from it to the new one.
    static constexpr int32_t kQualityFadeFrames = 256;
    int32_t fadeFramesLeft = 0;
    int32_t fadeFactor = 0;
    double fadeRate = 0.0;
    AmpSide fadeLeft{}, fadeRight{};

private:
    void designSide(AmpSide& side);
    void setUpTriodes(AmpSide& side);
    void restoreSide(AmpSide& side);
    void recoverFromRunaway(float* const* outputs, int32_t frames, bool rightRan);
};
