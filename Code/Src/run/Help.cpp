// Help texts, word for word. A null entry is an empty line that also goes to
// the log; every other line goes to the console only.
#include "run/Help.h"

#include <initializer_list>

#include "base/ErrLogger.h"
#include "base/Options.h"
#include "run/OptionMgr.h"
#include "run/Pairing.h"

namespace vx {

namespace {

using Lines = std::initializer_list<const char*>;

void print(Lines lines) {
    for (const char* line : lines) {
        if (line)
            errLog() << consoleOnly << line << endLine;
        else
            errLog() << bothDest << endLine;
    }
}

void printBanner() {
    print({"", "VX560/VX550 File Conversion Utility (the vxconv developers)"});
    errLog() << consoleOnly << __DATE__ " " __TIME__ "   Revision "
             << "Version 3.00" << endLine;
    print({nullptr});
}

void printGeneral() {
    print({"This program converts to and from VX560/VX550 binary data files.",
           "It accepts all Display files (VX560 and HP SDF(tm)),",
           "Capture files, Arb. Waveform files, and Waterfall files. It also",
           "accepts Ascii files to be loaded into an VX560 Capture or",
           "Arb. Waveform data file.  If the output file name is not included",
           "it will be generated from the input file name, but be given",
           "a default extension. File names may contain wildcards (* and ?)", nullptr,
           "Usage: vxconv [options] inFile [outFile] ", "Universal options",
           " /Oxxx output file format desired:"});
    for (const OutputFormat& f : outputFormats())
        if (f.listText)
            errLog() << consoleOnly << "       " << f.keyword << " - " << f.listText << endLine;
    print({" /A    - append to output file (only uff and asc outputs)",
           " /E<filename> - specify error log file (default /Eqrblog.txt)",
           " /J    - append error and warning output to log file (default",
           "         clears the log file before processing files)", " /?    help", "",
           "To see specific output file options just specify output file format",
           "with no input file, e.g., vxconv /Oasc"});
}

void printColumnBlock() {
    print({"      Views are as follows:", "      x  - X-axis data                   r - Real",
           "      v  - View shown when file saved    i - Imaginary",
           "      mag- Magnitude                     p - Phase",
           "      m2 - Magnitude squared             up- Unwrapped phase"});
}

void printUnitBlock() {
    print({"   /U<pkUnits,dBs,deg> - Specifies default units (e.g., /Urms,dB,rad)",
           "           pkUnits: rms,pk,pp",
           "           dBs    : lin,dB,dBm,dBSpl (applies to mag or m2 cols only)",
           "           deg    : deg,rad (p or up cols only)"});
}

void printTransducerBlock() {
    print({"   /T<bnc,number> - Perform transducer conversion of Engineering Units",
           "           where bnc = 1 or 2, and number is as follows:  (e.g., /T2,8)",
           "           1 - m/s^2     2 - m/s     3 - m",
           "           4 - in/s^2    5 - in/s    6 - in",
           "           7 - mil       8 - g       9 - from file"});
}

void printDirectionBlock() {
    print(
        {"  Direction id's are as follows:", "     0 = -theta Z     1 = -theta Y     2 = -theta X",
         "     3 = -Z           4 = -Y           5 = -X",
         "     6 = Scalar       7 = +Z           8 = +Y",
         "     9 = +X           10= +theta X     11= +theta Y", "     12= +theta Z"});
}

void printSampleOptions() {
    print({"   /B<id> - Base Frequency (default is /B1)", "          0 - 100 kHz,  1 - 102.4 kHz",
           "   /L<number> - Buffer length in kpoints (default is /L2)",
           "   /N<number> - Sample Frequency (n) defined via",
           "              262 kHz / 2^n  (default is fullspan, /N0)"});
}

void printWaterfallSelection() {
    print({"", "For Waterfall file inputs only:", nullptr,
           "   /W<id>  - which channel, A or B  (e.g., /WA)",
           "   /S<number> - first waterfall index to extract (default is /S0)",
           "   /R<number> - number of traces to extract:",
           "               -1 - to end of buffer (default)"});
}

// The options of the data outputs (CSV, JSON, netCDF) for traces: columns,
// units and the Waterfall selection.
void printTraceDataOptions() {
    print({"For Display, HP SDF and Waterfall file inputs:", nullptr,
           "   /C<view1,view2,...> - output columns (default /Cx,v)."});
    printColumnBlock();
    print({""});
    printUnitBlock();
    printWaterfallSelection();
}

} // namespace

void printDisplayHelp(const ConvOptions& options) {
    print({"Accepts as inputs any VX560 Display file or HP SDF(tm) format file",
           "and generates a VX560 Display file", nullptr,
           "Usage: vxt560 /O56d [more options] inFile [outFile]",
           "Allowed VX560 Trace file specific options", nullptr,
           "   /Vxxx - where xxx is the version number of the platform code"});
    errLog() << consoleOnly << "         For example, /V" << options.platformVersion << endLine;
    print({"         To determine platform code version, on a VX560 press",
           "         [System button] <Show Version menu box>",
           "         and see, mCode Version: xxx",
           "   /QFilename - an ascii data file: First line has num of pts. (N)",
           "         then N real and imag. data points which will replace",
           "         the values in the original file. Mismatched lengths are",
           "         zeroed.  (No wildcards allowed in file name.)"});
}

void printWaterfallHelp(const ConvOptions&) {
    print({"ONLY accepts as input a waterfall file.  This  will",
           "just copy the file. This can be useful in merging a multi-",
           "disk file on several floppies into a single file on a hard", "disk or vise versa."});
}

void printAsciiHelp(const ConvOptions&) {
    print({"Accepts as input all VX560 Display files, Capture and Arb. Waveform",
           "files, and Waterfall files and generates an ASCII output file.",
           "Usage: vxt560 [/Oasc] [more options] inFile [outFile]", nullptr,
           "Allowed ASCII specific options", nullptr, "   /D     - Data Only",
           "   /H<id> - File information only (e.g., /H1)",
           "           1 - standard (default):  2 - exhaustive",
           "   /P<number> - number of points per line, (default is /P1)",
           "   /F<string> - data format string (default is /F%14.6e)",
           "   /K<id> - data field separator", "          0 - space (default): 1 - comma: 2 - tab",
           "", "For Display and Waterfall file inputs:", nullptr,
           "   /C<view1,view2,...> - output columns (default /Cx,v)."});
    printColumnBlock();
    print({""});
    printUnitBlock();
    printTransducerBlock();
    printWaterfallSelection();
}

void printSdfHelp(const ConvOptions&) {
    print({"Accepts as input any VX560 Display files",
           "Usage: vxt560 /Osdf [more options] inFile [outFile]",
           " Allowed SDF file specific options", nullptr,
           "   For files containing Modal analysis data the modal",
           "   parameters can be modified using these options:",
           "   /Mrn<number>  - Ref. Number (e.g., /Mrn5",
           "   /Mrd<id>      - Ref. Direction (e.g., /Mrd9", "   /Msn<number>  - Resp. Number",
           "   /Msd<id>      - Resp. Direction"});
    printDirectionBlock();
    printTransducerBlock();
}

void printCaptureHelp(const ConvOptions&) {
    print({"Accepts as input a file of ASCII representations of floats. These",
           "values correspond to Volts and must not exceed +(input range)",
           "to -(input range) where the input range is specified with ",
           "the /I option.  If the number of points found in the data file is",
           "less than the number of kilo points specified, the end of the file",
           "will be padded with zeros.",
           "If, instead of an ASCII file, the input file is a binary ",
           "Capture file this will just copy the file. This can ",
           "be useful in merging a multi-disk file on several floppies ",
           "into a single file on a hard disk or vise versa.",
           "Usage: vxt560 /Ocap [more options] inFile [outFile]",
           "Allowed Capture file specific options", nullptr});
    printSampleOptions();
    print({"   /I<number> - Input range in dBV (default is /I0)"});
}

void printArbHelp(const ConvOptions&) {
    print({"Accepts as input a file of ASCII representations of floats with",
           "a range of -1.0 to +1.0.  The values represent Volts when played",
           "through Arb. Source at 100% amplitude.  If the number of points",
           "found in the data file is less than the number of kilo points",
           "specified, the end of the file will be padded with zeros.",
           "If, instead of an ASCII file, the input file is a binary Arb.",
           "Waveform file this will just copy the file. This can ",
           "be useful in merging a multi-disk file on several floppies ",
           "into a single file on a hard disk or vise versa.",
           "Usage: vxt560 /Oarb [more options] inFile [outFile]",
           "Allowed Arbitrary Waveform file specific options", nullptr});
    printSampleOptions();
}

void printUffHelp(const ConvOptions&) {
    print({"Accepts as input any VX560 Display file", nullptr,
           "Usage: vxt560 /Ouff [more options] inFile [outFile]",
           "Allowed UFF file specific options", nullptr,
           "   /Mri<string>  - Reference Name (e.g., /MriRef_1)",
           "   /Mrn<number>  - Ref. Number (e.g., /Mrn5",
           "   /Mrd<id>      - Ref. Direction (e.g., /Mrd9", "   /Msi<string>  - Response Name",
           "   /Msn<number>  - Resp. Number", "   /Msd<id>      - Resp. Direction"});
    printDirectionBlock();
    printTransducerBlock();
}

void printMatHelp(const ConvOptions&) {
    print({"Accepts as input any VX560 Display files.  If output columns",
           "have real (r) followed by imag (i) then the data will be saved",
           "as a complex vector, otherwise data are considered purely real.",
           "Usage: vxt560 /Omat [more options] inFile [outFile]",
           "Allowed MAT file specific options", nullptr,
           "   /G<string>   - Array name (defaults to file name w/o ext)",
           "   /C<view1,view2,...> - output columns (default /Cx,r,i)."});
    printColumnBlock();
    print({""});
    printUnitBlock();
    printTransducerBlock();
}

void printCsvHelp(const ConvOptions&) {
    print({"Accepts as input all VX560 Display files, HP SDF(tm) files, Capture",
           "and Arb. Waveform files, and Waterfall files and generates a CSV",
           "file: one row of column names with units, then one row per point,",
           "comma separated, as spreadsheets and data tools read it.",
           "Capture and Arb. Waveform files give the time and the samples;",
           "Waterfall files give one row per trace and point, led by the", "trace index.",
           "Usage: vxt560 /Ocsv [more options] inFile [outFile]", nullptr,
           "Allowed CSV specific options", nullptr});
    printTraceDataOptions();
}

void printJsonHelp(const ConvOptions&) {
    print({"Accepts as input all VX560 Display files, HP SDF(tm) files, Capture",
           "and Arb. Waveform files, and Waterfall files and generates one JSON",
           "document per input: the file's identity, every setting of the",
           "exhaustive header (key, label, value in SI units, unit, text) and",
           "the data. Capture and Arb. Waveform files give the samples and the",
           "sampling rate; Waterfall files give the chosen traces by index.",
           "Usage: vxt560 /Ojson [more options] inFile [outFile]", nullptr,
           "Allowed JSON specific options", nullptr});
    printTraceDataOptions();
}

void printNcHelp(const ConvOptions&) {
    print({"Accepts as input all VX560 Display files, HP SDF(tm) files, Capture",
           "and Arb. Waveform files, and Waterfall files and generates a netCDF-4",
           "file with named dimensions, units and attributes, as xarray, MATLAB",
           "and h5py read it. Traces give one variable per column over the",
           "x-axis; Waterfall files give each column as slice by x; Capture and",
           "Arb. Waveform files give the samples over time in seconds.",
           "Usage: vxt560 /Onc [more options] inFile [outFile]", nullptr,
           "Allowed netCDF specific options", nullptr});
    printTraceDataOptions();
}

void printHelpText(const ConvOptions& options, int fileCount, int32_t outputFormat) {
    printBanner();
    if (fileCount != 0 || outputFormat == eFmtNone) {
        printGeneral();
        return;
    }
    if (!printFormatHelp(outputFormat, options))
        errLog() << "Error occurred, output file format out of range???:  " << outputFormat
                 << endLine;
}

} // namespace vx
