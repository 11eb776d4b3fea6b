/*
 * errorcodes.h: the Windows error codes the portable cores decide on, by
 * the numbers winerror.h gives them, for code that includes no Windows
 * header.
 */
#ifndef GV_COMMON_ERRORCODES_H
#define GV_COMMON_ERRORCODES_H

#include <stdint.h>

enum : uint32_t {
    CodeAccessDenied = 5,             /* ERROR_ACCESS_DENIED */
    CodeInvalidHandle = 6,            /* ERROR_INVALID_HANDLE */
    CodeInvalidPassword = 86,         /* ERROR_INVALID_PASSWORD */
    CodeInvalidParameter = 87,        /* ERROR_INVALID_PARAMETER */
    CodeInvalidName = 123,            /* ERROR_INVALID_NAME */
    CodeServiceDoesNotExist = 1060,   /* ERROR_SERVICE_DOES_NOT_EXIST */
    CodeDatabaseDoesNotExist = 1065,  /* ERROR_DATABASE_DOES_NOT_EXIST */
    CodeLogonFailure = 1326,          /* ERROR_LOGON_FAILURE */
    CodePasswordExpired = 1330,       /* ERROR_PASSWORD_EXPIRED */
    CodeAccountDisabled = 1331,       /* ERROR_ACCOUNT_DISABLED */
    CodeNoneMapped = 1332             /* ERROR_NONE_MAPPED */
};

#endif
