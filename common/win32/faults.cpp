/*
 * faults.cpp: the simulated failures of a test build (see faults.h).
 * The names are read once on the program's first thread before any other
 * thread starts; a point that fails once is then taken by whichever thread
 * reaches it first.
 */
#include "faults.h"

#include <string.h>

enum { MaxPoints = 8, PointNameSize = 32, ListSize = 256 };

static char pointNames[MaxPoints][PointNameSize];
static volatile LONG pointArmed[MaxPoints];
static bool pointAlways[MaxPoints];

void ArmInjectedFaults(const char *variable)
{
    char list[ListSize];
    DWORD length = GetEnvironmentVariableA(variable, list, sizeof list);
    if (length == 0 || length >= sizeof list)
        return;
    int count = 0;
    for (char *name = strtok(list, ","); name != NULL && count < MaxPoints;
         name = strtok(NULL, ",")) {
        size_t size = strlen(name);
        bool always = size > 0 && name[size - 1] == '*';
        if (always)
            name[--size] = '\0';
        if (size == 0 || size >= PointNameSize)
            continue;
        strcpy(pointNames[count], name);
        pointAlways[count] = always;
        pointArmed[count] = 1;
        count++;
    }
}

bool InjectedFault(const char *point)
{
    for (int i = 0; i < MaxPoints; i++) {
        if (pointNames[i][0] == '\0' || strcmp(pointNames[i], point) != 0)
            continue;
        if (pointAlways[i] ? pointArmed[i] == 1 : InterlockedExchange(&pointArmed[i], 0) == 1) {
            DWORD error = GetLastError(); /* the note must not change it */
            char line[PointNameSize + 16];
            strcpy(line, "fault: ");
            strcat(line, point);
            strcat(line, "\n");
            OutputDebugStringA(line);
            SetLastError(error);
            return true;
        }
    }
    return false;
}
