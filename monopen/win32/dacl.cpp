/*
 * dacl.cpp: the access-control arithmetic of the window-station and
 * desktop grant (see dacl.h).
 */
#include "dacl.h"

/* The DACL of the descriptor and its size information; *dacl NULL when the
 * descriptor carries none (or a NULL DACL). */
static bool ReadDacl(PSECURITY_DESCRIPTOR descriptor, PACL *dacl, ACL_SIZE_INFORMATION *size,
                     DWORD *error)
{
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    *dacl = NULL;
    ZeroMemory(size, sizeof *size);
    if (!GetSecurityDescriptorDacl(descriptor, &present, dacl, &defaulted)) {
        *error = GetLastError();
        return false;
    }
    if (!present)
        *dacl = NULL;
    if (*dacl == NULL)
        return true;
    if (!GetAclInformation(*dacl, size, sizeof *size, AclSizeInformation)) {
        *error = GetLastError();
        *dacl = NULL;
        return false;
    }
    return true;
}

bool FindAllowedEntry(PSECURITY_DESCRIPTOR descriptor, PSID user, bool *found, DWORD *error)
{
    *found = false;
    *error = 0;
    PACL dacl;
    ACL_SIZE_INFORMATION size;
    if (!ReadDacl(descriptor, &dacl, &size, error))
        return false;
    if (dacl == NULL)
        return true;
    bool ok = true;
    for (DWORD i = 0; i < size.AceCount; i++) {
        void *entry = NULL;
        if (!GetAce(dacl, i, &entry)) {
            *error = GetLastError();
            ok = false;
            continue;
        }
        ACE_HEADER *header = (ACE_HEADER *)entry;
        if (header->AceType == ACCESS_ALLOWED_ACE_TYPE &&
            EqualSid(user, (PSID) & ((ACCESS_ALLOWED_ACE *)entry)->SidStart))
            *found = true;
    }
    return ok;
}

bool BuildGrantedDacl(PSECURITY_DESCRIPTOR descriptor, PSID user, DWORD mask, PACL *newAcl,
                      DWORD *error)
{
    *newAcl = NULL;
    *error = 0;
    PACL dacl;
    ACL_SIZE_INFORMATION size;
    if (!ReadDacl(descriptor, &dacl, &size, error))
        return false;
    if (dacl == NULL || size.AceCount == 0)
        return true;

    /* 20 bytes cover the entry's header and mask beyond the SID. An ACL
     * cannot grow past 65535 bytes: InitializeAcl refuses that size. */
    DWORD aclSize = size.AclBytesInUse + GetLengthSid(user) + 20;
    PACL acl = (PACL)LocalAlloc(LPTR, aclSize);
    if (acl == NULL) {
        *error = GetLastError();
        return false;
    }
    bool ok = InitializeAcl(acl, aclSize, ACL_REVISION) != 0;
    for (DWORD i = 0; ok && i < size.AceCount; i++) {
        void *entry = NULL;
        ok = GetAce(dacl, i, &entry) &&
             AddAce(acl, ACL_REVISION, MAXDWORD, entry, ((ACE_HEADER *)entry)->AceSize);
    }
    if (ok)
        ok = AddAccessAllowedAce(acl, ACL_REVISION, mask, user) != 0;
    if (!ok) {
        *error = GetLastError();
        LocalFree(acl);
        return false;
    }
    *newAcl = acl;
    return true;
}
