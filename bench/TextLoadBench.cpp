// Loads one text file into the editor's text buffer, as opening it in the editor does, and prints
// the line count, the load result and the process's peak resident size.
//   bench_textload FILE [ROUNDS]
//   bench_textload FILE --parts     where the time goes: reading the file, splitting it into lines
//                                   (the memory file alone), the whole load into the buffer
#include "editing/SyntaxEditContextEx.h"
#include "textcompare/UniMemFile.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/resource.h>

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: %s FILE [ROUNDS]\n", argv[0]);
        return 2;
    }
    if (argc > 2 && std::strcmp(argv[2], "--parts") == 0)
    {
        using Clock = std::chrono::steady_clock;
        const auto ms = [](Clock::duration d)
        { return std::chrono::duration<double, std::milli>(d).count(); };
        const auto t0 = Clock::now();
        UniMemFile file;
        if (!file.OpenRead(argv[1]))
            return 2;
        file.ReadBom();
        const auto t1 = Clock::now();
        std::string line, eol;
        long lines = 0;
        while (file.ReadLine(line, eol))
            ++lines;
        const auto t2 = Clock::now();
        CSyntaxEditContextEx buffer;
        bool lossy = false;
        std::string error;
        buffer.LoadFromFile(argv[1], 0, -1, lossy, error);
        const auto t3 = Clock::now();
        std::printf("read %.1f ms, lines split by the memory file %.1f ms (%ld), whole load %.1f ms\n",
                    ms(t1 - t0), ms(t2 - t1), lines, ms(t3 - t2));
        return 0;
    }
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 1;
    int result = 0;
    int lines = 0;
    for (int i = 0; i < rounds; ++i)
    {
        CSyntaxEditContextEx buffer;
        bool lossy = false;
        std::string error;
        result = buffer.LoadFromFile(argv[1], 0, -1, lossy, error);
        if (result == 0)
        {
            std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
            return 2;
        }
        lines = buffer.GetLineCount();
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("lines=%d result=%d maxrss_kib=%ld\n", lines, result, usage.ru_maxrss);
    return 0;
}
