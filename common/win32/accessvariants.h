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

static const AccessDialogVariant OpenerAccessDialog = {1, 2, true, false, false};
static const AccessDialogVariant NotifyAccessDialog = {0, 1, false, true, true};

#endif
