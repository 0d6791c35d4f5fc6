// A stand-in child process for the hand-off tests: no window, no Qt. It records the arguments
// it was given and the folder it was started in, may wait a while (or until a file appears,
// at most 10 s), and exits with the code asked for.
//
//   tessaly-test-child [--record FILE] [--sleep MS] [--until FILE] [--exit CODE] [anything...]
//
// Started under another name (as the chip updater), it records to the file named by the
// environment variable TESSALY_TEST_CHILD_RECORD instead.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

int main(int argc, char** argv) {
    const char* recordVariable = std::getenv("TESSALY_TEST_CHILD_RECORD");
    std::string record = recordVariable ? recordVariable : "";
    int exitCode = 0;
    int sleepMs = 0;
    std::string until;
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
    }
    if (!record.empty()) {
        std::ofstream out(record);
        out << "cwd=" << std::filesystem::current_path().string() << '\n';
        for (int i = 1; i < argc; ++i)
            out << argv[i] << '\n';
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(sleepMs));
    for (int polls = 0; !until.empty() && !std::filesystem::exists(until) && polls < 1000; ++polls)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return exitCode;
}
