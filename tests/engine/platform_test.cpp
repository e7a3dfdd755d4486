#include "engine/platform.h"

#include <gtest/gtest.h>

#include <memory>

#include "engine/config.h"
#include "engine/services.h"
#include "res/strings.h"

namespace {

// Presents a chosen system: version query result, platform, major version and architectures.
class FakeSystem : public Win32Services {
public:
    BOOL versionResult = TRUE;
    DWORD platform = VER_PLATFORM_WIN32_NT;
    DWORD major = 6;
    bool hasNativeQuery = true;
    WORD nativeArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
    WORD processArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
    DWORD sizeSeen = 0;

    BOOL getVersionEx(OSVERSIONINFOA* info) override {
        sizeSeen = info->dwOSVersionInfoSize;
        if (!versionResult) {
            return FALSE;
        }
        info->dwPlatformId = platform;
        info->dwMajorVersion = major;
        return TRUE;
    }
    bool getNativeSystemInfo(SYSTEM_INFO* info) override {
        if (!hasNativeQuery) {
            return false;
        }
        info->wProcessorArchitecture = nativeArchitecture;
        return true;
    }
    void getSystemInfo(SYSTEM_INFO* info) override {
        info->wProcessorArchitecture = processArchitecture;
    }
};

std::string Config(UINT id) {
    return LoadConfigBuffer(id).get();
}

struct SystemCase {
    const char* name;
    DWORD platform;
    DWORD major;
    WORD nativeArchitecture;
    int expectedClass;
    const char* expectedFolder;
    const char* expectedEnvironment;
};

class PlatformDetection : public ::testing::TestWithParam<SystemCase> {};

} // namespace

TEST_P(PlatformDetection, ClassFolderAndEnvironment) {
    const SystemCase& c = GetParam();
    FakeSystem system;
    system.platform = c.platform;
    system.major = c.major;
    system.nativeArchitecture = c.nativeArchitecture;
    ScopedServices scope(system);

    int code = DetectPlatformClass();
    EXPECT_EQ(code, c.expectedClass);
    EXPECT_EQ(system.sizeSeen, 148u);
    EXPECT_EQ(Config(DriverFolderId(code)), c.expectedFolder);
    EXPECT_EQ(Config(SpoolerEnvironmentId(code)), c.expectedEnvironment);
}

INSTANTIATE_TEST_SUITE_P(
    Systems, PlatformDetection,
    ::testing::Values(
        SystemCase{"Windows98", VER_PLATFORM_WIN32_WINDOWS, 4, PROCESSOR_ARCHITECTURE_INTEL, 0,
                   "\\Win98 & ME\\", "Windows 4.0"},
        SystemCase{"Xp32", VER_PLATFORM_WIN32_NT, 5, PROCESSOR_ARCHITECTURE_INTEL, 1,
                   "\\Win2K & XP & 2003\\", "Windows NT x86"},
        SystemCase{"Xp64", VER_PLATFORM_WIN32_NT, 5, PROCESSOR_ARCHITECTURE_AMD64, 2,
                   "\\Win7_XP64\\", "Windows x64"},
        SystemCase{"Nt4", VER_PLATFORM_WIN32_NT, 4, PROCESSOR_ARCHITECTURE_INTEL, 1,
                   "\\Win2K & XP & 2003\\", "Windows NT x86"},
        SystemCase{"Win7_32", VER_PLATFORM_WIN32_NT, 6, PROCESSOR_ARCHITECTURE_INTEL, 3,
                   "\\Vista & Win7 & Win8\\", "Windows NT x86"},
        SystemCase{"Win7_64", VER_PLATFORM_WIN32_NT, 6, PROCESSOR_ARCHITECTURE_AMD64, 4,
                   "\\Win7_XP64\\", "Windows x64"},
        SystemCase{"Win10_64", VER_PLATFORM_WIN32_NT, 10, PROCESSOR_ARCHITECTURE_AMD64, 4,
                   "\\Win7_XP64\\", "Windows x64"},
        SystemCase{"Itanium5", VER_PLATFORM_WIN32_NT, 5, PROCESSOR_ARCHITECTURE_IA64, 2,
                   "\\Win7_XP64\\", "Windows x64"},
        SystemCase{"Itanium6", VER_PLATFORM_WIN32_NT, 6, PROCESSOR_ARCHITECTURE_IA64, 4,
                   "\\Win7_XP64\\", "Windows x64"},
        SystemCase{"UnknownFamily", 3, 6, PROCESSOR_ARCHITECTURE_INTEL, 1, "\\Win2K & XP & 2003\\",
                   "Windows NT x86"},
        // A 9x system never reports a 64-bit processor; the environment would follow it.
        SystemCase{"Win32s64", VER_PLATFORM_WIN32_WINDOWS, 4, PROCESSOR_ARCHITECTURE_AMD64, 0,
                   "\\Win98 & ME\\", "Windows x64"}),
    [](const ::testing::TestParamInfo<SystemCase>& info) { return std::string(info.param.name); });

TEST(PlatformDetectionFaults, FailedVersionQueryCountsAsNtUpTo5) {
    FakeSystem system;
    system.versionResult = FALSE;
    ScopedServices scope(system);
    EXPECT_EQ(DetectPlatformClass(), 1);
}

TEST(PlatformDetectionFaults, WithoutTheNativeQueryTheProcessorComesFromGetSystemInfo) {
    FakeSystem system;
    system.hasNativeQuery = false;
    system.nativeArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
    system.processArchitecture = PROCESSOR_ARCHITECTURE_AMD64;
    ScopedServices scope(system);
    EXPECT_TRUE(IsNative64Bit());
    EXPECT_EQ(DetectPlatformClass(), 4);
}

TEST(PlatformDetectionFaults, NativeQueryWinsOverTheProcessView) {
    // A 32-bit process on a 64-bit system sees x86 from GetSystemInfo.
    FakeSystem system;
    system.nativeArchitecture = PROCESSOR_ARCHITECTURE_AMD64;
    system.processArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
    ScopedServices scope(system);
    EXPECT_TRUE(IsNative64Bit());
}

TEST(DriverFolderIdMapping, CodesOutsideTheRangeGiveTheXpFolder) {
    EXPECT_EQ(DriverFolderId(5), static_cast<UINT>(IDS_FOLDER_WIN2K_XP_2003));
    EXPECT_EQ(DriverFolderId(-1), static_cast<UINT>(IDS_FOLDER_WIN2K_XP_2003));
}

// The real system under Wine: the 64-bit build runs in a 64-bit prefix reporting Windows 7, the
// 32-bit build in a 32-bit one.
TEST(RealPlatform, WinePrefixIsClassifiedForItsWordSize) {
    int code = DetectPlatformClass();
#ifdef _WIN64
    EXPECT_EQ(code, 4);
    EXPECT_EQ(Config(SpoolerEnvironmentId(code)), "Windows x64");
    EXPECT_EQ(Config(DriverFolderId(code)), "\\Win7_XP64\\");
#else
    EXPECT_EQ(code, 3);
    EXPECT_EQ(Config(SpoolerEnvironmentId(code)), "Windows NT x86");
    EXPECT_EQ(Config(DriverFolderId(code)), "\\Vista & Win7 & Win8\\");
#endif
}
