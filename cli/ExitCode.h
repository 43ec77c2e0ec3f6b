#pragma once

namespace wl::cli {

// The exit codes of wavelark-cli; scripts test them, so their numbers never change.
enum ExitCode : int
{
    Success = 0,
    Failed = 1,      // the command ran and could not do its work; nothing was changed
    UsageError = 2,  // a wrong option, a missing argument, an unknown name
    MissingFile = 3, // an input file, the data folder or its table does not exist
    TableInUse = 4,  // another program (Wavelark itself) has the table open
};

} // namespace wl::cli
