/*
 * localstub.cpp: placeholders for the local monitor start until it is
 * built: they fail with a clear message and never pretend success.
 */
#include "launch.h"
#include "monfile.h"
#include "report.h"

static const char NotAvailable[] = "Starting a monitor on this computer is not available yet.";

bool ReadMonitorDefinition(uint32_t settingNumber, int32_t *monitorType, char *propertyList,
                           HWND owner)
{
    (void)settingNumber;
    (void)monitorType;
    (void)propertyList;
    ShowError(owner, NotAvailable);
    return false;
}

bool LaunchMonitor(int32_t monitorType, char *propertyList, HWND owner)
{
    (void)monitorType;
    (void)propertyList;
    ShowError(owner, NotAvailable);
    return false;
}
