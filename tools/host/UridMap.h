// The URID map an LV2 host hands its plug-ins and lilv's state: each URI
// gets the next number, the same one every time it is asked again.
#pragma once

#include <lv2/core/lv2.h>
#include <lv2/urid/urid.h>

#include <map>
#include <string>

namespace ka813 {

struct UridMap {
    std::map<std::string, LV2_URID> ids;
    LV2_URID_Map map{this, &UridMap::mapUri};
    LV2_Feature feature{LV2_URID__map, &map};

    static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri)
    {
        UridMap& self = *static_cast<UridMap*>(handle);
        auto found = self.ids.find(uri);
        if (found != self.ids.end())
            return found->second;
        const LV2_URID id = static_cast<LV2_URID>(self.ids.size() + 1);
        self.ids[uri] = id;
        return id;
    }
};

}  // namespace ka813
