// Finding a module's export by ordinal from its image in memory, the way
// the loader does: some of KERNEL32's entries of Windows 9x have no name
// and GetProcAddress refuses ordinals there.
#pragma once
#include "platform/Types.h"

// The export's address (module base + its address-table entry), or 0 when
// the image has no export directory, the ordinal is below the directory's
// ordinal base or past its function count, or the entry is empty.
uintptr_t exportByOrdinal(const uint8_t* image, uint32_t ordinal);
