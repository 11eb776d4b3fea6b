/*
 * standinmpr.cpp: the stand-in MPR put in place and taken away (see
 * standinmpr.h). A test program ended before its destructors ran leaves
 * the original aside; the next Install puts it back first.
 */
#include "standinmpr.h"

#include <string.h>

namespace gv {

static const char AppDefaults[] = "Software\\Wine\\AppDefaults\\";

bool SetDllOverride(const std::string &program, const char *dll, const char *value)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, (AppDefaults + program + "\\DllOverrides").c_str(), 0,
                        NULL, 0, KEY_SET_VALUE, NULL, &key, NULL) != ERROR_SUCCESS)
        return false;
    bool ok = RegSetValueExA(key, dll, 0, REG_SZ, (const BYTE *)value,
                             (DWORD)strlen(value) + 1) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

void RemoveDllOverrides(const std::string &program)
{
    RegDeleteKeyA(HKEY_CURRENT_USER, (AppDefaults + program + "\\DllOverrides").c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, (AppDefaults + program).c_str());
}

std::string FileNameOf(const std::string &path)
{
    return path.substr(path.find_last_of("\\/") + 1);
}

static std::string SystemPath(const char *name)
{
    char directory[MAX_PATH];
    UINT n = GetSystemDirectoryA(directory, sizeof directory);
    return std::string(directory, n < sizeof directory ? n : 0) + "\\" + name;
}

static std::string CallLog()
{
    return BinPath("mpr-calls.log");
}

static bool PutBack()
{
    return MoveFileExA(SystemPath("mpr.dll.gvsaved").c_str(), SystemPath("mpr.dll").c_str(),
                       MOVEFILE_REPLACE_EXISTING) != 0;
}

StandInMpr::~StandInMpr()
{
    for (const std::string &program : programs)
        RemoveDllOverrides(program);
    if (moved && !PutBack())
        ADD_FAILURE() << "the system directory's mpr.dll was not put back (" << GetLastError()
                      << "): it is " << SystemPath("mpr.dll.gvsaved");
    DeleteFileA(CallLog().c_str());
}

Outcome StandInMpr::Install(const std::vector<std::string> &programFiles)
{
    const std::string original = SystemPath("mpr.dll"), saved = SystemPath("mpr.dll.gvsaved");
    if (FileExists(saved) && !PutBack())
        return ::testing::AssertionFailure() << "an earlier run left " << saved;
    DeleteFileA(CallLog().c_str());
    if (!MoveFileA(original.c_str(), saved.c_str()))
        return ::testing::AssertionFailure() << "moving " << original << " aside: " << GetLastError();
    moved = true;
    if (!CopyFileA(BinPath("mprstandin.dll").c_str(), original.c_str(), FALSE))
        return ::testing::AssertionFailure() << "copying the stand-in: " << GetLastError();
    for (const std::string &program : programFiles) {
        programs.push_back(program);
        if (!SetDllOverride(program, "mpr", "native,builtin"))
            return ::testing::AssertionFailure() << "overriding mpr for " << program;
    }
    return ::testing::AssertionSuccess();
}

std::vector<std::string> StandInMpr::Environment(const std::string &answers) const
{
    return {"GV_MPR_LOG=" + CallLog(), "GV_MPR_ANSWERS=" + answers};
}

std::vector<std::string> StandInMpr::Calls() const
{
    return SplitLines(ReadFileText(CallLog()));
}

std::string LogonCall(const std::string &host, const std::string &user,
                      const std::string &password)
{
    return "add \\\\" + host + "\\IPC$ user=" + user + " password=" + password + " flags=0";
}

std::string LogoffCall(const std::string &host)
{
    return "cancel \\\\" + host + "\\IPC$ flags=0 force=0";
}

} // namespace gv
