// The older settings records of VX550 Display files (and of VX560 files of PAO
// versions 3 and 4), translated into the parameter catalogue. Read only.
#pragma once
#include <cstdint>

#include "base/DISK_M.h"
#include "base/Status.h"

namespace vx {

struct Catalogue;

// Reads the title of old record index (1 Meas, 2 View, 3 Source, 5 Input,
// 6 Trigger, ...) and its version word into slot 2 of cat.lists.paoVersion.
// Returns 0, or 1 after a message when the title differs or the version is
// not 3 or 4.
Status checkOldListHeader(Catalogue& cat, socket& stream, int16_t index);

// One record each; 0 on success, 1 after a message. A record that ends before
// its last field is refused with "Invalid file format: process aborted".
Status readOldMeasSettings(Catalogue& cat, socket& stream);
Status readOldViewSettings(Catalogue& cat, socket& stream);
// The File List as a current list, present only in records of version 4.
Status readOldFileList(Catalogue& cat, socket& stream);
// The layout depends on the measure group that the Meas record selected.
Status readOldSourceSettings(Catalogue& cat, socket& stream);
Status readOldInputSettings(Catalogue& cat, socket& stream);
Status readOldTriggerSettings(Catalogue& cat, socket& stream);

// All six records in file order (Meas, View, File, Source, Input, Trigger),
// each read even after another failed; 1 when any failed. The caller refreshes the display's unit
// texts.
Status readOldSettings(Catalogue& cat, socket& stream);

} // namespace vx
