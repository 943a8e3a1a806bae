// The text of each message, in the order of their names.
#include "base/Messages.h"

#include "base/Status.h"

namespace vx::msg {

namespace {

struct Entry {
    Id id;
    const char* text;
};

constexpr Entry kTable[] = {
    {eNoOptionError, ""},
    {eOptionNotAllowed, "Error: Option not allowed: /"},
    {eInvalidOption, "Error: Invalid option: /"},
    {eProcessAborted, "Error: Process aborted"},
    {eTooManyFiles, "Error: Too many files"},
    {eInvalidOutputType, "Error: Invalid output file type: /"},
    {eParameterOutOfRange, "Error: Parameter out of range: /"},
    {eInvalidColumnOptions, "Error: Invalid column options: /"},
    {eInvalidUnitOptions, "Error: Invalid unit options: /"},
    {eInvalidInputFile, "Error: Invalid input file"},
    {eCannotConvert, "Error: Can not convert to output file type"},
    {eProblemWithOutput, "Error: Problem with output file"},
    {eCannotOpenLog, "Error: Can' open log file: "},
    {eUseHelp, "  Use /? for help"},
    {eErrorPrefix, "Error: "},
    {eOddInputRange, "Warning, only even Input ranges allowed"},
    {eRangeSetTo, "Range set to: "},
    {eDbvpkUnit, " dBVpk"},
    {eOddKpts, "Warning, only even number of kpts allowed"},
    {eFileIncreasedTo, "File increased to "},
    {eKptsUnit, " kpts"},
    {eNoInputName, "No input file name"},
    {eErrorOpeningInput, "Error opening input file: Process aborted"},
    {eOutOfSequence, "Out of sequence Multi-disk file: Process aborted"},
    {eUnknownInputFormat, "Unknown input file format: Process aborted"},
    {eReason, "Reason: "},
    {eProcessing, "Processing "},
    {eProcessingArrow, " ==> "},
    {eFinished, "Finished"},
    {eOutputIsInput, "Error: Output file is the input file: "},
    {eOutputIsLog, "Error: Output file is the log file: "},
    {eOutputOfOtherKind, "Error: Output file is an instrument or HP SDF file of another kind: "},
    {eQuoteWildcards, "  Quote wildcards ('*.56d') so that the shell leaves them to vxconv"},
    {eLogIsMeasurementError, "Error: Log file is an instrument or HP SDF file: "},
    {eLogIsMeasurement, "Log file is an instrument or HP SDF file: "},
    {eLogIsInput, "Log file is the input file: "},
    {eLogIsOutput, "Log file is the output file: "},
    {eErrorOpeningFile, "Error opening file: "},
    {eNameLongerThan, "Error: Name longer than "},
    {eNameCharacters, " characters: "},
    {eContinue, "Continue? (y/n) "},
    {eErrorReadingFile, "Error Reading File: "},
    {eNoOutputFolder, "Output folder does not exist: "},
    {eInsufficientSpace, "Insufficient Disk Space:"},
    {eAccessDenied, "File access denied: Process aborted"},
    {eInsertAnotherDisk, "Please insert another disk"},
    {eAnotherDiskNumber, "(number %d )"},
    {eNoUsableDisk, "No usable disk was inserted: Process aborted"},
    {eInsertAnotherDiskNumber, "Please insert another disk (# %d)"},
    {eDiskNotChanged, "The disk was not changed!"},
    {eDiskFull, "This disk is full!"},
    {eDiskNumber, "Disk number "},
    {eDiskNotInserted, " was not inserted: Process aborted"},
    {eInsertDiskNumber, "Please insert disk number %d"},
    {eIncorrectDisk, "Incorrect disk: "},
    {eFileNotFound, "File not found"},
    {eOutOfSequenceDisk, "Out of sequence"},
    {eInvalidHeader, "Invalid header"},
    {eWaitingForRun, "Waiting for another run writing "},
    {eInvalidFileFormat, "Invalid file format: process aborted"},
    {eFileReadError, "File Read Error: process aborted"},
    {eErrorReadingHeader, "Error reading file header"},
    {eErrorWritingToFile, "Error writing to file"},
    {eErrorWritingFile, "Error writing file"},
    {eNoDataToExtract, "No data to extract"},
    {eInvalidMeasurementType, "Invalid measurment type"},
    {eHeaderParameters, "Error reading header parameters: "},
    {eHeaderFault, "  (header fault)"},
    {eCannotTranslateMeasurement, "Measurement can not be translated"},
    {eVx550Header, "Error reading VX550 header:  "},
    {eVx550Unsupported, "Translation utils do not support this version of VX550 data files."},
    {eVx550Contact, "Please contact Halvorn for new VX550 Roms"},
    {eVx550Newer, "Newer translation utilities required"},
    {eIgnoringData, "ignoring data: input len "},
    {eZeroPadding, "zero padding data: input len "},
    {eSavedLen, "  saved Len "},
    {eInvalidAsciiData, "Invalid Ascii Data Format"},
    {eProblemFieldId, "Problem writing data field id"},
    {eProblemDataHeader, "Problem writing data header"},
    {eFieldIdInvalid, "Data Field Id invalid"},
    {eInvalidChecksum, "Invalid checksum: process aborted"},
    {eInvalidVersion, "Invalid file version: process aborted"},
    {eVx550DisplayType, "Input File Type: VX550 Display file"},
    {eVx560DisplayType, "Input File Type: VX560 Display file"},
    {eArbType, "Input File Type: VX560 Arb. Source buffer"},
    {eCaptureType, "Input File Type: VX560 Capture buffer"},
    {eAsciiFloatType, "Input File Type: Ascii float data"},
    {eErrorReadingLower, "Error reading file"},
    {eInvalidFloat, "invalid float encountered: "},
    {eValueOutOfRange, "Value out of range"},
    {eTwoYPerPoint, "Invalid data set, 2 y-data's per point"},
    {eSdfType, "Input File Type: HP SDF(tm) Vers "},
    {eLengthsDontCompute, "Lengths don't compute...this should never happen!!!"},
    {eErrorReadingData, "Error reading data"},
    {eFftLinesUnsupported, "FFT lines not supported: "},
    {eFftLinesRange, " points (the instrument has 100 to 800 lines)"},
    {eMeasTranslationUnsupported, "Measurement translation not supported"},
    {eRangeIncompatible, "Range incompatible: was "},
    {eDbvpkUsing, " dBVpk, using "},
    {eMeasurementUnsupported, "Measurement not supported"},
    {eHistogramLength, "Histogram length can not be determined: assuming 1000 samples"},
    {eMeasTypeUnsupported, "Measurement type not supported"},
    {eSliceTranslationUnsupported, "Measurment translation of Slice not supported"},
    {eMeasurmentTranslationUnsupported, "Measurment translation not supported"},
    {eUserMathLimited, "Attempting to translate User Math Function: SUPPORT LIMITED"},
    {eMissingRpm, "Missing RPM data"},
    {eMatArrayName, "Array Name incomaptible with Matlab(tm), prepending 'qrb'"},
    {eUffMeasurementUnsupported, "Translation of this measurement type to UFF is not supported"},
    {eUffSliceUnsupported, "Translation of this waterfall slice to UFF is not supported"},
    {eNetcdfNotBuilt, "netCDF output is not built in: install libnetcdf-dev and rebuild"},
    {eNetcdfError, "netCDF error: "},
    {eNetcdfNotLoaded, "netCDF library could not be loaded: "},
    {eWaterfallType, "Input File Type: VX560 waterfall file"},
    {eErrorReadingHeaderShort, "Error reading header"},
    {eNoChannel, "No channel "},
    {eNoSlices, " slices in this waterfall file"},
    {eExtractingCh, "Extracting: Ch "},
    {eStartingFrom, "Starting from Trace index "},
    {eExtractingTo, "Extracting to Trace index "},
    {eNoArgument, "Invalid argument: no "},
    {eArgumentGiven, " given"},
    {eBufferTooSmall, "Buffer too small: "},
    {eBytesNeeded, " bytes needed"},
    {eDataRequestRange, "Invalid data option request: out of range: "},
    {ePeakUnitRange, "Invalid Peak unit request: out of range"},
    {eMagUnitRange, "Invalid Mag unit request: out of range"},
    {ePhaseUnitRange, "Invalid Phase unit request: out of range"},
    {eTooManyItems, "Error: Too many command line items: at most "},
    {eNoDisplayLoaded, "No Display file is loaded"},
    {eNoPromptHook, "Answered no: the host program set no prompt hook"},
    {eInvalidInputType, "Invalid input file type"},
};

// Each entry sits at the position of its id, so a text cannot slide onto
// another name.
constexpr bool inOrder() {
    for (uint16_t i = 0; i < eCount; ++i)
        if (kTable[i].id != i) return false;
    return sizeof kTable / sizeof kTable[0] == eCount;
}
static_assert(inOrder(), "one text per message, in the order of the ids");

struct StatusMessage {
    int16_t code;
    Id message;
};

// A failure status and the message that the system writes where it arises.
constexpr StatusMessage kStatusMessages[] = {
    {kStatusFailed, eProcessAborted},          {kStatusReadFailed, eFileReadError},
    {kStatusTokenTooLong, eErrorReadingLower}, {kStatusNoSpace, eInsufficientSpace},
    {kStatusNoInput, eErrorReadingFile},       {kStatusAccessDenied, eAccessDenied},
    {kStatusBadFile, eInvalidFileFormat},
};

} // namespace

const char* text(Id id) {
    return id < eCount ? kTable[id].text : "";
}

Id forStatus(int16_t code) {
    for (const StatusMessage& s : kStatusMessages)
        if (s.code == code) return s.message;
    return eNoOptionError;
}

} // namespace vx::msg
