// A stand-in child process for the hand-off tests, without Qt. It records the arguments it
// was given and the folder it was started in, may wait a while (or until a file appears, at
// most 10 s), and exits with the code asked for. On Windows it can also show a window and
// record whether that window was brought to the foreground while it waited.
//
//   tessaly-test-child [--record FILE] [--sleep MS] [--until FILE] [--window MS] [--exit CODE]
//                      [anything...]
//
// --window MS shows a top-level window without activating it and waits up to MS for it to
// become the foreground window; "raised" is then appended to the record, or else a line that
// says why not (no window at all, or which window held the foreground). Started under
// another name (as the chip updater), it records to the file named by the environment
// variable TESSALY_TEST_CHILD_RECORD instead.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>

namespace {

bool ShowWindowUntilRaised(int ms, std::ofstream& out) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TessalyTestChild";
    RegisterClassW(&windowClass);
    HWND window =
        CreateWindowExW(0, windowClass.lpszClassName, L"tessaly-test-child", WS_OVERLAPPEDWINDOW, 0,
                        0, 240, 120, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr) {
        out << "no window " << GetLastError() << '\n';
        return false;
    }
    ShowWindow(window, SW_SHOWNOACTIVATE);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < static_cast<DWORD>(ms)) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        if (GetForegroundWindow() == window)
            return true;
        Sleep(5);
    }
    out << "not raised, foreground " << GetForegroundWindow() << " ours " << window << '\n';
    return false;
}

} // namespace
#endif

int main(int argc, char** argv) {
    const char* recordVariable = std::getenv("TESSALY_TEST_CHILD_RECORD");
    std::string record = recordVariable ? recordVariable : "";
    int exitCode = 0;
    int sleepMs = 0;
    std::string until;
    int windowMs = 0;
    for (int i = 1; i + 1 < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--record")
            record = argv[++i];
        else if (a == "--exit")
            exitCode = std::atoi(argv[++i]);
        else if (a == "--sleep")
            sleepMs = std::atoi(argv[++i]);
        else if (a == "--until")
            until = argv[++i];
        else if (a == "--window")
            windowMs = std::atoi(argv[++i]);
    }
    std::ofstream out;
    if (!record.empty()) {
        out.open(record);
        if (!out.is_open())
            std::fprintf(stderr, "tessaly-test-child: cannot open %s\n", record.c_str());
        out << "cwd=" << std::filesystem::current_path().string() << '\n';
        for (int i = 1; i < argc; ++i)
            out << argv[i] << '\n';
        out.flush();
    }
#ifdef _WIN32
    if (windowMs > 0 && ShowWindowUntilRaised(windowMs, out) && out.is_open())
        out << "raised\n";
#else
    (void)windowMs; // only Windows lets one program raise another's window
#endif
    std::this_thread::sleep_for(std::chrono::milliseconds(sleepMs));
    for (int polls = 0; !until.empty() && !std::filesystem::exists(until) && polls < 1000; ++polls)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return exitCode;
}
