#include <set>

#include "Rows.h"
#include "package/PackageBag.h"
#include "package/SettingsSlot.h"
#include "package/TempFileNames.h"

namespace velvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(PackageBag, RoundTripsEveryKindAndRefusesEveryDamage) {
    PackageBag bag, back;
    const std::pair<const wchar_t*, PackageValue> entries[] = {
        {L"Ras", std::int32_t{6}}, {L"Ras1", Bytes{0x89, 'P', 0, 0, 'G', 0}}, {L"Ras2", std::wstring(L"Ras1Ras")}, {L"top1", -1234.5f},
        {L"size1", 0.333}, {L"dontontop1", true}, {L"opacity1", std::int16_t{-32768}}, {L"", std::wstring()}, {L"\u5199\u771f", Bytes{}}};
    for (const auto& [name, value] : entries) bag.WriteValue(name, value);
    const Bytes bytes = bag.SaveContents();
    back.LoadContents(bytes);
    EXPECT_EQ(back.Entries(), bag.Entries());
    EXPECT_THROW(bag.ReadValue(L"ras"), PackageError) << "names keep their case";
    EXPECT_THROW(ReadAs<double>(bag, L"top1"), PackageError);

    // Every truncation and a stray byte are refused and leave the old contents.
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) EXPECT_THROW(back.LoadContents(Bytes(bytes.begin(), bytes.begin() + cut)), PackageError) << cut;
    Bytes longer = bytes;
    longer.push_back(0);
    EXPECT_THROW(back.LoadContents(longer), PackageError);
    EXPECT_EQ(back.Entries(), bag.Entries());

    Bytes record = MakePackageRecord(bytes);
    record.insert(record.end(), {1, 2, 3});  // whatever follows is not read
    EXPECT_EQ(ReadPackageRecord(record.data(), record.size()), bytes);
    EXPECT_THROW(ReadPackageRecord(record.data(), bytes.size() + 7), PackageError);
    EXPECT_THROW(ReadPackageRecord(record.data() + 1, record.size() - 1), PackageError);
}

TEST(PackageBag, StoredValuesConvertByValue) {
    const struct { PackageValue value; std::optional<double> number; std::optional<bool> flag; } cases[] = {
        {std::int32_t{6}, 6.0, true}, {std::int16_t{-1}, -1.0, true}, {0.333, 0.333, true}, {6.0f, 6.0, true}, {true, -1.0, true},
        {false, 0.0, false}, {std::wstring(L" 6 "), 6.0, true}, {std::wstring(L"0"), 0.0, false}, {std::wstring(L"False"), std::nullopt, false},
        {std::wstring(L"TRUE"), std::nullopt, true}, {std::wstring(L"six"), std::nullopt, std::nullopt},
        {std::wstring(L"6x"), std::nullopt, std::nullopt}, {Bytes{6}, std::nullopt, std::nullopt}};
    for (const auto& c : cases) EXPECT_EQ(std::make_pair(NumberOf(c.value), BooleanOf(c.value)), std::make_pair(c.number, c.flag)) << &c - cases;
}

Bytes Slot(const char* field = "\a\a\a\a\a\a\a\a\a") {
    Bytes slot(29, 7);
    slot[8] = slot[27] = 'Q';
    slot[9] = slot[28] = 'Z';
    std::copy(field, field + 9, slot.begin() + 11);
    return slot;
}

TEST(SettingsSlot, OffsetFieldAndPatchingEveryEvenCopy) {
    const Bytes pristine = Slot(), patched = PatchedSlot(pristine.data(), SlotSize, 131072);
    EXPECT_EQ(OffsetFieldText(pristine.data(), SlotSize), EmptySlotMarker);
    EXPECT_EQ(OffsetFieldText(Slot("\a\a\a\a\a\a\a\a5").data(), SlotSize).size(), 9u) << "only nine BELs are empty";
    EXPECT_THROW(OffsetFieldText(pristine.data(), 19), std::runtime_error);
    EXPECT_EQ(patched, Slot("000131072"));
    EXPECT_EQ(OffsetFieldText(patched.data(), SlotSize), L"000131072");
    EXPECT_EQ(PatchedSlot(pristine.data(), SlotSize, 999999999), Slot("999999999"));
    EXPECT_THROW(PatchedSlot(pristine.data(), SlotSize, 1000000000), std::runtime_error);
    Bytes file(10, 0xAA);  // copies at 10 and 40 (even) and 69 (odd)
    for (std::size_t gap : {1, 0, 0}) file.insert(file.end(), pristine.begin(), pristine.end()), file.insert(file.end(), gap, 0xAA);
    EXPECT_EQ(ReplaceSlot(file, pristine, patched), 2u);
    EXPECT_EQ(Bytes(file.begin() + 10, file.begin() + 39), patched);
    EXPECT_EQ(Bytes(file.begin() + 40, file.begin() + 69), patched);
    EXPECT_EQ(Bytes(file.begin() + 69, file.end()), pristine);
}

TEST(Names, TemporaryFilesProgramPathAndNumberedCopies) {
    const std::pair<std::uint32_t, const wchar_t*> leaves[] = {{0, L"~0.tmp"}, {16, L"~10.tmp"}, {0x1A2B, L"~1A2B.tmp"}, {TempNameLimit - 1, L"~FFFFFE.tmp"}};
    for (const auto& [value, leaf] : leaves) EXPECT_EQ(TempFileLeafName(value), leaf);
    const std::pair<const wchar_t*, const wchar_t*> paths[] = {
        {L"D:\\A\\v.exe", L"D:\\A\\v.exe"}, {L"D:\\A\\v.EXE", L"D:\\A\\v.exe"}, {L"D:\\A\\v.scr", L"D:\\A\\v.exe"},
        {L"D:\\my.apps\\v", L"D:\\my.apps\\v.exe"}, {L"D:\\A\\v.1.2.exe", L"D:\\A\\v.1.2.exe"}, {L"C:\\\u5199\u771f\\\u00e9t\u00e9.exe", L"C:\\\u5199\u771f\\\u00e9t\u00e9.exe"}};
    for (const auto& [module, exe] : paths) EXPECT_EQ(ExePathFromModulePath(module), exe);
    const std::set<std::wstring> taken = {L"D:\\A\\V1.exe", L"D:\\A\\V3.exe"};  // the first free number, gaps too
    EXPECT_EQ(NumberedExePath(L"D:\\A\\V.exe", [&](const std::wstring& p) { return taken.count(p) != 0; }), L"D:\\A\\V2.exe");
    EXPECT_EQ(NumberedExePath(L"D:\\A\\V.exe", [](const std::wstring&) { return true; }), L"");
}

}  // namespace
}  // namespace velvane
