// The panel's controls against the parameter table: one control per
// parameter, a knob for every continuous one and a switch for every switch.
#include <gtest/gtest.h>

#include <set>

#include "editor/PanelLayout.h"
#include "shell/ParameterTable.h"

using namespace ka813;

TEST(PanelControls, OneControlPerParameterOfTheRightKind) {
    std::set<int32_t> tags;
    int knobs = 0;
    for (const PanelControl& c : kPanelControls) {
        SCOPED_TRACE(c.tag);
        tags.insert(c.tag);
        const ParameterInfo* info = parameterInfo(c.tag);
        ASSERT_NE(info, nullptr);
        const bool knob = c.kind == ControlKind::knob;
        knobs += knob;
        EXPECT_EQ(knob, info->kind == ParameterKind::Continuous) << info->name;
        const bool large = c.tag == kParamInput || c.tag == kParamVolume;
        if (knob)
            EXPECT_EQ(c.image, large ? kLargeKnobImage : kSmallKnobImage);
        else
            EXPECT_EQ(c.image, c.tag == kParamChannel ? kChannelSwitchImage : kToggleImage);
    }
    EXPECT_EQ(tags.size(), static_cast<size_t>(kNumParameters));
    EXPECT_EQ(knobs, 12);
}
