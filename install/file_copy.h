// The installer's file writing. A copy never replaces what is already there and never leaves a
// partly written target behind: it is built under a scratch name in the target's folder, flushed,
// and only then given its name, so an interrupted installation cannot leave a truncated file
// that a later one would take for a finished copy.
#pragma once

#include <filesystem>
#include <string_view>

namespace termdex {

enum class CopyOutcome {
    Copied,
    AlreadyThere, // the target existed (a file, a folder or a link): left unchanged
    Failed,       // the target does not exist afterwards
};

// Copies the regular file from to the path to, keeping its permission bits; executable adds
// the execute bits where the file can be read (a program copied from media without them).
CopyOutcome CopyWithoutOverwrite(const std::filesystem::path &from, const std::filesystem::path &to,
                                 bool executable = false);

// Writes bytes as the whole file, replacing an older one in one step, with the permission bits
// mode. False when the file could not be written (an older one is then left as it was).
bool ReplaceFile(const std::filesystem::path &file, std::string_view bytes, unsigned mode);

// Sets the owner-write bit of file, keeping its other bits (the read-only attribute cleared).
// False when that fails or the file stays read-only (a read-only file system).
bool ClearReadOnly(const std::filesystem::path &file);

} // namespace termdex
