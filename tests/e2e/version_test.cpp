// The version resource and the application manifest of both programs, read
// back the way Windows reads them.
#include <gtest/gtest.h>

#include <windows.h>

#include <string.h>

#include <string>
#include <vector>

#include "version.h"
#include "harness.h"

namespace {

const struct {
    const char *file;
    const char *description;
} Programs[] = {
    {"monopen.exe", "Gridvane monitor opener"},
    {"notify.exe", "Gridvane notification window"},
};

std::string StringValue(const std::vector<char> &block, const char *name)
{
    std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
    char *value = nullptr;
    UINT size = 0;
    if (!VerQueryValueA(block.data(), path.c_str(), (void **)&value, &size) || size == 0)
        return "(none)";
    return std::string(value, strnlen(value, size));
}

TEST(ReleaseFiles, VersionResourceReadsBack)
{
    for (const auto &program : Programs) {
        std::string path = gv::ShippedPath(program.file);
        DWORD ignored = 0;
        DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
        ASSERT_GT(size, 0u) << path << ": no version resource (" << GetLastError() << ")";
        std::vector<char> block(size);
        ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data())) << path;

        VS_FIXEDFILEINFO *fixed = nullptr;
        UINT fixedSize = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), "\\", (void **)&fixed, &fixedSize)) << path;
        EXPECT_EQ((DWORD)VS_FFI_SIGNATURE, fixed->dwSignature);
        const DWORD high = MAKELONG(GV_VERSION_MINOR, GV_VERSION_MAJOR);
        const DWORD low = MAKELONG(0, GV_VERSION_PATCH);
        EXPECT_EQ(high, fixed->dwFileVersionMS) << program.file;
        EXPECT_EQ(low, fixed->dwFileVersionLS) << program.file;
        EXPECT_EQ(high, fixed->dwProductVersionMS) << program.file;
        EXPECT_EQ(low, fixed->dwProductVersionLS) << program.file;
        EXPECT_EQ((DWORD)VFT_APP, fixed->dwFileType) << program.file;

        EXPECT_EQ(program.description, StringValue(block, "FileDescription"));
        EXPECT_EQ(GV_VERSION_TEXT, StringValue(block, "FileVersion")) << program.file;
        EXPECT_EQ(GV_VERSION_TEXT, StringValue(block, "ProductVersion")) << program.file;
        EXPECT_EQ(GV_PRODUCT_NAME, StringValue(block, "ProductName")) << program.file;
        EXPECT_EQ(program.file, StringValue(block, "OriginalFilename"));
    }
}

TEST(ReleaseFiles, ManifestRunsAsInvokerOnCurrentWindows)
{
    for (const auto &program : Programs) {
        std::string path = gv::ShippedPath(program.file);
        HMODULE module = LoadLibraryExA(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, module) << path << " (" << GetLastError() << ")";
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
        std::string manifest;
        if (found != NULL) {
            const char *data = (const char *)LockResource(LoadResource(module, found));
            if (data != nullptr)
                manifest.assign(data, SizeofResource(module, found));
        }
        FreeLibrary(module);
        ASSERT_FALSE(manifest.empty()) << program.file << ": no manifest resource 1";
        EXPECT_NE(std::string::npos, manifest.find("level=\"asInvoker\"")) << manifest;
        EXPECT_NE(std::string::npos, manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"))
            << program.file << ": Windows 10 and 11 are not among the supported systems";
    }
}

} // namespace
