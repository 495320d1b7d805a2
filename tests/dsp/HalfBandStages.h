// The three half-band stages each way, with the model's coefficients, as
// the block processing nests them from the host rate up to eight times it.
#pragma once

#include "dsp/HalfBand.h"

namespace ka813 {

struct HalfBandStages {
    HalfBandUpsampler<12> up1{};
    HalfBandUpsampler<8> up2{};
    HalfBandUpsampler<4> up3{};
    HalfBandDownsampler<12> down1{};
    HalfBandDownsampler<8> down2{};
    HalfBandDownsampler<4> down3{};

    HalfBandStages()
    {
        up1.setCoefficients(kHalfBand12);
        down1.setCoefficients(kHalfBand12);
        up2.setCoefficients(kHalfBand8);
        down2.setCoefficients(kHalfBand8);
        up3.setCoefficients(kHalfBand4);
        down3.setCoefficients(kHalfBand4);
    }
};

}  // namespace ka813
