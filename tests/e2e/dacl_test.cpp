// The access-control arithmetic of the window-station and desktop grant, on
// security descriptors built here in memory (Wine's own window station and
// desktop carry no DACL, so the launch never meets one).
#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>
#include <string.h>

#include <vector>

#include "dacl.h"

namespace {

// A SID from its string form, freed with the object.
struct Sid {
    PSID sid = NULL;
    explicit Sid(const char *text) { ConvertStringSidToSidA(text, &sid); }
    ~Sid() { LocalFree(sid); }
};

const Sid user("S-1-5-21-100-200-300-1001");
const Sid otherUser("S-1-5-21-100-200-300-1002");
const Sid everyone("S-1-1-0");
const Sid administrators("S-1-5-32-544");

struct Entry {
    BYTE type; // ACCESS_ALLOWED_ACE_TYPE or ACCESS_DENIED_ACE_TYPE
    BYTE flags;
    DWORD mask;
    PSID sid;
};

// A DACL with the entries, in a self-relative descriptor as
// GetUserObjectSecurity returns it (or an absolute one).
struct Descriptor {
    std::vector<BYTE> acl = std::vector<BYTE>(65535);
    SECURITY_DESCRIPTOR absolute;
    std::vector<BYTE> selfRelative;

    enum Dacl { NoDacl, NullDacl, WithDacl };

    explicit Descriptor(const std::vector<Entry> &entries, Dacl kind = WithDacl)
    {
        PACL list = (PACL)acl.data();
        EXPECT_TRUE(InitializeAcl(list, (DWORD)acl.size(), ACL_REVISION));
        for (const Entry &e : entries) {
            BOOL added = e.type == ACCESS_ALLOWED_ACE_TYPE
                             ? AddAccessAllowedAceEx(list, ACL_REVISION, e.flags, e.mask, e.sid)
                             : AddAccessDeniedAceEx(list, ACL_REVISION, e.flags, e.mask, e.sid);
            EXPECT_TRUE(added) << GetLastError();
        }
        InitializeSecurityDescriptor(&absolute, SECURITY_DESCRIPTOR_REVISION);
        if (kind != NoDacl)
            SetSecurityDescriptorDacl(&absolute, TRUE, kind == WithDacl ? list : NULL, FALSE);
        DWORD size = 0;
        MakeSelfRelativeSD(&absolute, NULL, &size);
        selfRelative.resize(size);
        EXPECT_TRUE(MakeSelfRelativeSD(&absolute, selfRelative.data(), &size)) << GetLastError();
    }

