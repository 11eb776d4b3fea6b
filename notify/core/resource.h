/*
 * resource.h: resource and control ids of the notification window: the
 * numbers only, so that the portable host table uses them too; the dialog
 * templates are in win32/notify.rc.
 */
#ifndef GV_NOTIFY_RESOURCE_H
#define GV_NOTIFY_RESOURCE_H

#define IDD_TWO_PANES 101
#define IDD_ONE_PANE 103
#define IDI_NOTIFY 108 /* the access-denied dialog 115: common/win32/logonids.h */

/* Pane dialogs (101, 103): upper pane, host entry 0 */
#define IDC_LIST_0 1000
#define IDC_CLEAR_0 1001
#define IDC_HOST_0 1006
#define IDC_HEADING_0 1008
#define IDC_STATUS_0 1012

/* lower pane, host entry 1 (dialog 101 only) */
#define IDC_LIST_1 1002
#define IDC_CLEAR_1 1004
#define IDC_HOST_1 1007
#define IDC_HEADING_1 1009
#define IDC_STATUS_1 1013

#endif
