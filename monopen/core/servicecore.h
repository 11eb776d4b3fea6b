/*
 * servicecore.h: the portable side of the base-system service control: the
 * installation path arithmetic, the command lines of the programs the
 * opener starts, and the texts of the service-manager messages.
 *
 * Layout assumed: <root>\PROG\EXEC\gvcore.exe. Every path produced here
 * fits a 260-character buffer and the directories end with a backslash.
 */
#ifndef GV_MONOPEN_SERVICECORE_H
#define GV_MONOPEN_SERVICECORE_H

#include <stddef.h>
#include <stdint.h>

enum {
    GvPathSize = 260,        /* MAX_PATH */
    GvLongestPath = 258,     /* longest directory + suffix accepted */
    ExecLevelLength = 10,    /* "PROG\EXEC\" */
    GvCommandSize = 2 * GvPathSize
};

/* Binary path of the service to the directory of its program: at most 259
 * characters are taken, then everything after the last backslash goes. A
 * binary path in quotation marks is read without them and without what
 * follows the closing one. False when the path has no backslash. */
bool ServiceDirFromBinaryPath(const char *binaryPath, char *dir, size_t size);

/* Service directory to product root, in place: the last 10 characters go.
 * False (dir unchanged) when the directory is 10 characters or shorter. */
bool ProductRootFromServiceDir(char *dir);

/* currentDir + "\gvcore.exe"; false when longer than 258 characters. */
bool BuildExpectedServicePath(const char *currentDir, char *path, size_t size);

/* Does the configured binary path (without its quotation marks, as above)
 * begin with the expected program path, ignoring the case of ASCII
 * letters? */
bool ServiceRunsFromHere(const char *binaryPath, const char *expectedPath);

/* The service starter in the current directory: its full path as the
 * application name and the command line with that path in double quotes.
 * False (nothing to start) when directory and arguments together would
 * exceed 258 characters. */
bool BuildStarterCommand(const char *currentDir, bool noCreateDir, char *application,
                         size_t applicationSize, char *commandLine, size_t commandSize);

/* <productRoot>PROG\EXEC\GVMSG.EXE, and the same in double quotes. */
bool BuildNotifierCommand(const char *productRoot, char *application, size_t applicationSize,
                          char *commandLine, size_t commandSize);

/* Texts of the service-manager failures for a Windows error code. */
void ManagerErrorText(uint32_t code, char *text, size_t size);
void ServiceErrorText(uint32_t code, char *text, size_t size);

#endif
