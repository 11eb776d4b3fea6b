/*
 * computer.h: this computer's name, read the one way both programs read it.
 */
#ifndef GV_COMMON_COMPUTER_H
#define GV_COMMON_COMPUTER_H

#include <windows.h>

#include "netcore.h"

/* This computer's name into name (ComputerNameBufferSize characters); on
 * failure *error is the code of GetComputerNameA (0 = success). */
bool ReadComputerName(char *name, DWORD *error);

#endif
