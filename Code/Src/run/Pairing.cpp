// The table of output formats. A new format is its folder, one row here
// and its help page.
#include "run/Pairing.h"

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <vector>

#include "ascii/AsciiCapArbWriter.h"
#include "ascii/AsciiTraceWriter.h"
#include "base/Options.h"
#include "csv/CsvWriters.h"
#include "json/JsonWriters.h"
#include "display/DisplayFile.h"
#include "mat/MatWriter.h"
#include "netcdf/NcWriters.h"
#include "run/Help.h"
#include "run/OptionMgr.h"
#include "sdf/SdfReader.h"
#include "sdf/SdfWriter.h"
#include "timebuf/CapArbWriter.h"
#include "timebuf/NumberList.h"
#include "uff/UffWriter.h"
#include "waterfall/Waterfall.h"

namespace vx {

namespace {

constexpr uint32_t inputBit(int32_t type) {
    return 1u << type;
}

// Each reader is given the part of the model it fills or reads: the trace
// readers the model, the number list the options, a Capture file nothing.
template <class Reader> std::unique_ptr<Reader> makeReader(CModel& model) {
    if constexpr (std::is_constructible_v<Reader, CModel&>)
        return std::make_unique<Reader>(model);
    else if constexpr (std::is_constructible_v<Reader, const ConvOptions&>)
        return std::make_unique<Reader>(model.options);
    else
        return std::make_unique<Reader>();
}

template <class Reader> std::unique_ptr<CFileReader> newReader(CModel& model) {
    return makeReader<Reader>(model);
}

// The writer maker receives the reader it reads from, as its own type.
template <class Reader, auto MakeWriter> ReaderWriterPair newPair(COptionMgr& job) {
    auto reader = makeReader<Reader>(job.model());
    std::unique_ptr<CFileWriter> writer = MakeWriter(job, *reader);
    return {std::move(reader), std::move(writer)};
}

template <class Reader, auto MakeWriter> Conversion convert(uint32_t inputTypes) {
    return {inputTypes, newReader<Reader>, newPair<Reader, MakeWriter>};
}

// Writers that read from the trace model rather than from their reader.
template <class Writer> std::unique_ptr<CFileWriter> traceWriter(COptionMgr& job, CFileReader&) {
    return std::make_unique<Writer>(job.model());
}

// The kind word of a written Capture/Arb. file follows the output format alone.
int16_t kindFor(const COptionMgr& job) {
    return job.outputFormat() == eFmtArb ? eKindArb : eKindCaptureCh1;
}

std::unique_ptr<CFileWriter> capArbToAscii(COptionMgr& job, CCapArbReader& reader) {
    return std::make_unique<CAsciiCapArbWriter>(job.model().options,
                                                job.model().cat.rpmDisplaySwitch, &reader);
}

std::unique_ptr<CFileWriter> capArbCopy(COptionMgr& job, CCapArbReader& reader) {
    return std::make_unique<CCapArbWriter>(&reader, kindFor(job));
}

std::unique_ptr<CFileWriter> numberListToCapArb(COptionMgr& job, CAsciiReader& reader) {
    return std::make_unique<CCapArbWriter>(&reader, kindFor(job));
}

std::unique_ptr<CFileWriter> waterfallToAscii(COptionMgr& job, CWaterFallReader& reader) {
    return std::make_unique<CWfAsciiWriter>(job.model(), &reader);
}

std::unique_ptr<CFileWriter> capArbToCsv(COptionMgr&, CCapArbReader& reader) {
    return std::make_unique<CCsvCapArbWriter>(&reader);
}

// The slices of a Waterfall file, read through the reader that the pair owns.
SliceFeed slicesOf(CWaterFallReader& reader) {
    return {[&reader] { return reader.count(); }, [&reader] { return reader.nextSlice(); }};
}

std::unique_ptr<CFileWriter> waterfallToCsv(COptionMgr& job, CWaterFallReader& reader) {
    return std::make_unique<CCsvTraceWriter>(job.model(), slicesOf(reader));
}

std::unique_ptr<CFileWriter> traceToJson(COptionMgr& job, CFileReader&) {
    return std::make_unique<CJsonTraceWriter>(job.model(), "");
}

std::unique_ptr<CFileWriter> sdfToJson(COptionMgr& job, CFileReader&) {
    return std::make_unique<CJsonTraceWriter>(job.model(), "HP SDF");
}

std::unique_ptr<CFileWriter> capArbToJson(COptionMgr& job, CCapArbReader& reader) {
    return std::make_unique<CJsonCapArbWriter>(job.model().cat.rpmDisplaySwitch, &reader);
}

std::unique_ptr<CFileWriter> waterfallToJson(COptionMgr& job, CWaterFallReader& reader) {
    return std::make_unique<CJsonTraceWriter>(job.model(), "Waterfall", slicesOf(reader));
}

std::unique_ptr<CFileWriter> waterfallCopy(COptionMgr&, CWfCopyReader& reader) {
    return std::make_unique<CWfCopyWriter>(&reader);
}

// The netCDF writers record the input's kind and the command line.
constexpr char kDisplayTitle[] = "VX560 Display trace";
constexpr char kSdfTitle[] = "HP SDF trace";
constexpr char kDisplayKind[] = "";
constexpr char kSdfKind[] = "HP SDF";

template <const char* Title, const char* Kind>
std::unique_ptr<CFileWriter> traceToNc(COptionMgr& job, CFileReader&) {
    return std::make_unique<CNcTraceWriter>(job.model(), NcRunInfo{Title, job.commandLine(), Kind});
}

std::unique_ptr<CFileWriter> capArbToNc(COptionMgr& job, CCapArbReader& reader) {
    return std::make_unique<CNcCapArbWriter>(job.model().options, job.model().cat.rpmDisplaySwitch,
                                             &reader, NcRunInfo{"", job.commandLine(), ""});
}

std::unique_ptr<CFileWriter> waterfallToNc(COptionMgr& job, CWaterFallReader& reader) {
    return std::make_unique<CNcTraceWriter>(
        job.model(), NcRunInfo{"VX560 Waterfall", job.commandLine(), "Waterfall"},
        slicesOf(reader));
}

// The Display writer replaces the trace data from the /Q list when given.
std::unique_ptr<CFileWriter> traceToDisplay(COptionMgr& job, CFileReader&) {
    auto writer = std::make_unique<CTraceWriter>(job.model());
    if (job.inputType() == eInDisplay) writer->setReplacementFile(job.file(2).name());
    return writer;
}

const uint32_t kSdfInputs = inputBit(eInSdfOld) | inputBit(eInSdf);

constexpr int32_t kMatColumns[] = {eColX, eColReal, eColImag, eColEnd};

} // namespace

const std::vector<OutputFormat>& outputFormats() {
    static const std::vector<OutputFormat> rows = {
        {eFmtAsc,
         "asc",
         "Ascii (default)",
         "asc",
         printAsciiHelp,
         -1,
         nullptr,
         inputBit(eInDisplay) | inputBit(eInCapArb) | inputBit(eInWaterfall),
         {convert<CTraceReader, traceWriter<CAsciiTraceWriter>>(inputBit(eInDisplay)),
          convert<CCapArbReader, capArbToAscii>(inputBit(eInCapArb)),
          convert<CSdfReader, traceWriter<CAsciiTraceWriter>>(kSdfInputs),
          convert<CWaterFallReader, waterfallToAscii>(inputBit(eInWaterfall))}},
        {eFmt56d,
         "56d",
         "VX560/VX550 Display file",
         "56d",
         printDisplayHelp,
         eInDisplay,
         nullptr,
         kSdfInputs,
         {convert<CTraceReader, traceToDisplay>(inputBit(eInDisplay)),
          convert<CSdfReader, traceToDisplay>(kSdfInputs)}},
        {eFmtSdf,
         "sdf",
         "HP SDF (ver 3.0) file",
         "dat",
         printSdfHelp,
         eInSdf,
         nullptr,
         0,
         {convert<CTraceReader, traceWriter<CSdfWriter>>(inputBit(eInDisplay))}},
        {eFmtMat,
         "mat",
         "Matlab binary file",
         "mat",
         printMatHelp,
         -1,
         kMatColumns,
         0,
         {convert<CTraceReader, traceWriter<CMatLabWriter>>(inputBit(eInDisplay))}},
        {eFmtCsv,
         "csv",
         "CSV file (column names with units)",
         "csv",
         printCsvHelp,
         -1,
         nullptr,
         0,
         {convert<CTraceReader, traceWriter<CCsvTraceWriter>>(inputBit(eInDisplay)),
          convert<CCapArbReader, capArbToCsv>(inputBit(eInCapArb)),
          convert<CSdfReader, traceWriter<CCsvTraceWriter>>(kSdfInputs),
          convert<CWaterFallReader, waterfallToCsv>(inputBit(eInWaterfall))}},
        {eFmtJson,
         "json",
         "JSON document (identity, settings and data)",
         "json",
         printJsonHelp,
         -1,
         nullptr,
         0,
         {convert<CTraceReader, traceToJson>(inputBit(eInDisplay)),
          convert<CCapArbReader, capArbToJson>(inputBit(eInCapArb)),
          convert<CSdfReader, sdfToJson>(kSdfInputs),
          convert<CWaterFallReader, waterfallToJson>(inputBit(eInWaterfall))}},
        {eFmtNc,
         "nc",
         "netCDF-4 file (units and attributes)",
         "nc",
         printNcHelp,
         -1,
         nullptr,
         0,
         {convert<CTraceReader, traceToNc<kDisplayTitle, kDisplayKind>>(inputBit(eInDisplay)),
          convert<CCapArbReader, capArbToNc>(inputBit(eInCapArb)),
          convert<CSdfReader, traceToNc<kSdfTitle, kSdfKind>>(kSdfInputs),
          convert<CWaterFallReader, waterfallToNc>(inputBit(eInWaterfall))}},
        {eFmtUff,
         "uff",
         "Unified File Format",
         "uff",
         printUffHelp,
         -1,
         nullptr,
         0,
         {convert<CTraceReader, traceWriter<CUffWriter>>(inputBit(eInDisplay))}},
        {eFmtCap,
         "cap",
         "Capture data file",
         "56c",
         printCaptureHelp,
         eInCapArb,
         nullptr,
         0,
         {convert<CCapArbReader, capArbCopy>(inputBit(eInCapArb)),
          convert<CAsciiReader, numberListToCapArb>(inputBit(eInNumberList))}},
        {eFmtArb,
         "arb",
         "Arbitrary Waveform data file",
         "56c",
         printArbHelp,
         eInCapArb,
         nullptr,
         0,
         {convert<CCapArbReader, capArbCopy>(inputBit(eInCapArb)),
          convert<CAsciiReader, numberListToCapArb>(inputBit(eInNumberList))}},
        {eFmtWat,
         "wat",
         "Waterfall file",
         "56w",
         printWaterfallHelp,
         eInWaterfall,
         nullptr,
         0,
         {convert<CWfCopyReader, waterfallCopy>(inputBit(eInWaterfall))}},
        // The older SDF number: no /O keyword names it.
        {eFmtSdfOld,
         nullptr,
         nullptr,
         "dat",
         printSdfHelp,
         eInSdf,
         nullptr,
         0,
         {convert<CTraceReader, traceWriter<CSdfWriter>>(inputBit(eInDisplay))}},
    };
    return rows;
}

namespace {

const OutputFormat* formatRow(int32_t format) {
    for (const OutputFormat& f : outputFormats())
        if (f.number == format) return &f;
    return nullptr;
}

const Conversion* conversion(int32_t inputType, int32_t format) {
    const OutputFormat* f = formatRow(format);
    if (!f || inputType < 0 || inputType > eInSdf) return nullptr;
    for (const Conversion& c : f->conversions)
        if (c.inputTypes & inputBit(inputType)) return &c;
    return nullptr;
}

} // namespace

uint32_t formatMaskOfKeyword(const char* keyword) {
    for (const OutputFormat& f : outputFormats())
        if (f.keyword && std::strcmp(keyword, f.keyword) == 0) return formatBit(f.number);
    return 0;
}

const char* defaultExtension(int32_t format) {
    const OutputFormat* f = formatRow(format);
    return f ? f->extension : "";
}

bool printFormatHelp(int32_t format, const ConvOptions& options) {
    const OutputFormat* f = formatRow(format);
    if (!f) return false;
    f->helpPage(options);
    return true;
}

bool converts(int32_t inputType, int32_t format) {
    return conversion(inputType, format) != nullptr;
}

int32_t defaultOutputFor(int32_t inputType) {
    if (inputType < 0 || inputType > eInSdf) return eFmtNone;
    for (const OutputFormat& f : outputFormats())
        if (f.defaultFor & inputBit(inputType)) return f.number;
    return eFmtNone;
}

std::unique_ptr<CFileReader> readerFor(CModel& model, int32_t inputType, int32_t format) {
    const Conversion* c = conversion(inputType, format);
    return c ? c->makeReader(model) : nullptr;
}

int32_t typeWrittenBy(int32_t format) {
    const OutputFormat* f = formatRow(format);
    return f ? f->writesType : -1;
}

void applyDefaultColumns(uint32_t formatMask, ConvOptions& options) {
    for (const OutputFormat& f : outputFormats()) {
        if (formatMask != formatBit(f.number) || !f.defaultColumns) continue;
        const int32_t* end = std::find(f.defaultColumns, f.defaultColumns + kMaxColumns, eColEnd);
        std::copy(f.defaultColumns, end + 1, options.columns);
    }
}

ReaderWriterPair makeReaderWriterPair(COptionMgr& job) {
    const Conversion* c = conversion(job.inputType(), job.outputFormat());
    return c ? c->makePair(job) : ReaderWriterPair{};
}

} // namespace vx
