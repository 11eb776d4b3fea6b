// A DLL planted beside the programs must not run inside them: copies of
// both programs are started in a folder that holds the marker DLL
// (tests/fixtures/plantdll.cpp) under the names of system DLLs that are
// not protected as KnownDLLs, and driven through the access-denied
// dialog (the logon needs MPR) and its error box. Wine prefers its
// built-in DLLs; the overrides below give these names Windows' search
// order for the copies alone. version and imm32 are left out: Wine's own
// user32 imports them in every process (Windows' does not, and imm32 is a
// KnownDLL there).
#include <gtest/gtest.h>

#include <windows.h>

#include <string.h>

#include <string>

#include "monserver.h"
#include "notifyserver.h"
#include "notifywin.h"
#include "opener.h"
#include "standinmpr.h"

using namespace gv;

namespace {

const char *const PlantedNames[] = {"mpr",      "uxtheme", "dwmapi",   "winmm", "cryptbase",
                                    "msimg32",  "userenv", "netapi32", "secur32", "sspicli",
                                    "wtsapi32", "profapi", "comctl32", "dbghelp"};
const char PlantFolder[] = "C:\\gvplant";
const char OpenerCopy[] = "monopen-planted.exe";
const char NotifyCopy[] = "notify-planted.exe";
const char Refused[] = "An error occurred when trying to connect to the shared resource (1222).";
enum { UserName = 1025, Password = 1026, HostName = 1027 };

/* Every planted name native first, for the program file; mprValue, when
 * given, overrides mpr alone ("" disables it). */
bool SetOverrides(const char *program, const char *mprValue = NULL)
{
    bool ok = true;
    for (const char *name : PlantedNames)
        ok = ok && SetDllOverride(program, name, "native,builtin");
    return ok && (mprValue == NULL || SetDllOverride(program, "mpr", mprValue));
}

std::string Planted(const char *file)
{
    return std::string(PlantFolder) + "\\" + file;
}

class PlantedDlls : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveTree(PlantFolder);
        ASSERT_TRUE(MakeDirectories(PlantFolder));
        ASSERT_TRUE(CopyFileA(OpenerPath().c_str(), Planted(OpenerCopy).c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(NotifyPath().c_str(), Planted(NotifyCopy).c_str(), FALSE));
        const std::string marker = BinPath("plantdll.dll");
        for (const char *name : PlantedNames)
            ASSERT_TRUE(CopyFileA(marker.c_str(), Planted((std::string(name) + ".dll").c_str()).c_str(),
                                  FALSE))
                << name;
        // The marker shows itself when loaded, so that no marker means
        // not loaded.
        const std::string check = Planted("markercheck.dll");
        ASSERT_TRUE(CopyFileA(marker.c_str(), check.c_str(), FALSE));
        HMODULE loaded = LoadLibraryA(check.c_str());
        ASSERT_NE(nullptr, loaded);
        FreeLibrary(loaded);
        ASSERT_EQ("markercheck.dll ", LoadedDlls());
        ASSERT_TRUE(SetOverrides(OpenerCopy));
        ASSERT_TRUE(SetOverrides(NotifyCopy));
    }

    void TearDown() override
    {
        RemoveDllOverrides(OpenerCopy);
        RemoveDllOverrides(NotifyCopy);
        RemoveTree(PlantFolder);
    }

    /* The planted DLLs that were loaded (their markers are removed). */
    static std::string LoadedDlls()
    {
        std::string loaded;
        WIN32_FIND_DATAA entry;
        HANDLE find = FindFirstFileA(Planted("*.loaded").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE)
            return loaded;
        do {
            std::string name = entry.cFileName;
            loaded += name.substr(0, name.size() - strlen(".loaded")) + " ";
            DeleteFileA(Planted(entry.cFileName).c_str());
        } while (FindNextFileA(find, &entry));
        FindClose(find);
        return loaded;
    }
};

// The opener asks this computer for a pre-defined monitor; the refused
// pipe brings up the dialog, the logon is refused (Wine: 1222) and
// Cancel ends the program.
void DriveOpener(const char *refused = Refused)
{
    MonitorServer server;
    MonitorServerScript refusing;
    refusing.inbound = true;
    ASSERT_TRUE(server.Start(refusing));
    ChildGuard opener;
    StartOptions options;
    options.currentDir = PlantFolder;
    ASSERT_TRUE(Start(opener.child, Planted(OpenerCopy), "-d " + ComputerName() + " 7", options));
    HWND dialog = WaitForDialog(opener.child.pid, "Gridvane Monitor - Access Denied", Password,
                                10000);
    ASSERT_NE(nullptr, dialog) << DescribeWindows(opener.child.pid);
    SetItemText(dialog, UserName, "operator7");
    SetItemText(dialog, Password, "not-this-one");
    ClickButton(dialog, IDOK);
    EXPECT_EQ(refused, DismissMessageBox(opener.child.pid, OpenerCaption, 10000))
        << DescribeWindows(opener.child.pid);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(dialog) != 0; }, 5000));
    ClickButton(dialog, IDCANCEL);
    EXPECT_TRUE(WaitExitCode(opener.child, 10000, 0));
}

void DriveNotify()
{
    NotifyServer server;
    ASSERT_TRUE(server.Listen(PIPE_ACCESS_INBOUND)); // read-write opens fail with 5
    NotifyWindow w;
    ASSERT_TRUE(StartNotify(w, ComputerName(), "", Planted(NotifyCopy)));
    DWORD pid = w.guard.child.pid;
    HWND dialog = WaitForDialog(pid, "Gridvane Notification Window - Access Denied", HostName,
                                10000);
    ASSERT_NE(nullptr, dialog) << DescribeWindows(pid);
    SetItemText(dialog, UserName, "operator7");
    SetItemText(dialog, Password, "not-this-one");
    ClickButton(dialog, IDOK);
    EXPECT_EQ(Refused, DismissMessageBox(pid, NotifyCaption, 10000)) << DescribeWindows(pid);
    ClickButton(dialog, IDCANCEL);
    EXPECT_TRUE(WaitForStatus(w, 0, "Connection cancelled.", 5000));
    EXPECT_EQ(0, CloseNotify(w, 10000));
}

TEST_F(PlantedDlls, NoneRunsInsideTheOpener)
{
    DriveOpener();
    EXPECT_EQ("", LoadedDlls());
}

TEST_F(PlantedDlls, NoneRunsInsideTheNotificationWindow)
{
    DriveNotify();
    EXPECT_EQ("", LoadedDlls());
}

// Without MPR in the system directory (here: disabled for the copy) the
// logon fails with the loader's code, in the usual box, and the dialog
// comes back.
TEST_F(PlantedDlls, WithoutMprTheLogonFailsWithTheLoadersCode)
{
    ASSERT_TRUE(SetOverrides(OpenerCopy, ""));
    DriveOpener("An error occurred when trying to connect to the shared resource (126).");
    EXPECT_EQ("", LoadedDlls());
}

} // namespace
