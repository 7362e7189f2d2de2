#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "Rows.h"
#include "core/PackageBag.h"
#include "core/OpenSetNames.h"
#include "core/PinSet.h"
#include "core/SettingsSlot.h"
#include "core/TempFileNames.h"

namespace velvane {

using Bytes = std::vector<std::uint8_t>;

// That every kind reads back as written, and that no damage gets through, is the fuzz run's (from
// seeds that hold every kind); here what it cannot see.
TEST(PackageBag, NamesKeepTheirCaseKindsAreStrictAndAFailedLoadChangesNothing) {
    PackageBag bag, back;
    bag.WriteValue(L"Ras", std::int32_t{6});
    bag.WriteValue(L"top1", -1234.5f);
    const Bytes bytes = bag.SaveContents();
    back.LoadContents(bytes);
    EXPECT_THROW(back.ReadValue(L"ras"), PackageError);
    EXPECT_THROW(ReadAs<double>(back, L"top1"), PackageError);
    EXPECT_THROW(back.LoadContents(Bytes(bytes.begin(), bytes.end() - 1)), PackageError);
    EXPECT_EQ(back.Entries(), bag.Entries());

    Bytes record = MakePackageRecord(bytes);
    record.insert(record.end(), {1, 2, 3});  // whatever follows is not read
    EXPECT_EQ(ReadPackageRecord(record.data(), record.size()), bytes);
    EXPECT_THROW(ReadPackageRecord(record.data(), bytes.size() + 7), PackageError);
    EXPECT_THROW(ReadPackageRecord(record.data() + 1, record.size() - 1), PackageError);

    // A pin set: the same record behind its signature and version; anything else is refused.
    Bytes pins = MakePinSet(bytes);
    EXPECT_TRUE(ReadPinSet(pins.data(), pins.size()) == bytes && HasPinSetSignature(pins.data(), 15) && !HasPinSetSignature(record.data(), record.size()));
    pins[15] = 2;
    EXPECT_THROW(ReadPinSet(pins.data(), pins.size()), PackageError) << "a later version";
}

// Eight BELs, "QZ", a BEL, the nine-character offset field, seven BELs, "QZ".
static Bytes Slot(const std::string& field = std::string(9, '\a')) {
    const std::string slot = std::string(8, '\a') + "QZ\a" + field + std::string(7, '\a') + "QZ";
    return Bytes(slot.begin(), slot.end());
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
    // A temporary file names the copy that made it; no other program's "~....tmp" reads as one.
    const OpenSetOwner copy{0x1A2B, 0x01DB2F00AABBCCDDull};
    EXPECT_EQ(TempFileLeafName(copy, 0x1F), L"~00001A2B01DB2F00AABBCCDD00001F.tmp");
    EXPECT_EQ(TempFileOwnerOf(TempFileLeafName(copy, TempNameLimit - 1)), copy);
    for (const wchar_t* other : {L"~1A2B.tmp", L"~DF12AB.tmp", L"~00001A2B01DB2F00AABBCCDD00001f.tmp", L"~00001A2B01DB2F00AABBCCDD00001F.TMP"})
        EXPECT_FALSE(TempFileOwnerOf(other)) << Row(other);
    const std::pair<const wchar_t*, const wchar_t*> paths[] = {
        {L"D:\\A\\v.exe", L"D:\\A\\v.exe"}, {L"D:\\A\\v.EXE", L"D:\\A\\v.exe"}, {L"D:\\A\\v.scr", L"D:\\A\\v.exe"},
        {L"D:\\my.apps\\v", L"D:\\my.apps\\v.exe"}, {L"D:\\A\\v.1.2.exe", L"D:\\A\\v.1.2.exe"}, {L"C:\\\u5199\u771f\\\u00e9t\u00e9.exe", L"C:\\\u5199\u771f\\\u00e9t\u00e9.exe"}};
    for (const auto& [module, exe] : paths) EXPECT_EQ(ExePathFromModulePath(module), exe);
    const std::set<std::wstring> taken = {L"D:\\A\\V1.exe", L"D:\\A\\V3.exe"};  // the first free number, gaps too
    EXPECT_EQ(NumberedExePath(L"D:\\A\\V.exe", [&](const std::wstring& p) { return taken.count(p) != 0; }), L"D:\\A\\V2.exe");
    EXPECT_EQ(NumberedExePath(L"D:\\A\\V.exe", [](const std::wstring&) { return true; }), L"");
    // A running copy's pin set names its process and start time; anything else names no copy.
    EXPECT_EQ(OpenSetName({0x1A2B, 0x01DB2F00AABBCCDDull}), L"00001A2B-01DB2F00AABBCCDD.velvane");
    EXPECT_EQ(OpenSetOwnerOf(L"00001A2B-01DB2F00AABBCCDD.velvane"), (OpenSetOwner{0x1A2B, 0x01DB2F00AABBCCDDull}));
    for (const wchar_t* other : {L"00001A2B-01DB2F00AABBCCDD.velvan", L"00001a2b-01DB2F00AABBCCDD.velvane", L"Pins.velvane", L"00001A2B_01DB2F00AABBCCDD.velvane"})
        EXPECT_FALSE(OpenSetOwnerOf(other)) << Row(other);
    // Claims name their claimer; an earlier version's named its process alone, and reads as a dead one's.
    const std::wstring set = L"00001A2B-01DB2F00AABBCCDD.velvane";
    const struct { std::wstring name; std::optional<OpenSetOwner> claimer; } claims[] = {
        {ClaimName(set, {7, 9}), OpenSetOwner{7, 9}}, {set + L".4242.restoring", OpenSetOwner{4242, 0}}, {set + L".42x.restoring", {}},
        {set + L"..restoring", {}}, {L"pins.4242.restoring", {}}, {set + L".99999999999.restoring", {}}};
    for (const auto& c : claims) {
        EXPECT_EQ(ClaimOf(c.name) ? std::optional(ClaimOf(c.name)->claimer) : std::nullopt, c.claimer) << Row(c.name);
        EXPECT_EQ(SetOf(c.name), c.claimer ? set : c.name) << Row(c.name);
    }
    // Sets kept for a later restore never share a name, whatever the clock says.
    std::vector<std::wstring> kept = {set, OpenSetName({0, 0x01DB2F00AABBCCDDull})};
    for (int i = 0; i < 3; ++i) kept.push_back(KeptSetName(kept));
    EXPECT_EQ(std::set<std::wstring>(kept.begin(), kept.end()).size(), kept.size());
    EXPECT_TRUE(OpenSetOwnerOf(kept.back())) << "named as a set of a copy that ended";
}

// A crafted pins file of more entries than any set holds is refused at once, like a damaged one.
TEST(PackageBag, MoreEntriesThanAnySetIsDamage) {
    for (const std::uint32_t count : {kMaxPackageEntries, kMaxPackageEntries + 1}) {
        Bytes bytes = EncodeBagStart(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            const Bytes entry = EncodeEntry(std::to_wstring(i), true);
            bytes.insert(bytes.end(), entry.begin(), entry.end());
        }
        PackageBag bag;
        if (count > kMaxPackageEntries) EXPECT_THROW(bag.LoadContents(bytes), PackageError);
        else EXPECT_TRUE((bag.LoadContents(bytes), bag.Has(std::to_wstring(count - 1))));
    }
}

// (Windows taken out of a set, with their settings and their own bytes where they referred to
// another's: the in-process restores that keep what did not open. Sets written and read piece by
// piece: the fuzz target and the in-process restores.)

// Closed sets in the order they were retired, whatever the clock said: the newest comes back
// with every set its close-all retired; pruning keeps ten and never what restore would take.
// (Claims on sets: the in-process restores, dead and alive.)
TEST(ClosedSets, RetireOrderCloseAllsAndPruning) {
    std::vector<std::wstring> names = {L"01DB2F00AABBCCDD-00000010.velvane"};  // an earlier version's, named by the clock
    for (std::uint32_t pid = 1; pid <= 12; ++pid) names.push_back(ClosedSetName({NextClosedNumber(names), pid, pid >= 10 ? 77u : 0u}));
    EXPECT_EQ(ClosedSetOf(names[0]).value().number, 0x01DB2F00AABBCCDDull);
    EXPECT_EQ(ClosedSetOf(names.back()).value().number, 0x01DB2F00AABBCCDDull + 12) << "one above the largest, not the clock";
    EXPECT_EQ(NewestClosedSets(names), (std::vector<std::wstring>{names[12], names[11], names[10]})) << "the last close-all's three";
    names.push_back(ClosedSetName({NextClosedNumber(names), 13, 0}));
    EXPECT_EQ(NewestClosedSets(names), std::vector<std::wstring>{names.back()}) << "a set retired alone after it";
    EXPECT_EQ(ClosedSetsToPrune(names, 10), (std::vector<std::wstring>{names[3], names[2], names[1], names[0]}));
    for (const wchar_t* other : {L"00000000000000001-0001-0000.velvane", L"0000000000000001-00000001-0000000G.velvane", L"x.velvane"})
        EXPECT_FALSE(ClosedSetOf(other)) << Row(other);

}

}  // namespace velvane
