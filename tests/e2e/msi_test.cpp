// The Windows Installer package as a deployment system uses it, through
// msiexec: an older version installed silently into a base-system
// computer's folder, the release over it (a major upgrade, into the same
// folder), the older one refused, an uninstallation; then the release into
// the default folder and out again. After each step the installation is
// read back as Windows keeps it: the folders' files and bytes, the
// Start-menu shortcuts, the products registered under the package's
// upgrade code, the package's registry key. The packages and the release
// files come from msi.sh.
#include <windows.h>

#include <msi.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "harness.h"
#include "notifywin.h"
#include "version.h"

namespace {

using gv::EnvironmentText;
using gv::Lower;
using gv::ReadFileText;

const char BaseSystemDir[] = "C:\\gvmsi\\PROG\\EXEC";
const char OlderVersion[] = "0.9.0";
const char DowngradeMessage[] = "A newer version of Gridvane operator tools is already installed. "
                                "Uninstall it first to install this one.";
const std::vector<std::string> ReleaseFiles = {"CHANGELOG.md", "README.md", "SHA256SUMS",
                                               "monopen.exe", "notify.exe"};
const std::vector<std::string> Shortcuts = {"Gridvane Monitor.lnk", "Notification Window.lnk"};

/* [ProgramFilesFolder]Gridvane Tools: a 32-bit package's program files
 * folder is "Program Files (x86)" on 64-bit Windows. */
std::string DefaultDir()
{
    std::string dir = EnvironmentText("ProgramFiles(x86)");
    return (dir.empty() ? EnvironmentText("ProgramFiles") : dir) + "\\Gridvane Tools";
}

/* The shortcuts' folder: the all-users Start menu for a per-machine
 * package. Wine's installer puts them in the user's Start menu instead. */
std::string MenuDir()
{
    char path[MAX_PATH] = "";
    SHGetFolderPathA(NULL, gv::RunningUnderWine() ? CSIDL_PROGRAMS : CSIDL_COMMON_PROGRAMS, NULL,
                     0, path);
    return std::string(path) + "\\Gridvane Tools";
}

/* The names in a folder, sorted; empty when it is not there. */
std::vector<std::string> Listing(const std::string &dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

/* msiexec with a verbose log in the evidence folder, silent unless ui; its
 * exit code (~0 when it did not end in time). With ui, the text of the
 * message box it shows is kept in message, and the box pressed. */
DWORD Msiexec(const std::string &arguments, const std::string &step, bool ui = false,
              std::string *message = NULL)
{
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    std::string log = EnvironmentText("GV_EVIDENCE_DIR") + "\\msiexec-" + step + ".log";
    gv::Child child;
    DWORD code = ~0u;
    if (gv::Start(child, std::string(system) + "\\msiexec.exe",
                  arguments + (ui ? "" : " /qn") + " /l*v \"" + log + "\"")) {
        // Wine's caption; a Windows Installer of Windows names the product.
        if (ui)
            *message = gv::DismissMessageBox(child.pid, "Install Failed", 60000);
        gv::WaitExit(child, 300000, &code);
    }
    gv::Release(child);
    return code;
}

/* Is the package's registry key there (in the 32-bit view, the package's)? */
bool PackageKeyExists()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Gridvane", 0, KEY_READ | KEY_WOW64_32KEY,
                      &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

/* The versions of the products installed under the package's upgrade code. */
std::vector<std::string> InstalledVersions()
{
    std::vector<std::string> versions;
    std::string upgradeCode = EnvironmentText("GV_MSI_UPGRADE_CODE");
    char product[39];
    for (DWORD i = 0; MsiEnumRelatedProductsA(upgradeCode.c_str(), 0, i, product) == ERROR_SUCCESS;
         ++i) {
        char version[64] = "";
        DWORD size = sizeof version;
        MsiGetProductInfoA(product, INSTALLPROPERTY_VERSIONSTRING, version, &size);
        versions.push_back(version);
    }
    return versions;
}

struct Shortcut {
    std::string target, arguments, startIn;
};

/* A .lnk file read back through the shell, as the Start menu reads it. */
Shortcut ReadShortcut(const std::string &path)
{
    Shortcut shortcut = {"(unreadable)", "", ""};
    IShellLinkA *link = NULL;
    IPersistFile *file = NULL;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                (void **)&link)))
        return shortcut;
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void **)&file)) &&
        SUCCEEDED(file->Load(wide, STGM_READ))) {
        char text[1024] = "";
        link->GetPath(text, sizeof text, NULL, SLGP_RAWPATH);
        shortcut.target = text;
        text[0] = '\0';
        link->GetArguments(text, sizeof text);
        shortcut.arguments = text;
        text[0] = '\0';
        link->GetWorkingDirectory(text, sizeof text);
        shortcut.startIn = text;
    }
    if (file != NULL)
        file->Release();
    link->Release();
    return shortcut;
}

