#include <gtest/gtest.h>

#include <stdexcept>

#include "package/SettingsSlot.h"
#include "package/TempFileNames.h"

namespace velvane {
namespace {

std::vector<std::uint8_t> Slot(const char* field) {
    std::vector<std::uint8_t> slot(8, 0x07);
    slot.insert(slot.end(), {'Q', 'Z', 0x07});
    for (int i = 0; i < 9; ++i) slot.push_back(static_cast<std::uint8_t>(field[i]));
    slot.insert(slot.end(), 7, 0x07);
    slot.insert(slot.end(), {'Q', 'Z'});
    return slot;
}

TEST(SettingsSlot, PristineFieldReadsAsTheOneNulMarker) {
    auto slot = Slot("\a\a\a\a\a\a\a\a\a");
    ASSERT_EQ(slot.size(), SlotSize);
    const std::wstring text = OffsetFieldText(slot.data(), slot.size());
    EXPECT_EQ(text, EmptySlotMarker);
    EXPECT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0], L'\0');
}

TEST(SettingsSlot, DigitsAreReturnedAsText) {
    auto slot = Slot("000131072");
    EXPECT_EQ(OffsetFieldText(slot.data(), slot.size()), L"000131072");
    // Eight BELs and one digit is a field like any other, not the marker.
    auto odd = Slot("\a\a\a\a\a\a\a\a5");
    EXPECT_EQ(OffsetFieldText(odd.data(), odd.size()).size(), 9u);
}

TEST(SettingsSlot, ShortOrMissingSlotIsAFailure) {
    auto slot = Slot("000131072");
    EXPECT_THROW(OffsetFieldText(slot.data(), 19), std::runtime_error);
    EXPECT_NO_THROW(OffsetFieldText(slot.data(), 20));
    EXPECT_THROW(OffsetFieldText(nullptr, 0), std::runtime_error);
}

TEST(TempFileNames, UpperCaseHexWithoutLeadingZeros) {
    EXPECT_EQ(TempFileLeafName(0), L"~0.tmp");
    EXPECT_EQ(TempFileLeafName(0x1A2B), L"~1A2B.tmp");
    EXPECT_EQ(TempFileLeafName(0x3FA9C1), L"~3FA9C1.tmp");
    EXPECT_EQ(TempFileLeafName(TempNameLimit - 1), L"~FFFFFE.tmp");
    EXPECT_EQ(TempFileLeafName(16), L"~10.tmp");
}

TEST(ProgramPath, AlwaysEndsInExe) {
    EXPECT_EQ(ExePathFromModulePath(L"D:\\Apps\\viewer.exe"), L"D:\\Apps\\viewer.exe");
    EXPECT_EQ(ExePathFromModulePath(L"D:\\Apps\\viewer.EXE"), L"D:\\Apps\\viewer.exe");
    EXPECT_EQ(ExePathFromModulePath(L"D:\\Apps\\viewer.scr"), L"D:\\Apps\\viewer.exe");
    EXPECT_EQ(ExePathFromModulePath(L"D:\\my.apps\\viewer"), L"D:\\my.apps\\viewer.exe");
    EXPECT_EQ(ExePathFromModulePath(L"D:\\Apps\\v.1.2.exe"), L"D:\\Apps\\v.1.2.exe");
    EXPECT_EQ(ExePathFromModulePath(L"C:\\\u5199\u771f\\\u00e9t\u00e9.exe"), L"C:\\\u5199\u771f\\\u00e9t\u00e9.exe");
}

}  // namespace
}  // namespace velvane
