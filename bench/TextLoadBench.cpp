// Loads one text file into the editor's text buffer, as opening it in the editor does, and prints
// the line count, the load result and the process's peak resident size.
//   bench_textload FILE [ROUNDS]
//   bench_textload FILE --parts     where the time goes: reading the file, splitting it into lines
//                                   (the memory file alone, as the load does it), the whole load
//                                   into the buffer
//   bench_textload FILE --floor     the buffer fed by a minimal reader (huge-page read, memchr
//                                   split; LF and CRLF only), to show the buffer's own cost
#include "editing/SyntaxEditContextEx.h"
#include "textcompare/UniMemFile.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

class CFloorBuffer : public CSyntaxEditContextEx
{
public:
    // Splits at LF (a CR before it goes with it) straight from the bytes.
    void Fill(std::string_view bytes)
    {
        BeginLoading();
        std::size_t pos = 0;
        while (true)
        {
            const void* hit = std::memchr(bytes.data() + pos, '\n', bytes.size() - pos);
            if (hit == nullptr)
            {
                AppendLoadedLine(bytes.substr(pos), {});
                break;
            }
            std::size_t stop = static_cast<const char*>(hit) - bytes.data();
            const bool crlf = stop > pos && bytes[stop - 1] == '\r';
            AppendLoadedLine(bytes.substr(pos, stop - pos - (crlf ? 1 : 0)), crlf ? "\r\n" : "\n");
            pos = stop + 1;
        }
        EndLoading();
    }
};

int Floor(const char* path)
{
    const auto t0 = std::chrono::steady_clock::now();
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    struct stat st
    {
    };
    if (fd < 0 || fstat(fd, &st) != 0)
        return 2;
    const std::size_t size = static_cast<std::size_t>(st.st_size);
    void* mem = mmap(nullptr, size + 1, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mem == MAP_FAILED)
        return 2;
    madvise(mem, size + 1, MADV_HUGEPAGE);
    std::size_t used = 0;
    while (used < size)
    {
        const ssize_t n = read(fd, static_cast<char*>(mem) + used, size - used);
        if (n <= 0)
            break;
        used += static_cast<std::size_t>(n);
    }
    close(fd);
    const auto t1 = std::chrono::steady_clock::now();
    CFloorBuffer buffer;
    buffer.Fill({static_cast<const char*>(mem), used});
    munmap(mem, size + 1);
    const auto t2 = std::chrono::steady_clock::now();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](auto d) { return std::chrono::duration<double, std::milli>(d).count(); };
    std::printf("floor: read %.1f ms, into the buffer %.1f ms, lines=%d maxrss_kib=%ld\n", ms(t1 - t0),
                ms(t2 - t1), buffer.GetLineCount(), usage.ru_maxrss);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: %s FILE [ROUNDS]\n", argv[0]);
        return 2;
    }
    if (argc > 2 && std::strcmp(argv[2], "--floor") == 0)
        return Floor(argv[1]);
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
        UniLineView views[256];
        long lines = 0;
        std::size_t n = std::size(views);
        std::string line;
        if (!file.KeepsText())
            while (file.ReadLine(line))
                ++lines;
        else
            while (n == std::size(views))
                lines += static_cast<long>(n = file.ReadLineViews(views, std::size(views)));
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
