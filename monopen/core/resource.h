/*
 * resource.h: resource and control ids of the monitor opener: the numbers
 * only, so that the portable dialog rules (dialogcore) use them too; the
 * dialog templates are in win32/monopen.rc.
 */
#ifndef GV_MONOPEN_RESOURCE_H
#define GV_MONOPEN_RESOURCE_H

#define IDD_SETTINGS 113 /* the access-denied dialog 115: common/win32/logonids.h */

/* Settings dialog (113) */
#define IDC_SETTING_NUMBER 1025
#define IDC_PRINTER 1026
#define IDC_TYPE_VS_REMOTE 1032
#define IDC_TYPE_VS_LOCAL 1033
#define IDC_TYPE_X 1034
#define IDC_PICTURE_SIZE 1035
#define IDC_APPLICATION 1039
#define IDC_APPLICATION_MONITOR 1040
#define IDC_NODE 1043
#define IDC_DISPLAY 1044
#define IDC_IN_USE 1049
#define IDC_TYPE_GROUP 1050
#define IDC_NODE_GROUP 1051
#define IDC_NODE_LABEL 1052
#define IDC_DISPLAY_LABEL 1053
#define IDC_APPLICATION_LABEL 1054
#define IDC_APPLICATION_MONITOR_LABEL 1055
#define IDC_PICTURE_SIZE_LABEL 1056
#define IDC_SETTING_NUMBER_LABEL 1057
#define IDC_PRINTER_LABEL 1058

#endif
