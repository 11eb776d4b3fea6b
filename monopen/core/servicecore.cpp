/*
 * servicecore.cpp: path arithmetic, command lines and message texts of the
 * service control (see servicecore.h).
 */
#include "servicecore.h"

#include <string.h>

#include "errorcodes.h"
#include "textbuf.h"

/* The program's path in a configured binary path, at most 259 characters
 * of it. Installers and the service tools put a path with blanks in
 * quotation marks: then the path is what lies between the opening mark and
 * the next one (or the end, when none follows, as Windows reads it), and
 * what follows the closing mark (the arguments) is no part of it. An
 * unquoted binary path is taken whole, arguments included, as the opener
 * always took it. */
static void ProgramPathOf(const char *binaryPath, char *path, size_t size)
{
    if (binaryPath[0] != '"') {
        CopyTextN(path, size, binaryPath, GvPathSize - 1);
        return;
    }
    const char *start = binaryPath + 1;
    const char *end = strchr(start, '"');
    size_t length = end != NULL ? (size_t)(end - start) : strlen(start);
    CopyTextN(path, size, start, length < GvPathSize - 1 ? length : GvPathSize - 1);
}

bool ServiceDirFromBinaryPath(const char *binaryPath, char *dir, size_t size)
{
    if (size == 0)
        return false;
    ProgramPathOf(binaryPath, dir, size);
    char *lastBackslash = strrchr(dir, '\\');
    if (lastBackslash == NULL) {
        dir[0] = '\0';
        return false;
    }
    lastBackslash[1] = '\0';
    return true;
}

bool ProductRootFromServiceDir(char *dir)
{
    size_t length = strlen(dir);
    if (length <= ExecLevelLength)
        return false;
    dir[length - ExecLevelLength] = '\0';
    return true;
}

bool BuildExpectedServicePath(const char *currentDir, char *path, size_t size)
{
    static const char program[] = "\\gvcore.exe";
    if (strlen(currentDir) + strlen(program) > GvLongestPath)
        return false;
    return FormatText(path, size, "%s%s", currentDir, program);
}

bool ServiceRunsFromHere(const char *binaryPath, const char *expectedPath)
{
    char program[GvPathSize];
    ProgramPathOf(binaryPath, program, sizeof program);
    return StartsWithIgnoringCase(program, expectedPath);
}

bool BuildStarterCommand(const char *currentDir, bool noCreateDir, char *application,
                         size_t applicationSize, char *commandLine, size_t commandSize)
{
    static const char program[] = "\\Gv_Start.exe";
    const char *arguments = noCreateDir ? " -start -no_create_dir -no_info_dialog"
                                        : " -start -no_info_dialog";
    if (strlen(currentDir) + strlen(program) + strlen(arguments) > GvLongestPath)
        return false;
    return FormatText(application, applicationSize, "%s%s", currentDir, program) &&
           FormatText(commandLine, commandSize, "\"%s%s\"%s", currentDir, program, arguments);
}

bool BuildNotifierCommand(const char *productRoot, char *application, size_t applicationSize,
                          char *commandLine, size_t commandSize)
{
    return FormatText(application, applicationSize, "%s%s%s", productRoot, "PROG\\EXEC\\",
                      "GVMSG.EXE") &&
           FormatText(commandLine, commandSize, "\"%s\"", application);
}

void ManagerErrorText(uint32_t code, char *text, size_t size)
{
    switch (code) {
    case CodeAccessDenied:
        CopyText(text, size, "OpenSCManager failed! Access denied!");
        break;
    case CodeDatabaseDoesNotExist:
        CopyText(text, size, "OpenSCManager failed! The specified database does not exist.");
        break;
    case CodeInvalidParameter:
        CopyText(text, size, "OpenSCManager failed! A parameter that was specified is invalid.");
        break;
    default:
        FormatText(text, size, "OpenSCManager failed! Error %ld", (long)(int32_t)code);
        break;
    }
}

void ServiceErrorText(uint32_t code, char *text, size_t size)
{
    switch (code) {
    case CodeAccessDenied:
        CopyText(text, size, "OpenService failed. Access denied!");
        break;
    case CodeInvalidHandle:
        CopyText(text, size, "OpenService failed. Invalid handle!");
        break;
    case CodeInvalidName:
        CopyText(text, size, "OpenService failed. The specified service name is invalid!");
        break;
    case CodeServiceDoesNotExist:
        CopyText(text, size, "OpenService failed. Gridvane Service does not exist!");
        break;
    default:
        FormatText(text, size, "OpenService failed! Error %ld", (long)(int32_t)code);
        break;
    }
}
