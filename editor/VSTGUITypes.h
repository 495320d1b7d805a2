#pragma once
// Value types shared by every view of the panel kit, and its reference-counting base.
#include <cstdint>

#include "editor/platform/KitTypes.h"

namespace VSTGUI {

// Virtual keys and modifier bits of the host's key records.
enum : uint8_t {
    VKEY_TAB = 2,
    VKEY_LEFT = 11,
    VKEY_UP = 12,
    VKEY_RIGHT = 13,
    VKEY_DOWN = 14,
};
enum : uint8_t {
    MODIFIER_SHIFT = 1,
    MODIFIER_ALTERNATE = 2,
    MODIFIER_COMMAND = 4,
    MODIFIER_CONTROL = 8,
};

// The key record of the host interface: character, virtual key, modifier bits.
struct VstKeyCode {
    int32_t character;
    uint8_t virt;
    uint8_t modifier;
};

class CReferenceCounter {
public:
    CReferenceCounter() = default;
    CReferenceCounter(const CReferenceCounter&) = delete;
    CReferenceCounter& operator=(const CReferenceCounter&) = delete;
    virtual ~CReferenceCounter() = default;

    virtual void forget() {
        if (--nbReference == 0)
            delete this;
    }
    virtual void remember() { ++nbReference; }
    int32_t getNbReference() const { return nbReference; }

private:
    int32_t nbReference = 1;
};

}  // namespace VSTGUI
