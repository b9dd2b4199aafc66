#pragma once

#include <cstdint>
#include <string_view>

// Progress of a long operation (comparing, preparing, writing reports, exporting), so that the same
// worker code runs behind a modal progress dialog or with the progress in the status bar. Every
// operation returns 0; callers ignore the result.
class CProcessCallback
{
public:
    // Kinds of SetProgress.
    static constexpr int kSetRange = 0;    // range 0..value, position 0
    static constexpr int kSetPosition = 1; // position value

    virtual ~CProcessCallback() = default;
    // The progress display becomes visible.
    virtual int BeginProgress() = 0;
    // The progress display is hidden and the idle text restored.
    virtual int EndProgress() = 0;
    // A one-line status text, for example the name of the item being processed.
    virtual int SetProgressText(std::string_view text) = 0;
    // Kind 0 sets the range to 0..value and the position to 0; kind 1 sets the position; other
    // kinds do nothing.
    virtual int SetProgress(int kind, std::int32_t value) = 0;
};
