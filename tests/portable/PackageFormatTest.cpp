#include <gtest/gtest.h>

#include <set>

#include "package/PackageBag.h"
#include "package/SettingsSlot.h"
#include "package/TempFileNames.h"

namespace velvane {
namespace {

PackageBag EveryKind() {
    PackageBag bag;
    bag.WriteValue(L"Ras", std::int32_t{6});
    bag.WriteValue(L"Ras1", std::vector<std::uint8_t>{0x89, 'P', 0, 0, 'G', 0});
    bag.WriteValue(L"Ras2", std::wstring(L"Ras1Ras"));
    bag.WriteValue(L"top1", -1234.5f);
    bag.WriteValue(L"size1", 0.333);
    bag.WriteValue(L"dontontop1", true);
    bag.WriteValue(L"dontmoveable1", false);
    bag.WriteValue(L"opacity1", std::int16_t{-32768});
    bag.WriteValue(L"", std::wstring());
    bag.WriteValue(L"\u5199\u771f", std::vector<std::uint8_t>{});
    return bag;
}

TEST(PackageBag, RoundTripsEveryKindExactlyAndInOrder) {
    const PackageBag bag = EveryKind();
    PackageBag back;
    back.LoadContents(bag.SaveContents());
    ASSERT_EQ(back.Entries().size(), bag.Entries().size());
    for (std::size_t i = 0; i < bag.Entries().size(); ++i) {
        EXPECT_EQ(back.Entries()[i].first, bag.Entries()[i].first) << i;
        EXPECT_EQ(KindOf(back.Entries()[i].second), KindOf(bag.Entries()[i].second)) << i;
        EXPECT_EQ(back.Entries()[i].second, bag.Entries()[i].second) << i;
    }
    EXPECT_EQ(ReadAs<std::vector<std::uint8_t>>(back, L"Ras1").size(), 6u);
    EXPECT_EQ(ReadAs<float>(back, L"top1"), -1234.5f);
}

TEST(PackageBag, AbsentNameAndWrongKindAreFailures) {
    const PackageBag bag = EveryKind();
    EXPECT_THROW(bag.ReadValue(L"Ras3"), PackageError);
    EXPECT_THROW(bag.ReadValue(L"ras"), PackageError);  // names keep their case
    EXPECT_THROW(ReadAs<std::int32_t>(bag, L"opacity1"), PackageError);
    EXPECT_THROW(ReadAs<double>(bag, L"top1"), PackageError);
}

TEST(PackageBag, StoredValuesConvertByValue) {
    const struct {
        PackageValue value;
        std::optional<double> number;
        std::optional<bool> flag;
    } cases[] = {
        {std::int32_t{6}, 6.0, true},
        {std::int16_t{-1}, -1.0, true},
        {0.333, 0.333, true},
        {6.0f, 6.0, true},
        {true, -1.0, true},
        {false, 0.0, false},
        {std::wstring(L" 6 "), 6.0, true},
        {std::wstring(L"0"), 0.0, false},
        {std::wstring(L"False"), std::nullopt, false},
        {std::wstring(L"TRUE"), std::nullopt, true},
        {std::wstring(L"six"), std::nullopt, std::nullopt},
        {std::wstring(L"6x"), std::nullopt, std::nullopt},
        {std::vector<std::uint8_t>{6}, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NumberOf(c.value), c.number) << c.value.index();
        EXPECT_EQ(BooleanOf(c.value), c.flag) << c.value.index();
    }
}

TEST(PackageBag, EveryTruncationAndStrayByteIsRefusedAndKeepsTheOldContents) {
    const std::vector<std::uint8_t> bytes = EveryKind().SaveContents();
    PackageBag bag;
    bag.WriteValue(L"keep", std::int32_t{1});
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        EXPECT_THROW(bag.LoadContents(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + cut)), PackageError)
            << cut;
    }
    std::vector<std::uint8_t> longer = bytes;
    longer.push_back(0);
    EXPECT_THROW(bag.LoadContents(longer), PackageError);
    EXPECT_EQ(ReadAs<std::int32_t>(bag, L"keep"), 1);
}

TEST(PackageBag, DamagedFieldsAreRefused) {
    PackageBag one;
    one.WriteValue(L"b", true);
    std::vector<std::uint8_t> bytes = one.SaveContents();
    ASSERT_EQ(bytes.size(), 14u);  // magic, count, name length, "b", kind, value
    std::vector<std::uint8_t> badBool = bytes;
    badBool.at(13) = 2;
    std::vector<std::uint8_t> badKind = bytes;
    badKind.at(12) = 99;
    std::vector<std::uint8_t> hugeCount = bytes;
    hugeCount[4] = hugeCount[5] = hugeCount[6] = hugeCount[7] = 0xff;
    std::vector<std::uint8_t> badMagic = bytes;
    badMagic[0] = 'X';
    PackageBag twice;
    twice.WriteValue(L"a", std::int32_t{1});
    twice.WriteValue(L"c", std::int32_t{2});
    std::vector<std::uint8_t> duplicate = twice.SaveContents();
    duplicate[duplicate.size() - 7] = 'a';  // the second name becomes "a" as well
    PackageBag bag;
    for (const auto* damaged : {&badBool, &badKind, &hugeCount, &badMagic, &duplicate})
        EXPECT_THROW(bag.LoadContents(*damaged), PackageError);
}