    PSECURITY_DESCRIPTOR Read() { return selfRelative.data(); }
    DWORD BytesInUse()
    {
        ACL_SIZE_INFORMATION info;
        GetAclInformation((PACL)acl.data(), &info, sizeof info, AclSizeInformation);
        return info.AclBytesInUse;
    }
};

ACE_HEADER *EntryAt(PACL acl, DWORD index)
{
    void *entry = NULL;
    return GetAce(acl, index, &entry) ? (ACE_HEADER *)entry : NULL;
}

bool Found(PSECURITY_DESCRIPTOR descriptor, DWORD *error = NULL)
{
    bool found = true;
    DWORD code = 99;
    EXPECT_TRUE(FindAllowedEntry(descriptor, user.sid, &found, &code));
    EXPECT_EQ(0u, code);
    if (error != NULL)
        *error = code;
    return found;
}

TEST(UserAccessEntries, DaclWithEntriesButNoneForTheUserGetsTheUsersEntryAtTheEnd)
{
    Descriptor old({{ACCESS_ALLOWED_ACE_TYPE, 0, 0x1, everyone.sid},
                    {ACCESS_DENIED_ACE_TYPE, 0, 0x2, otherUser.sid},
                    {ACCESS_ALLOWED_ACE_TYPE, CONTAINER_INHERIT_ACE | OBJECT_INHERIT_ACE, 0xF0,
                     administrators.sid},
                    {ACCESS_DENIED_ACE_TYPE, 0, 0x4, user.sid},
                    {ACCESS_ALLOWED_ACE_TYPE, 0, 0x8, otherUser.sid}});
    EXPECT_FALSE(Found(old.Read())) << "a denying entry of the user does not count";

    for (DWORD mask : {(DWORD)DesktopAccessMask, (DWORD)StationAccessMask}) {
        for (PSECURITY_DESCRIPTOR form : {old.Read(), (PSECURITY_DESCRIPTOR)&old.absolute}) {
            PACL acl = NULL;
            DWORD error = 99;
            ASSERT_TRUE(BuildGrantedDacl(form, user.sid, mask, &acl, &error)) << error;
            ASSERT_NE(nullptr, acl);
            EXPECT_EQ(0u, error);
            EXPECT_EQ(old.BytesInUse() + GetLengthSid(user.sid) + 20, (DWORD)acl->AclSize);
            ASSERT_EQ(6, acl->AceCount);
            for (DWORD i = 0; i < 5; i++) {
                ACE_HEADER *was = EntryAt((PACL)old.acl.data(), i);
                ACE_HEADER *now = EntryAt(acl, i);
                ASSERT_TRUE(was != NULL && now != NULL);
                ASSERT_EQ(was->AceSize, now->AceSize) << i;
                EXPECT_EQ(0, memcmp(was, now, was->AceSize)) << "entry " << i << " copied in order";
            }
            ACCESS_ALLOWED_ACE *added = (ACCESS_ALLOWED_ACE *)EntryAt(acl, 5);
            ASSERT_NE(nullptr, added);
            EXPECT_EQ(ACCESS_ALLOWED_ACE_TYPE, added->Header.AceType);
            EXPECT_EQ(0, added->Header.AceFlags) << "nothing inherited";
            EXPECT_EQ(mask, added->Mask);
            EXPECT_TRUE(EqualSid(user.sid, (PSID)&added->SidStart));
            EXPECT_TRUE(IsValidAcl(acl));
            LocalFree(acl);
        }
    }
}

TEST(UserAccessEntries, AnyAllowedEntryOfTheUserCounts)
{
    // DESKTOP_READOBJECTS alone, after other entries: the user is found, and
    // the launch changes nothing.
    Descriptor small({{ACCESS_ALLOWED_ACE_TYPE, 0, 0x1FF, everyone.sid},
                      {ACCESS_ALLOWED_ACE_TYPE, OBJECT_INHERIT_ACE, 0x1, user.sid},
                      {ACCESS_DENIED_ACE_TYPE, 0, 0x1FF, user.sid}});
    EXPECT_TRUE(Found(small.Read()));
    Descriptor only({{ACCESS_ALLOWED_ACE_TYPE, 0, 0x1, user.sid}});
    EXPECT_TRUE(Found(only.Read()));
}

TEST(UserAccessEntries, EmptyDaclGetsNothing)
{
    Descriptor empty({});
    EXPECT_FALSE(Found(empty.Read()));
    PACL acl = (PACL)1;
    DWORD error = 99;
    ASSERT_TRUE(BuildGrantedDacl(empty.Read(), user.sid, DesktopAccessMask, &acl, &error));
    EXPECT_EQ(nullptr, acl) << "nothing to write";
    EXPECT_EQ(0u, error);
}

TEST(UserAccessEntries, DescriptorWithoutDaclIsLeftAlone)
{
    for (Descriptor::Dacl kind : {Descriptor::NoDacl, Descriptor::NullDacl}) {
        Descriptor open({}, kind);
        EXPECT_FALSE(Found(open.Read())) << kind;
        PACL acl = (PACL)1;
        DWORD error = 99;
        ASSERT_TRUE(BuildGrantedDacl(open.Read(), user.sid, StationAccessMask, &acl, &error))
            << kind;
        EXPECT_EQ(nullptr, acl) << kind << ": never replaced by a DACL that shuts others out";
        EXPECT_EQ(0u, error);
    }
}

TEST(UserAccessEntries, DaclThatCannotGrowFailsWithoutANewDacl)
{
    // Entries up to the largest ACL there is: one more does not fit.
    std::vector<Entry> entries;
    DWORD entrySize = 8 + GetLengthSid(everyone.sid);
    for (DWORD used = 8; used + entrySize <= 65532; used += entrySize)
        entries.push_back({ACCESS_ALLOWED_ACE_TYPE, 0, 0x1, everyone.sid});
    Descriptor full(entries);
    PACL acl = (PACL)1;
    DWORD error = 0;
    EXPECT_FALSE(BuildGrantedDacl(full.Read(), user.sid, DesktopAccessMask, &acl, &error));
    EXPECT_EQ(nullptr, acl);
    EXPECT_NE(0u, error);
}

} // namespace