/* A path as compared: lower case, without a trailing backslash. */
std::string Folder(std::string path)
{
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    return Lower(path);
}

/* One copy of a version installed in dir, whose shortcuts name computers. */
void ExpectInstalled(const std::string &dir, const std::string &version,
                     const std::string &computers)
{
    EXPECT_EQ(std::vector<std::string>{version}, InstalledVersions());
    EXPECT_EQ(gv::Joined(Shortcuts), gv::Joined(Listing(MenuDir()))) << MenuDir();
    const struct {
        const char *link, *program, *arguments;
    } expected[] = {{"Gridvane Monitor.lnk", "monopen.exe", ""},
                    {"Notification Window.lnk", "notify.exe", computers.c_str()}};
    for (const auto &e : expected) {
        Shortcut shortcut = ReadShortcut(MenuDir() + "\\" + e.link);
        EXPECT_EQ(Folder(dir + "\\" + e.program), Folder(shortcut.target)) << e.link;
        EXPECT_EQ(e.arguments, shortcut.arguments) << e.link;
        EXPECT_EQ(Folder(dir), Folder(shortcut.startIn)) << e.link;
    }
}

/* The release as it ships in dir, beside what else was there before. */
void ExpectRelease(const std::string &dir, const std::string &computers,
                   std::vector<std::string> files)
{
    ExpectInstalled(dir, GV_VERSION_TEXT, computers);
    files.insert(files.end(), ReleaseFiles.begin(), ReleaseFiles.end());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(gv::Joined(files), gv::Joined(Listing(dir)));
    std::string release = EnvironmentText("GV_RELEASE_DIR");
    for (const std::string &name : ReleaseFiles) {
        std::string shipped = ReadFileText(release + "\\" + name);
        EXPECT_FALSE(shipped.empty()) << release << "\\" << name;
        EXPECT_TRUE(ReadFileText(dir + "\\" + name) == shipped)
            << name << " installed is not the file of the release";
    }
}

/* Nothing of the package left, the base-system computer's own file kept. */
void ExpectNothingLeft()
{
    EXPECT_EQ(std::vector<std::string>{}, InstalledVersions());
    EXPECT_FALSE(gv::FileExists(DefaultDir())) << gv::Joined(Listing(DefaultDir()));
    EXPECT_FALSE(gv::FileExists(MenuDir())) << gv::Joined(Listing(MenuDir()));
    EXPECT_FALSE(PackageKeyExists()) << "HKLM\\Software\\Gridvane";
    EXPECT_EQ("[gvcore.exe] ", gv::Joined(Listing(BaseSystemDir)));
}

