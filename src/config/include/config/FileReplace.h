#pragma once
// Replaces a user's file without ever leaving it half written: the new bytes go to a file beside
// it, which is then renamed over the old one.

#include <cstdio>
#include <string>
#include <string_view>

namespace quarrow {

enum class ReplaceStep {
    Done,
    Refused,  // the existing file may not be written (read-only): left alone
    Create,   // the temporary file could not be created
    Write,    // writing or closing the temporary file failed (disk full, say)
    Rename,   // the temporary file could not take the old file's place
};

struct ReplaceResult {
    ReplaceStep Step = ReplaceStep::Done;
    int Error = 0;  // errno value when Step is not Done

    bool Ok() const noexcept { return Step == ReplaceStep::Done; }
};

// Creates a new file, never one that exists, named prefix, 16 hex digits and suffix (a name of
// its own however many runs and threads do the same) and opens it for writing; sets path to its
// name. Returns null, errno set, when it cannot be created.
std::FILE* CreateUniqueFile(const std::string& prefix, std::string_view suffix, std::string& path);

// Writes bytes to a new file beside path (CreateUniqueFile) and renames it over path. On failure
// the temporary file is removed and any file at path keeps its bytes.
ReplaceResult ReplaceFileContents(const std::string& path, std::string_view bytes);

// Returns the system's text for an errno value, untranslated ("No such file or directory").
std::string SystemErrorText(int error);

}  // namespace quarrow
