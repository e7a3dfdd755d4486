// The notes button runs elevated from wherever the medium lies. A program named like the system's
// editor beside Setup.exe must never be the one that starts: the shell looks for a bare name in
// the current directory and the program's folder first, and tries .com before .exe.
#include <windows.h>

#include <gtest/gtest.h>

#include "res/launcher_ids.h"
#include "tests/e2e/harness.h"
#include "tests/support/paths.h"

namespace {

std::string ImageOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
    char path[MAX_PATH] = "";
    DWORD size = sizeof(path);
    // Vista and later, which the headers of this build do not declare; Wine has it always.
    using QueryImage = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
    auto query = reinterpret_cast<QueryImage>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA")));
    if (process && query) {
        query(process, 0, path, &size);
    }
    if (process) {
        CloseHandle(process);
    }
    return path;
}

} // namespace

TEST(PlantedEditor, NotesOpenInTheSystemsEditorNotInOnePlantedBesideTheProgram) {
    TempFolder medium;
    CopyTree(SampleMediumDir(), medium.path());
    ASSERT_TRUE(CopyFileA(BuiltSetupExe().c_str(), (medium / "Setup.exe").c_str(), FALSE));
    std::string marker = BinaryDir() + "\\tests\\e2e\\planted_program.exe";
    const char* const planted[] = {"notepad.exe", "notepad.com"};
    for (const char* name : planted) {
        ASSERT_TRUE(CopyFileA(marker.c_str(), (medium / name).c_str(), FALSE)) << name;
    }
    SetupRun run(medium / "Setup.exe", medium.path());
    HWND launcher = run.waitLauncher();
    ASSERT_NE(launcher, nullptr);
    Click(launcher, IDC_BTN_NOTES);

    HWND editor = nullptr;
    WaitFor([&] {
        editor = FindWindowA("Notepad", nullptr);
        return editor != nullptr;
    });
    // A planted program ends at once; give it the time the editor took to show.
    Sleep(1000);
    std::string ran;
    for (const char* name : planted) {
        if (GetFileAttributesA((medium / (std::string(name) + ".ran")).c_str()) !=
            INVALID_FILE_ATTRIBUTES) {
            ran += std::string(" ") + name;
        }
    }
    EXPECT_EQ(ran, "") << "planted programs ran";
    ASSERT_NE(editor, nullptr) << "the system's editor did not start";
    EXPECT_NE(WindowText(editor).find("Readme"), std::string::npos) << WindowText(editor);
    std::string image = ImageOf(editor), expected = SystemFolder() + "\\notepad.exe";
    CharLowerA(image.data());
    CharLowerA(expected.data());
    EXPECT_EQ(image, expected) << "not the system's editor";
    PostMessageA(editor, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(editor); }));
    Click(launcher, IDC_BTN_EXIT);
    DWORD code = 1;
    EXPECT_TRUE(run.waitExit(&code));
    EXPECT_EQ(code, 0u);
}
