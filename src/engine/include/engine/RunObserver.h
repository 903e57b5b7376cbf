#pragma once
// What a processing run tells the one watching it: the progress window of the desktop program
// or the command line's progress line. Every call comes from the run's own thread.

#include <cstdint>
#include <string_view>

namespace quarrow {

class RunObserver {
public:
    virtual ~RunObserver() = default;
    // The run begins visiting the files (the progress window is shown here).
    virtual void RunStarted() {}
    // The scan of a file begins: its name without folder, and the size the progress range
    // runs to (0 when the file could not be opened).
    virtual void FileStarted(std::string_view fileName, std::uint64_t size) {
        (void)fileName;
        (void)size;
    }
    // The scan has reached position bytes of the file. Called on a budget (every few hundred
    // KiB, and once at the end of a file), never per line: the moment to repaint and let the
    // user interface handle pending events, where a Stop button may set the cancel flag.
    virtual void Progress(std::uint64_t position) { (void)position; }
    // The run has visited its files (the progress window is hidden here).
    virtual void RunFinished() {}
};

}  // namespace quarrow
