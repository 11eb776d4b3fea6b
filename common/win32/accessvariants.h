/*
 * accessvariants.h: the two programs' access-denied dialogs side by side.
 * Everything else of the dialog is shared (accessdlg.cpp); the templates,
 * which differ in caption, text and layout, are in each program's .rc.
 *
 *                          monopen              notify
 *   result after a logon   1                    0
 *   result after Cancel    2                    1
 *   while logging on       dialog hidden        wait cursor
 *   host name shown        no                   yes, read-only (1027)
 *   error report           ShowMessage          MessageBoxA
 *   after an error         dialog shown again   dialog stays
 */
#ifndef GV_COMMON_ACCESSVARIANTS_H
#define GV_COMMON_ACCESSVARIANTS_H

#include "logon.h"

/* The dialog's results, by the program that shows it. */
enum : INT_PTR {
    OpenerLoggedOn = 1,
    OpenerLogonCancelled = 2,
    NotifyLoggedOn = 0,
    NotifyLogonCancelled = 1
};

static const AccessDialogVariant OpenerAccessDialog = {OpenerLoggedOn, OpenerLogonCancelled, true,
                                                       false, false};
static const AccessDialogVariant NotifyAccessDialog = {NotifyLoggedOn, NotifyLogonCancelled, false,
                                                       true, true};

#endif
