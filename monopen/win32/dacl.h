/*
 * dacl.h: the access-control arithmetic behind the window-station and
 * desktop grant, on security descriptors in memory: is there an
 * access-allowed entry for the user, and the DACL with the user's entry
 * added.
 *
 * A descriptor without a DACL, or with a NULL DACL, is open to everybody:
 * it holds no entry for the user and is never to be changed (an empty DACL
 * in its place would shut every user out).
 */
#ifndef GV_MONOPEN_DACL_H
#define GV_MONOPEN_DACL_H

#include <windows.h>

/* Rights of the entry added for the user: every right of a desktop
 * (0x1FF), and every right of a window station (WINSTA_ALL_ACCESS, 0x37F). */
static const DWORD DesktopAccessMask =
    DESKTOP_READOBJECTS | DESKTOP_CREATEWINDOW | DESKTOP_CREATEMENU | DESKTOP_HOOKCONTROL |
    DESKTOP_JOURNALRECORD | DESKTOP_JOURNALPLAYBACK | DESKTOP_ENUMERATE | DESKTOP_WRITEOBJECTS |
    DESKTOP_SWITCHDESKTOP;
static const DWORD StationAccessMask =
    WINSTA_ENUMDESKTOPS | WINSTA_READATTRIBUTES | WINSTA_ACCESSCLIPBOARD | WINSTA_CREATEDESKTOP |
    WINSTA_WRITEATTRIBUTES | WINSTA_ACCESSGLOBALATOMS | WINSTA_EXITWINDOWS | WINSTA_ENUMERATE |
    WINSTA_READSCREEN;

/* Looks for an ACCESS_ALLOWED_ACE_TYPE entry with the user's SID, whatever
 * its mask. False when the descriptor or its DACL could not be read, or an
 * entry could not be taken (the other entries are still looked at); *error
 * then holds the Windows error. */
bool FindAllowedEntry(PSECURITY_DESCRIPTOR descriptor, PSID user, bool *found, DWORD *error);

/* The DACL to write: every entry of the old one in order, then the user's
 * access-allowed entry with the mask and no inheritance flags, in an ACL of
 * the old bytes in use + the SID's length + 20 bytes. *newAcl is a
 * LocalAlloc buffer the caller frees, or NULL when nothing is to change:
 * the descriptor has no DACL, or an empty one (nothing is added to it).
 * False, with *newAcl NULL and *error set, when any step failed. */
bool BuildGrantedDacl(PSECURITY_DESCRIPTOR descriptor, PSID user, DWORD mask, PACL *newAcl,
                      DWORD *error);

#endif