TEST(PackageRecord, CarriesItsOwnLength) {
    const std::vector<std::uint8_t> bag = EveryKind().SaveContents();
    std::vector<std::uint8_t> file = MakePackageRecord(bag);
    EXPECT_EQ(file.size(), bag.size() + 8);
    file.insert(file.end(), {1, 2, 3});  // whatever follows is not read
    EXPECT_EQ(ReadPackageRecord(file.data(), file.size()), bag);
    EXPECT_THROW(ReadPackageRecord(file.data(), bag.size() + 7), PackageError);
    EXPECT_THROW(ReadPackageRecord(file.data() + 1, file.size() - 1), PackageError);
    EXPECT_THROW(ReadPackageRecord(nullptr, 0), PackageError);
}

std::vector<std::uint8_t> PristineSlot() {
    std::vector<std::uint8_t> slot(29, 7);
    slot[8] = slot[27] = 'Q';
    slot[9] = slot[28] = 'Z';
    return slot;
}

TEST(SlotPatching, OffsetFieldHoldsNineDigits) {
    const auto slot = PristineSlot();
    const auto patched = PatchedSlot(slot.data(), slot.size(), 131072);
    EXPECT_EQ(std::string(patched.begin() + 11, patched.begin() + 20), "000131072");
    EXPECT_EQ(OffsetFieldText(patched.data(), patched.size()), L"000131072");
    EXPECT_EQ(std::vector<std::uint8_t>(patched.begin(), patched.begin() + 11),
              std::vector<std::uint8_t>(slot.begin(), slot.begin() + 11));
    EXPECT_EQ(std::vector<std::uint8_t>(patched.begin() + 20, patched.end()),
              std::vector<std::uint8_t>(slot.begin() + 20, slot.end()));
    EXPECT_EQ(OffsetFieldText(PatchedSlot(slot.data(), slot.size(), 999999999).data(), 29), L"999999999");
    EXPECT_THROW(PatchedSlot(slot.data(), slot.size(), 1000000000), std::runtime_error);
}

TEST(SlotPatching, ReplacesEveryEvenOccurrenceAndIgnoresOddOnes) {
    const auto slot = PristineSlot();
    const auto patched = PatchedSlot(slot.data(), slot.size(), 42);
    std::vector<std::uint8_t> file(10, 0xAA);
    file.reserve(128);
    const std::size_t first = file.size();  // even
    file.insert(file.end(), slot.begin(), slot.end());
    file.push_back(0xAA);  // 29 + 1: the next copy starts even again
    const std::size_t second = file.size();
    file.insert(file.end(), slot.begin(), slot.end());
    const std::size_t odd = file.size();  // 10 + 30 + 29 = odd
    file.insert(file.end(), slot.begin(), slot.end());
    ASSERT_EQ(first % 2, 0u);
    ASSERT_EQ(second % 2, 0u);
    ASSERT_EQ(odd % 2, 1u);

    EXPECT_EQ(ReplaceSlot(file, slot, patched), 2u);
    EXPECT_TRUE(std::equal(patched.begin(), patched.end(), file.begin() + first));
    EXPECT_TRUE(std::equal(patched.begin(), patched.end(), file.begin() + second));
    EXPECT_TRUE(std::equal(slot.begin(), slot.end(), file.begin() + odd));
    EXPECT_EQ(ReplaceSlot(file, slot, patched), 0u) << "the patched copies are not found again";
}

TEST(OutputPath, FirstFreeNumberBesideTheProgram) {
    std::set<std::wstring> taken = {L"D:\\Apps\\Velvan1.exe", L"D:\\Apps\\Velvan2.exe"};
    auto exists = [&](const std::wstring& p) { return taken.count(p) != 0; };
    EXPECT_EQ(NumberedExePath(L"D:\\Apps\\Velvan.exe", exists), L"D:\\Apps\\Velvan3.exe");
    taken.erase(L"D:\\Apps\\Velvan1.exe");
    EXPECT_EQ(NumberedExePath(L"D:\\Apps\\Velvan.exe", exists), L"D:\\Apps\\Velvan1.exe");
    EXPECT_EQ(NumberedExePath(L"D:\\Apps\\Velvan.exe", [](const std::wstring&) { return true; }), L"");
}

}  // namespace
}  // namespace velvane
