/*
 * logonids.h: control ids of the access-denied dialog (resource 115), for
 * the code and the templates of both programs.
 */
#ifndef GV_COMMON_LOGONIDS_H
#define GV_COMMON_LOGONIDS_H

#define IDD_ACCESS_DENIED 115
#define IDC_LOGON_USER 1025
#define IDC_LOGON_PASSWORD 1026
#define IDC_LOGON_HOST 1027

#endif
