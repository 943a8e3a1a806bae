// The message texts that several modules print, kept in one place so that
// every reader and writer says the same thing.
#pragma once

namespace vx::msg {

inline constexpr const char kInvalidFileFormat[] = "Invalid file format: process aborted";
inline constexpr const char kFileReadError[] = "File Read Error: process aborted";
inline constexpr const char kErrorReadingHeader[] = "Error reading file header";
inline constexpr const char kErrorWritingToFile[] = "Error writing to file";
inline constexpr const char kErrorWritingFile[] = "Error writing file";
inline constexpr const char kNoDataToExtract[] = "No data to extract";
inline constexpr const char kInvalidMeasurementType[] = "Invalid measurment type";
inline constexpr const char kWaterfallInputType[] = "Input File Type: VX560 waterfall file";

} // namespace vx::msg
