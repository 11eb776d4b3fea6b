/*
 * faults.cpp: the simulated failures of the test build (see faults.h).
 * The names are read once on the window thread before any other thread
 * starts; each point's flag is then taken by whichever thread reaches it.
 */
#include "faults.h"

#include <windows.h>

#include <string.h>

enum { MaxPoints = 8, PointNameSize = 32, ListSize = 256 };

static char pointNames[MaxPoints][PointNameSize];
static volatile LONG pointArmed[MaxPoints];

void ArmInjectedFaults(void)
{
    char list[ListSize];
    DWORD length = GetEnvironmentVariableA("GV_NOTIFY_FAULTS", list, sizeof list);
    if (length == 0 || length >= sizeof list)
        return;
    int count = 0;
    for (char *name = strtok(list, ","); name != NULL && count < MaxPoints;
         name = strtok(NULL, ",")) {
        if (strlen(name) >= PointNameSize)
            continue;
        strcpy(pointNames[count], name);
        pointArmed[count] = 1;
        count++;
    }
}

bool InjectedFault(const char *point)
{
    for (int i = 0; i < MaxPoints; i++)
        if (strcmp(pointNames[i], point) == 0 && InterlockedExchange(&pointArmed[i], 0) == 1)
            return true;
    return false;
}
