/*
 * computer.cpp: this computer's name (see computer.h).
 */
#include "computer.h"

bool ReadComputerName(char *name, DWORD *error)
{
    DWORD size = ComputerNameBufferSize;
    if (GetComputerNameA(name, &size) == 0) {
        *error = GetLastError();
        name[0] = '\0';
        return false;
    }
    *error = 0;
    return true;
}
