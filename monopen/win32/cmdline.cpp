/*
 * cmdline.cpp: the Win32 side of the command-line parse: the text comes from
 * GetCommandLineA, the installation check from the service configuration,
 * and the error goes out through ShowMessage.
 *
 * Globals: writes commandLineOptions, pictureSizeIndex and the two font
 * strings of monitorSettings.
 */
#include "cmdline.h"

#include "cmdlinecore.h"
#include "globals.h"
#include "report.h"
#include "service.h"
#include "servicecore.h"

static bool ProductInstalledHere(void *context)
{
    char path[GvPathSize];
    return GetProductPath((HWND)context, path);
}

bool ParseCommandLine(HWND window)
{
    const char *message = NULL;
    if (ParseArguments(GetCommandLineA(), ProductInstalledHere, window, &commandLineOptions,
                       &pictureSizeIndex, &monitorSettings, &message))
        return true;
    ShowError(window, message);
    return false;
}
