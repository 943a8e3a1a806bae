// The texts, label tables and range tables of the parameter catalogue.
#pragma once
#include <cstddef>
#include <cstdint>

namespace vx {

// The highest index of a text table.
template <size_t N> constexpr int16_t highest(const char* const (&)[N]) {
    return static_cast<int16_t>(N - 1);
}

namespace texts {

inline constexpr const char* offOn[] = {"Off", "On"};
inline constexpr const char* noYes[] = {"No", "Yes"};
inline constexpr const char* quietNoisy[] = {"Quiet", "Noisy"};
inline constexpr const char* measureGroups[] = {"FFT",        "Correlation", "Octave",
                                                "Swept Sine", "Order",       "Time Histogram"};
inline constexpr const char* channelMode[] = {"Independent Chan.", "Dual Chan."};
inline constexpr const char* baseFreq[] = {" 100 kHz ", " 102.4 kHz "};
inline constexpr const char* fftLines[] = {" 100 ", " 200 ", " 400 ", " 800 "};
inline constexpr const char* histogramBins[] = {" 4 ",   " 8 ",   " 16 ",  " 32 ",  " 64 ",
                                                " 128 ", " 256 ", " 512 ", " 1024 "};
inline constexpr const char* windows[] = {"Uniform", "Flattop",   "Hanning",   "BMH",
                                          "Kaiser",  "Force/Exp", "User Def.", "-T/2..T/2",
                                          "0..T/2",  "-T/4..T/4"};
inline constexpr const char* forceExp[] = {"Force", "Exp"};
inline constexpr const char* linearAvgMode[] = {"Time Record", "Start Avg."};
inline constexpr const char* octLinearAvgMode[] = {"One Lin. Avg.", "Start"};
inline constexpr const char* averaging[] = {"Linear / Fix Len", "Exp. / Cont."};
inline constexpr const char* powerBin[] = {"Total", "Impulse", "L", "Peak"};
inline constexpr const char* rejectTrigger[] = {"Off", "Manual", "Timed"};
inline constexpr const char* octaveResolution[] = {"Full", "Third", "Twelfth"};
inline constexpr const char* octaveChannels[] = {"2 Channel", "1 Channel"};
inline constexpr const char* confidence[] = {"0.125 dB", "0.25 dB", "0.5 dB", "1.0 dB", "2.0 dB"};
inline constexpr const char* octAveragingType[] = {"Linear Time", "Exp. Time", "Peak Hold",
                                                   "Equal Conf."};
inline constexpr const char* shotMode[] = {"Single Shot", "Continuous"};
inline constexpr const char* skipSize[] = {" 2 ",  " 4 ",  " 8 ",   " 16 ",
                                           " 32 ", " 64 ", " 128 ", " 256 "};
inline constexpr const char* linearLog[] = {"Linear", "Log"};
inline constexpr const char* trackBnc[] = {"Ch 1", "Ch 2"};
inline constexpr const char* waterfallMode[] = {"Off", "Continuous", "One Shot", "Recalled"};
inline constexpr const char* waterfallStore[] = {"All", "Active Meas Only"};
inline constexpr const char* continuousOneShot[] = {"Continuous", "One Shot"};
inline constexpr const char* measAveragingType[] = {"None", "Vector", "RMS", "Peak Hold"};

// The 87 measurements, index 0 to 86, and the first view name behind them.
inline constexpr const char* measurements[] = {
    "FFT 1",      "FFT 2",      "Pwr Spec 1", "Pwr Spec 2", "Time 1",      "Time 2",
    "WinTime 1",  "WinTime 2",  "Orbit",      "Coherence",  "Cross Spec.", "Freq. Resp.",
    "Capture 1",  "Capture 2",  "FFTUsrFn1",  "FFTUsrFn2",  "FFTUsrFn3",   "FFTUsrFn4",
    "FFTUsrFn5",  "AutoCorr.1", "AutoCorr.2", "X-Corr.",    "Time 1",      "Time 2",
    "WinTime 1",  "WinTime 2",  "Capture 1",  "Capture 2",  "CorrUsrFn1",  "CorrUsrFn2",
    "CorrUsrFn3", "CorrUsrFn4", "CorrUsrFn5", "Oct. ch1",   "Oct. ch2",    "Capture 1",
    "Capture 2",  "OctUsrFn1",  "OctUsrFn2",  "OctUsrFn3",  "OctUsrFn4",   "OctUsrFn5",
    "Lin Spec 1", "Lin Spec 2", "Norm Var1",  "Norm Var2",  "Cross Spec",  "Freq. Resp.",
    "SSUsrFn1",   "SSUsrFn2",   "SSUsrFn3",   "SSUsrFn4",   "SSUsrFn5",    "Lin Spec 1",
    "Lin Spec 2", "Pwr Spec 1", "Pwr Spec 2", "Time 1",     "Time 2",      "WinTime 1",
    "WinTime 2",  "RPM Pro.",   "Orbit",      "Track 1",    "Track 2",     "Capture 1",
    "Capture 2",  "OrdUsrFn1",  "OrdUsrFn2",  "OrdUsrFn3",  "OrdUsrFn4",   "OrdUsrFn5",
    "Histo 1",    "Histo 2",    "PDF 1",      "PDF 2",      "CDF 1",       "CDF 2",
    "Time 1",     "Time 2",     "Capture 1",  "Capture 2",  "HistUsrFn1",  "HistUsrFn2",
    "HistUsrFn3", "HistUsrFn4", "HistUsrFn5", "Log Mag"};
inline constexpr const char* views[] = {"Log Mag",      "Linear Mag", "Mag^2",
                                        "Real Part",    "Imag. Part", "Phase",
                                        "Unwrp. Phase", "Nyquist",    "Nichols"};

inline constexpr const char* waterfallOrder[] = {"Normal", "Oldest at Top"};
inline constexpr const char* visibility[] = {"Invisible", "Visible"};
inline constexpr const char* markerMode[] = {"Off", "On", "Track", "Link"};
inline constexpr const char* markerType[] = {"Normal", "Harmonic", "Sideband", "Band",
                                             "Freq/Damping"};
inline constexpr const char* markerSeek[] = {"Max", "Min", "Mean"};
inline constexpr const char* markerWidth[] = {"Spot", "Normal", "Wide"};
inline constexpr const char* markerRelative[] = {"Off", "Rel.", "Ref. Disp.", "Other Disp."};
inline constexpr const char* ratio[] = {"2/1", "2/(1+2)"};
inline constexpr const char* absRel[] = {"Absolute", "Relative"};
inline constexpr const char* subtract[] = {"none", "1 from 2", "2 from 1"};
inline constexpr const char* lowerUpper[] = {"Lower1", "Upper2"};
inline constexpr const char* normalWaterfall[] = {"Normal", "Waterfall"};
inline constexpr const char* rectPolar[] = {"Rectangular", "Polar"};
inline constexpr const char* gridDivisions[] = {"8", "10", "12", "15"};
inline constexpr const char* transducerUnits[] = {"m/s^2", "m/s", "m",   "in/s^2",
                                                  "in/s",  "in",  "mil", "g"};
inline constexpr const char* dbModes[] = {"Off", "On", "dBm", "dBspl"};
inline constexpr const char* phaseUnits[] = {"deg", "rads"};
inline constexpr const char* peakUnits[] = {"off", "pk", "rms", "pp"};
inline constexpr const char* euLabels[] = {"m/s^2", "m/s", "m", "in/s^2", "in/s", "in",  "mil", "g",
                                           "kg",    "lbs", "N", "dyne",   "Pas",  "bar", "USER"};

inline constexpr const char* noiseType[] = {"BL White", "White", "Pink"};
inline constexpr const char* chirpSource[] = {"Display A", "Display B"};
inline constexpr const char* arbBuffer[] = {"Arb. Buffer", "Ch.1 Capture", "Ch.2 Capture"};
inline constexpr const char* inputSource[] = {"Analog", "Playback"};
inline constexpr const char* autoLevel[] = {"Off", "Channel 1", "Channel 2"};
inline constexpr const char* hideShow[] = {"Hide", "Show"};

inline constexpr const char* tachChannel[] = {"Ch1", "Ch2", "Both"};
inline constexpr const char* tachTrig[] = {"+- 5 V", "+- 25 V", "TTL"};
inline constexpr const char* slope[] = {"Rising", "Falling"};
inline constexpr const char* inputMode[] = {"A", "A-B"};
inline constexpr const char* grounding[] = {"Float", "Ground"};
inline constexpr const char* coupling[] = {"DC", "AC", "ICP"};
inline constexpr const char* autoRange[] = {"Up Only", "Tracking"};
inline constexpr const char* playbackMode[] = {"1-Shot", "Circular"};
inline constexpr const char* playbackSpeed[] = {"Normal", "Every Time Rec."};

inline constexpr const char* rpmDelta[] = {"Abs. Change", "Incr. RPM", "Decr. RPM"};
inline constexpr const char* trigSourceMode[] = {"One Shot", "Continuous"};
inline constexpr const char* triggerMode[] = {"Auto Arm", "Manual Arm", "RPM Arm", "Time Arm"};
inline constexpr const char* triggerSource[] = {"Cont",    "Ch 1",   "Ch 2",  "External",
                                                "Ext TTL", "Source", "Manual"};

inline constexpr const char* hostInstrument[] = {"Host", "VX560"};
inline constexpr const char* printerType[] = {"Epson FX",  "HP PCL", "HP small PCL",
                                              "PCX 2 bit", "GIF",    "PCX 8 bit"};
inline constexpr const char* plotterType[] = {"HPGL", "PostScript"};
inline constexpr const char* outputPort[] = {"Disk File", "Centronics", "Serial", "GPIB"};
inline constexpr const char* printArea[] = {"Graphs", "Menu", "Indicators", "All"};
inline constexpr const char* outputKind[] = {"Bitmap / Print", "Vector / Plot", "ASCII Dump"};
inline constexpr const char* shading[] = {"White", "6%", "12%", "25%", "50%", "Black"};
inline constexpr const char* blackWhite[] = {"Black", "White"};
inline constexpr const char* screenColours[] = {"Black on White", "White on Black"};
inline constexpr const char* displayFormat[] = {"Single", "Dual", "Overlay"};
inline constexpr const char* binRounding[] = {"Exact Bin", "Rounded"};

inline constexpr const char* oneShotContinuous[] = {"1 Shot", "Continuous"};
inline constexpr const char* captureChannels[] = {"Ch1", "Ch2", "Ch1+Ch2"};
inline constexpr const char* gpibRs232[] = {"GPIB", "RS232"};
inline constexpr const char* baudRate[] = {"300 bd",  "1200 bd", "2400 bd",
                                           "4800 bd", "9600 bd", "19.2 kBd"};
inline constexpr const char* dataBits[] = {"7 bits", "8 bits"};
inline constexpr const char* parity[] = {"None", "Even", "Odd"};
inline constexpr const char* directions[] = {"-Z Rot", "-Y Rot", "-X Rot", "-Z", "-Y",
                                             "-X",     "Scalar", "+X",     "+Y", "+Z",
                                             "+X Rot", "+Y Rot", "+Z Rot"};

inline constexpr const char* offLine[] = {"Off-Line", "Live"};
inline constexpr const char* statusResults[] = {"Inst. Status", "Meas. Results"};
inline constexpr const char* symmetry[] = {"Non-Symmetric", "Symmetric"};

} // namespace texts

// Label tables of the lists that printList shows, one text per list position
// (empty for members that are never printed); none for the other lists.
const char* const* listLabels(int16_t listId);
// The number of texts in a list's label table (0 without one).
int16_t listLabelCount(int16_t listId);

// Range tables {lowest, highest, remembered} of the range enumerations; each
// catalogue has its own, as its remembered indices are its own.
struct RangeTables {
    int16_t channelMode[6][3] = {{0, 1, 1}, {0, 1, 1}, {0, 1, 1}, {1, 1, 1}, {1, 1, 1}, {0, 1, 1}};
    int16_t windowA[2][3] = {{0, 6, 3}, {6, 9, 7}};
    int16_t windowB[2][3] = {{0, 6, 3}, {6, 9, 7}};
    int16_t waterfallA[2][3] = {{0, 2, 0}, {0, 3, 3}};
    int16_t waterfallB[2][3] = {{0, 2, 0}, {0, 3, 3}};
    int16_t measAveragingA[3][3] = {{0, 3, 0}, {0, 2, 0}, {0, 1, 0}};
    int16_t measAveragingB[3][3] = {{0, 3, 0}, {0, 2, 0}, {0, 1, 0}};
    int16_t coupling1[2][3] = {{0, 2, 0}, {0, 2, 1}};
    int16_t coupling2[2][3] = {{0, 2, 0}, {0, 2, 1}};
    // One range per measure group; display B starts one measurement further on.
    int16_t measurementA[6][3] = {{0, 18, 0},   {19, 32, 19}, {33, 41, 33},
                                  {42, 52, 42}, {53, 71, 53}, {72, 86, 72}};
    int16_t measurementB[6][3] = {{0, 18, 1},   {19, 32, 20}, {33, 41, 34},
                                  {42, 52, 43}, {53, 71, 54}, {72, 86, 73}};
};

} // namespace vx
