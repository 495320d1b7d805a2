#include "dsp/ParameterMapping.h"

namespace ka813 {

namespace {
int32_t switchState(float position)
{
    return switchIsOn(position) ? 1 : 0;
}
}  // namespace

AmpSettings settingsFor(const ParameterPositions& p)
{
    AmpSettings s;
    // The switches first: the input level and channel A's drive read the mode.
    s.setChannelB(switchState(p.channel));
    s.setCrunchA(switchState(p.cleanCrunch));
    s.setHighGainB(switchState(p.lowHighGain));
    s.setFocusA(switchState(p.focusA));
    s.setBottomA(switchState(p.bottomA));
    s.setBrightA(switchState(p.brightA));
    s.setFocusB(switchState(p.focusB));
    s.setBottomB(switchState(p.bottomB));
    s.setBrightB(switchState(p.brightB));
    s.setStereo(switchState(p.stereo));
    s.setHighQuality(switchState(p.highQuality));

    s.setInputLevel(p.input);
    s.setDriveA(p.driveA);
    s.setLowA(p.lowA);
    s.setMidA(p.midA);
    s.setHighA(p.highA);
    s.setContourA(p.contourA);
    s.setDriveB(p.driveB);
    s.setLowB(p.lowB);
    s.setMidB(p.midB);
    s.setHighB(p.highB);
    s.setContourB(p.contourB);
    s.setVolume(p.volume);
    return s;
}

}  // namespace ka813
