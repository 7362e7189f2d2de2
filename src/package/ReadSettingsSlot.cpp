#include "package/ReadSettingsSlot.h"

#include "common/ProgramTexts.h"
#include "package/OwnResources.h"
#include "package/SettingsSlot.h"

namespace velvane::mMain {

std::wstring ReadSettingsSlot() {
    const ResourceBytes slot = FindOwnResource(SettingsSlotResource, SettingsSlotResource);
    return OffsetFieldText(slot.data, slot.size);
}

}  // namespace velvane::mMain
