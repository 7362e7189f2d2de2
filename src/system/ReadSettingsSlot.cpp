#include "system/ReadSettingsSlot.h"

#include "common/ProgramTexts.h"
#include "core/SettingsSlot.h"
#include "system/OwnResources.h"

namespace velvane::mMain {

std::wstring ReadSettingsSlot() {
    const ResourceBytes slot = FindOwnResource(SettingsSlotResource, SettingsSlotResource);
    return OffsetFieldText(slot.data, slot.size);
}

}  // namespace velvane::mMain
