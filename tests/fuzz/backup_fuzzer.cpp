// Fuzzes the reader of backup files: any bytes are read without a crash, and whatever is
// accepted is written out and read back as the same entries and the same file.
#include "custom/entry_backup.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace termdex;
    const BackupParse parsed =
        ReadBackup(std::string_view(reinterpret_cast<const char *>(data), size));
    if (!parsed.entries)
        return 0;
    const std::string file = WriteBackup(*parsed.entries);
    const BackupParse again = ReadBackup(file);
    if (!again.entries || WriteBackup(*again.entries) != file)
        __builtin_trap();
    return 0;
}