TEST(Package, InstallsUpgradesRefusesDowngradeUninstalls)
{
    GV_ONLY_UNDER_WINE("the programs installed on this machine");
    std::string release = EnvironmentText("GV_MSI"), older = EnvironmentText("GV_MSI_OLDER");
    ASSERT_FALSE(release.empty() || older.empty() || EnvironmentText("GV_MSI_UPGRADE_CODE").empty())
        << "run by msi.sh, which makes the packages";
    ASSERT_TRUE(SUCCEEDED(CoInitialize(NULL)));
    // What an earlier run may have left.
    Msiexec("/x \"" + release + "\"", "cleanup");
    Msiexec("/x \"" + older + "\"", "cleanup-older");
    ASSERT_TRUE(gv::RemoveTree("C:\\gvmsi"));
    ASSERT_TRUE(gv::MakeDirectories(BaseSystemDir));
    ASSERT_TRUE(gv::WriteFileText(std::string(BaseSystemDir) + "\\gvcore.exe", "stand-in"));

    {
        SCOPED_TRACE("the older version installed into a base-system computer's PROG\\EXEC");
        ASSERT_EQ(0u, Msiexec("/i \"" + older + "\" INSTALLDIR=" + BaseSystemDir +
                                  " BASESYSTEMS=OLDNODE", "install-older"));
        ExpectInstalled(BaseSystemDir, OlderVersion, "OLDNODE");
        std::vector<std::string> files = ReleaseFiles;
        files.insert(files.begin() + 3, "gvcore.exe");
        EXPECT_EQ(gv::Joined(files), gv::Joined(Listing(BaseSystemDir)));
    }
    {
        SCOPED_TRACE("the release over the older version, into the folder it had");
        ASSERT_EQ(0u, Msiexec("/i \"" + release + "\" BASESYSTEMS=\"NODE1 NODE2\"", "upgrade"));
        ExpectRelease(BaseSystemDir, "NODE1 NODE2", {"gvcore.exe"});
        EXPECT_FALSE(gv::FileExists(DefaultDir()));
        std::string upgradeCode = EnvironmentText("GV_MSI_UPGRADE_CODE");
        char product[39] = "", value[128] = "";
        MsiEnumRelatedProductsA(upgradeCode.c_str(), 0, 0, product);
        DWORD size = sizeof value;
        MsiGetProductInfoA(product, INSTALLPROPERTY_PUBLISHER, value, &size);
        EXPECT_STREQ("Gridvane", value);
        size = sizeof value;
        MsiGetProductInfoA(product, INSTALLPROPERTY_INSTALLEDPRODUCTNAME, value, &size);
        EXPECT_STREQ(GV_PRODUCT_NAME, value);
        if (EnvironmentText("GV_RUN32") == "1") {
            // The programs installed are 32-bit: only where they run.
            Shortcut shortcut = ReadShortcut(MenuDir() + "\\Notification Window.lnk");
            gv::NotifyWindow window;
            ASSERT_TRUE(gv::StartNotify(window, shortcut.arguments, "", shortcut.target));
            EXPECT_EQ("NODE1", gv::HostLabel(window, 0));
            EXPECT_EQ("NODE2", gv::HostLabel(window, 1));
            EXPECT_EQ(0, gv::CloseNotify(window, 10000));
        }
    }
    {
        // With its user interface, for the message; silent, Wine's
        // installer logs no launch condition's text.
        SCOPED_TRACE("the older version refused over the release");
        std::string message;
        EXPECT_EQ(1603u, Msiexec("/i \"" + older + "\"", "downgrade", true, &message));
        EXPECT_EQ(DowngradeMessage, message);
        ExpectRelease(BaseSystemDir, "NODE1 NODE2", {"gvcore.exe"});
    }
    {
        SCOPED_TRACE("the release uninstalled");
        ASSERT_EQ(0u, Msiexec("/x \"" + release + "\"", "uninstall"));
        ExpectNothingLeft();
    }
    {
        SCOPED_TRACE("the release installed into and uninstalled from the default folder");
        ASSERT_EQ(0u, Msiexec("/i \"" + release + "\"", "install-default"));
        ExpectRelease(DefaultDir(), "", {});
        ASSERT_EQ(0u, Msiexec("/x \"" + release + "\"", "uninstall-default"));
        ExpectNothingLeft();
    }
    gv::RemoveTree("C:\\gvmsi");
    CoUninitialize();
}

} // namespace
