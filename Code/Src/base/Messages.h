// The system's messages, one table: every text that the engine and the
// library write to the console and the log is named here, with its text byte
// for byte, and every failure status is tied to the message that reports it.
#pragma once
#include <cstdint>

namespace vx::msg {

enum Id : uint16_t {
    // The job's option errors, in the order of their error index (0 is none).
    eNoOptionError,
    eOptionNotAllowed,
    eInvalidOption,
    eProcessAborted,
    eTooManyFiles,
    eInvalidOutputType,
    eParameterOutOfRange,
    eInvalidColumnOptions,
    eInvalidUnitOptions,
    eInvalidInputFile,
    eCannotConvert,
    eProblemWithOutput,
    eCannotOpenLog,

    // The job.
    eUseHelp,
    eErrorPrefix,
    eOddInputRange,
    eRangeSetTo,
    eDbvpkUnit,
    eOddKpts,
    eFileIncreasedTo,
    eKptsUnit,

    // The run and its guards on outputs and the log.
    eNoInputName,
    eErrorOpeningInput,
    eOutOfSequence,
    eUnknownInputFormat,
    eReason,
    eProcessing,
    eProcessingArrow,
    eFinished,
    eOutputIsInput,
    eOutputIsLog,
    eOutputOfOtherKind,
    eQuoteWildcards,
    eLogIsMeasurementError,
    eLogIsMeasurement,
    eLogIsInput,
    eLogIsOutput,

    // File names, byte streams and floppy prompts (the %d texts are formats).
    eErrorOpeningFile,
    eNameLongerThan,
    eNameCharacters,
    eContinue,
    eErrorReadingFile,
    eNoOutputFolder,
    eInsufficientSpace,
    eAccessDenied,
    eInsertAnotherDisk,
    eAnotherDiskNumber,
    eNoUsableDisk,
    eInsertAnotherDiskNumber,
    eDiskNotChanged,
    eDiskFull,
    eDiskNumber,
    eDiskNotInserted,
    eInsertDiskNumber,
    eIncorrectDisk,
    eFileNotFound,
    eOutOfSequenceDisk,
    eInvalidHeader,
    eWaitingForRun,

    // Said alike by several readers and writers.
    eInvalidFileFormat,
    eFileReadError,
    eErrorReadingHeader,
    eErrorWritingToFile,
    eErrorWritingFile,
    eNoDataToExtract,
    eInvalidMeasurementType,

    // Settings blocks and the VX550 translation.
    eHeaderParameters,
    eHeaderFault,
    eCannotTranslateMeasurement,
    eVx550Header,
    eVx550Unsupported,
    eVx550Contact,
    eVx550Newer,

    // Display files and the trace.
    eIgnoringData,
    eZeroPadding,
    eSavedLen,
    eInvalidAsciiData,
    eProblemFieldId,
    eProblemDataHeader,
    eFieldIdInvalid,
    eInvalidChecksum,
    eInvalidVersion,
    eVx550DisplayType,
    eVx560DisplayType,

    // Capture and Arb. Waveform files, number lists.
    eArbType,
    eCaptureType,
    eAsciiFloatType,
    eErrorReadingLower,
    eInvalidFloat,
    eValueOutOfRange,

    // HP SDF.
    eTwoYPerPoint,
    eSdfType,
    eLengthsDontCompute,
    eErrorReadingData,
    eFftLinesUnsupported,
    eFftLinesRange,
    eMeasTranslationUnsupported,
    eRangeIncompatible,
    eDbvpkUsing,
    eMeasurementUnsupported,
    eHistogramLength,
    eMeasTypeUnsupported,
    eSliceTranslationUnsupported,
    eMeasurmentTranslationUnsupported,
    eUserMathLimited,
    eMissingRpm,

    // MAT and UFF.
    eMatArrayName,
    eUffMeasurementUnsupported,
    eUffSliceUnsupported,

    // netCDF.
    eNetcdfNotBuilt,
    eNetcdfError,
    eNetcdfNotLoaded,

    // Waterfall files.
    eWaterfallType,
    eErrorReadingHeaderShort,
    eNoChannel,
    eNoSlices,
    eExtractingCh,
    eStartingFrom,
    eExtractingTo,

    // The library's entry points.
    eNoArgument,
    eArgumentGiven,
    eBufferTooSmall,
    eBytesNeeded,
    eDataRequestRange,
    ePeakUnitRange,
    eMagUnitRange,
    ePhaseUnitRange,
    eTooManyItems,
    eNoDisplayLoaded,
    eNoPromptHook,
    eInvalidInputType,
    eCount
};

// The text of a message; the empty text for an id outside the table.
const char* text(Id id);

// The option error of the given index (0 to 12), as the job reports it; the
// empty text for another index.
constexpr Id optionError(int index) {
    constexpr int kLast = eCannotOpenLog - eNoOptionError;
    return index >= 0 && index <= kLast ? static_cast<Id>(eNoOptionError + index) : eNoOptionError;
}

// The message that reports a failure status (10 "Insufficient Disk Space:"
// and the others); eNoOptionError, the empty text, for success and for a code
// that is not a named status.
Id forStatus(int16_t code);

} // namespace vx::msg
