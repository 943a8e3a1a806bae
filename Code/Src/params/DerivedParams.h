// Derived parameter classes: frequencies in instrument counts, spans and sample
// rates, source amplitudes, input ranges and trigger levels with their units,
// delays in seconds and samples, sensitivities, and the measurement, view,
// unit and scale settings of a display.
#pragma once
#include <cstdint>

#include "params/ACTION.h"
#include "params/PairedSlots.h"
#include "params/UTIL.h"

namespace vx {

class spanActType;
class startFreqAction;
class euSensAct;
class unitParAction;

// The settings of one display that the derived classes consult (a frequency is
// rendered with the Base Freq. of its own display). The catalogue fills them.
struct DisplayLinks {
    const enumParAction* baseFreq = nullptr;
    const enumParAction* fftLines = nullptr;
    const spanActType* span = nullptr;
    const startFreqAction* startFreq = nullptr;
    const enumParAction* octaveResolution = nullptr;
    const euSensAct* euPerVolt[2] = {}; // channels 1 and 2
    enumParAction* view = nullptr;
    unitParAction* units = nullptr;
    const enumParAction* rpmSwitch = nullptr; // frequencies shown in RPM when on
};

// Entry values of a display's settings, with the catalogue defaults while unlinked.
int16_t displayBaseFreq(const DisplayLinks& links);
int16_t displayFftLines(const DisplayLinks& links);
// Line spacing in Hz: R[B] x 2^(S - L + 3).
double displayLineSpacing(const DisplayLinks& links);

// Centre frequency of band i counted from the lowest band, for a span whose
// lowest octave is band number lowestBand, at an Octave Resolution (0 full,
// 1 third, 2 twelfth): the trace's octave axis uses the same rule.
double octaveBandCentre(int16_t i, int16_t lowestBand, int16_t resolution);

// An entry of the amplitude, input-range or trigger-level units.
struct LevelUnit {
    const char* text;
    double value;
    bool dB;
    bool engineering;
};

extern const LevelUnit amplitudeUnits[9]; // mVpk .. dBVrms
extern const LevelUnit offsetUnits[2];    // mV, V
extern const LevelUnit inputRangeUnits[12];
extern const LevelUnit triggerLevelUnits[4];

// A frequency kept as a count of the instrument's resolution steps.
class freqAct : public paramActionObj {
  public:
    freqAct(int32_t defCount, uint32_t paoId, int16_t paoFlags, int16_t dispIndex);

    const char* getStr(char slot) override;
    void* setParam(actType action) override;
    // 12 bytes: the count, then the Hz cache as stored.
    Status Serialize(socket* stream, int16_t dir, char slot) override;
    int16_t getSerSize() override { return 12; }
    void slotToSlot(EPaoIndex from, EPaoIndex to) override;

    FreqValue getData(char slot) const { return slots[slotIndex(slot)]; }
    FreqValue* realVal() { return pReal; }
    // Sets entry and real value from a frequency in Hz; returns 0.
    Status setHz(double hz);

  private:
    char textBuf[20] = {};
    FreqValue* pReal;
    FreqValue slots[3];
};

// Start, center and end frequency; the text shows the one last entered.
class startFreqAction : public paramActionObj {
  public:
    enum : int16_t { eStart = 0, eCenter = 1, eEnd = 2 };

    startFreqAction(int32_t start, int32_t center, int32_t end, uint32_t paoId, int16_t paoFlags,
                    int16_t dispIndex);

    const char* getStr(char slot) override;
    void* setParam(actType action) override;
    // 36 bytes: start, center and end, each with its Hz cache refreshed.
    Status Serialize(socket* stream, int16_t dir, char slot) override;
    int16_t getSerSize() override { return 36; }
    void slotToSlot(EPaoIndex from, EPaoIndex to) override;

    // One of the three values of a slot, its Hz cache refreshed.
    FreqValue value(int16_t which, char slot) const;
    void select(int16_t which) { selector = which; }
    // Sets one of the three values (entry and real) from a frequency in Hz,
    // recomputes the other two from the display's span and selects it; returns 0.
    Status setHz(int16_t which, double hz);
    int16_t selected() const { return selector; }

  private:
    static int16_t clampWhich(int16_t which);

    int16_t selector = eStart;
    char textBuf[20] = {};
    FreqValue* pReal[3];
    FreqValue slots[3][3]; // [value][slot]
};

// The octave span: the highest octave band as the index, the lowest as a
// second band number.
class octActType : public enumParAction {
  public:
    octActType(int16_t defIndex, int16_t maxIndex, int16_t defLowest, uint32_t paoId,
               int16_t paoFlags, int16_t dispIndex);

    const char* getStr(char slot) override;
    void* setParam(actType action) override;
    // 4 bytes: the index, then the second band number.
    Status Serialize(socket* stream, int16_t dir, char slot) override;
    int16_t getSerSize() override { return 4; }
    void slotToSlot(EPaoIndex from, EPaoIndex to) override;

    int16_t lowestBand(char slot) const;
    Status setLowestBand(int16_t band);

  private:
    char textBuf[20] = {};
    int16_t* pLowest;
    int16_t lowestSlots[3];
};

// A span (kind 0) or a sample rate (kind 1) given by a power-of-two index;
// iface selects the text: 0 span, 1 line spacing, 2 acquisition time,
// 3 sample period.
class spanActType : public enumParAction {
  public:
    static constexpr int16_t kHighestIndex = 19;

    spanActType(int16_t defIndex, uint32_t paoId, int16_t paoFlags, int16_t dispIndex);

    const char* getStr(char slot) override;
    // 18 bytes: the index, then the time-record bandwidth and the line
    // spacing as doubles; reading skips the doubles.
    Status Serialize(socket* stream, int16_t dir, char slot) override;
    int16_t getSerSize() override { return 18; }

    int16_t kind() const { return spanKind; }
    // The span (kind 0) or sample rate (kind 1) of a slot in counts.
    int32_t counts(char slot) const;

  protected:
    spanActType(int16_t kind, int16_t defIndex, uint32_t paoId, int16_t paoFlags,
                int16_t dispIndex);

  private:
    char textBuf[20] = {};
    int16_t spanKind;
};

class sampleActType : public spanActType {
  public:
    sampleActType(int16_t defIndex, uint32_t paoId, int16_t paoFlags, int16_t dispIndex);
};

// The level of a source amplitude in 0.1 mV, in hundredths of dBV:
// 2000 log10(amplitude) - 8000, or kNoAmplitudeLevel for an amplitude not above 0.
constexpr int16_t kNoAmplitudeLevel = -32768;
int16_t amplitudeLevel(int32_t amplitude);
struct AmplitudeLevelOf {
    static int16_t of(int32_t amplitude) { return amplitudeLevel(amplitude); }
};

// A source amplitude in 0.1 mV with its level in hundredths of dBV. 4 bytes:
// the amplitude; reading recomputes the slot's level.
class srcAmpAct : public pairedSlotsAct<int32_t, int16_t, AmplitudeLevelOf> {
  public:
    enum : int16_t { eMilliVolt = 0, eVolt = 1, eDbV = 2 };

    srcAmpAct(int32_t amplitude, uint32_t paoId, int16_t paoFlags, int16_t dispIndex,
              bool percentMode = false);

    const char* getStr(char slot) override;

    int32_t amplitude(char slot) const { return firstSlots[slotIndex(slot)]; }
    int16_t level(char slot) const { return secondSlots[slotIndex(slot)]; }
    // Sets entry and real amplitude and level; returns 0.
    Status setData(int32_t amplitude) { return setEntry(amplitude, amplitudeLevel(amplitude)); }
    void setUnit(int16_t u) { unit = u; }

  protected:
    int16_t unit = eMilliVolt;
    char textBuf[20] = {};
    bool percent;
};

// A sine amplitude (index 0, 1) or the source offset (index 2), shown in the
// unit that its unit table selects.
class srcSineAmp : public srcAmpAct {
  public:
    srcSineAmp(int32_t amplitude, int16_t ampIndex, uint32_t paoId, int16_t paoFlags,
               int16_t dispIndex);
    const char* getStr(char slot) override;
    int16_t amplitudeIndex() const { return ampIndex; }

  private:
    int16_t ampIndex;
    const LevelUnit* units;
    int16_t unitCount;
};

class srcNoiseAmp : public srcAmpAct {
  public:
    using srcAmpAct::srcAmpAct;
};

// The arbitrary-source amplitude, shown in percent.
class arbAmpAct : public srcAmpAct {
  public:
    arbAmpAct(int32_t amplitude, uint32_t paoId, int16_t paoFlags, int16_t dispIndex);
};

class srcSweptAmp : public srcAmpAct {
  public:
    using srcAmpAct::srcAmpAct;
};

// A time kept in seconds and in samples of the display's time record; the
// seconds are always those of the rounded sample count. 8 bytes: the float
// seconds, then the samples.
class binDelayAct : public pairedSlotsAct<float, int32_t> {
  public:
    // Mode 1 counts samples of the 2048-sample record; other modes count
    // the display's sample period.
    binDelayAct(float seconds, int32_t lowerSamples, int32_t upperSamples, int16_t mode,
                uint32_t paoId, int16_t paoFlags, int16_t dispIndex);

    const char* getStr(char slot) override;

    float seconds(char slot) const { return firstSlots[slotIndex(slot)]; }
    int32_t samples(char slot) const { return secondSlots[slotIndex(slot)]; }
    // Set entry and real value from seconds or from samples; return 0.
    Status setSeconds(float seconds);
    Status setSamples(int32_t samples);

  private:
    // Seconds per sample at the display's current settings.
    double samplePeriod() const;
    void samplesFromSeconds(int s);
    void secondsFromSamples(int s);

    char textBuf[20] = {};
    int32_t lowerSamples;
    int32_t upperSamples;
    int16_t mode;
};

// An input range in whole dBVpk, with its value in a chosen unit. 6 bytes:
// the dB value, then the float.
class inpRngAct : public pairedSlotsAct<int16_t, float> {
  public:
    // channel 0 or 1: whose EU/Volt an engineering unit uses.
    inpRngAct(int16_t dbRange, int16_t channel, uint32_t paoId, int16_t paoFlags,
              int16_t dispIndex);

    const char* getStr(char slot) override;

    int16_t range(char slot) const { return firstSlots[slotIndex(slot)]; }
    float value(char slot) const { return secondSlots[slotIndex(slot)]; }
    // Sets entry and real range and recomputes the value; returns 0.
    Status setData(int16_t dbRange) { return setEntry(dbRange, valueOf(dbRange)); }
    void setUnit(int16_t u) { unit = u; }
    int16_t getUnit() const { return unit; }

  protected:
    // The value of a range in the current unit (0 for an unknown unit).
    float valueOf(int16_t dbRange) const;
    // The float slot with its prefix and the unit text, a blank between when asked.
    const char* printValue(int s, const LevelUnit& u, bool blank);

    int16_t unit = 0;
    int16_t channel;
    char textBuf[20] = {};
};

// A trigger level, shown in the trigger-level units.
class trigLevAct : public inpRngAct {
  public:
    trigLevAct(int16_t level, uint32_t paoId, int16_t paoFlags, int16_t dispIndex);
    const char* getStr(char slot) override;
};

// A channel's sensitivity in EU/V, shown as EU/V, V/EU or dB(EU/V).
class euSensAct : public floatParAction {
  public:
    enum : int16_t { eEuPerVolt = 0, eVoltPerEu = 1, eDecibel = 2 };

    euSensAct(float defValue, uint32_t paoId, int16_t paoFlags, int16_t dispIndex);
    const char* getStr(char slot) override;
    void* setParam(actType action) override;

    Status setData(float value);
    void setDisplayMode(int16_t m) { mode = m; }
    float realReciprocal() const { return realRecip; }
    float realDecibel() const { return realDb; }

  private:
    void deriveEntryForms();

    float realRecip;
    float entryRecip;
    float realDb;
    float entryDb;
    int16_t mode = eEuPerVolt;
};

// A reference impedance in ohms, also kept as 10 log10 of the entry value.
class impedParAction : public floatParAction {
  public:
    impedParAction(float defValue, const char* format, uint32_t paoId, int16_t paoFlags,
                   int16_t dispIndex);
    void* setParam(actType action) override;
    float decibel() const { return entryDb; }

  private:
    float entryDb;
};

// A duration counted in 1/256 s.
class blockParAction : public longParAction {
  public:
    blockParAction(int32_t defValue, uint32_t paoId, int16_t paoFlags, int16_t dispIndex);
    const char* getStr(char slot) override;
};

// A readout harmonic; 0 is the fundamental.
class rdOutParAction : public intParAction {
  public:
    rdOutParAction(int16_t defValue, const char* format, uint32_t paoId, int16_t paoFlags,
                   int16_t dispIndex);
    const char* getStr(char slot) override;
};

// The waterfall angle, -75 to 75 degrees.
class wfAngParAction : public intParAction {
  public:
    wfAngParAction(int16_t defValue, uint32_t paoId, int16_t paoFlags, int16_t dispIndex);
};

class wfSkipParAction : public intParAction {
  public:
    wfSkipParAction(int16_t defValue, const char* format, uint32_t paoId, int16_t paoFlags,
                    int16_t dispIndex);
};

class wfOctSkipParAction : public floatUnitAction {
  public:
    wfOctSkipParAction(float defValue, const UNIT_SPEC* units, uint32_t paoId, int16_t paoFlags,
                       int16_t dispIndex);
};

// Plain floats that the instrument edits with their own rules.
class floatVariant : public floatParAction {
  public:
    floatVariant(float defValue, const char* format, uint32_t paoId, int16_t paoFlags,
                 int16_t dispIndex);
};

class relXAction : public floatVariant {
  public:
    using floatVariant::floatVariant;
};

class relYAction : public floatVariant {
  public:
    using floatVariant::floatVariant;
};

class OTFloatParAction : public floatVariant {
  public:
    using floatVariant::floatVariant;
};

class DOFloatParAction : public floatVariant {
  public:
    using floatVariant::floatVariant;
};

// Packed units code: dB mode + 4 x peak units + 16 x phase units.
struct UnitsCode {
    static int16_t dbMode(int16_t code) { return code & 3; }
    static int16_t peakUnits(int16_t code) { return code >> 2 & 3; }
    static int16_t phaseUnits(int16_t code) { return code >> 4 & 1; }
    static int16_t pack(int16_t dbMode, int16_t peak, int16_t phase) {
        return static_cast<int16_t>((dbMode & 3) | (peak & 3) << 2 | (phase & 1) << 4);
    }
};

// The units of a display: the index is the packed units code; the texts are
// filled at run time with the units of the current measurement.
class unitParAction : public rngEnumAction {
  public:
    static constexpr int16_t kHighestIndex = 12;
    static constexpr int16_t kTextSize = 32;

    unitParAction(int16_t defRange, int16_t defIndex, uint32_t paoId, int16_t paoFlags,
                  int16_t dispIndex);
    // Sets the packed code, and the dB mode, peak units and phase units
    // enumerations of the display to its fields; returns 0.
    Status setData(int16_t code, actType action) override;
    // Replaces text i (cut to kTextSize - 1 characters); ignored beyond the table.
    void setUnitText(int16_t i, const char* text);
    // The display's three unit enumerations that setData keeps in step.
    void linkEnumerations(enumParAction* dbMode, enumParAction* peakUnits,
                          enumParAction* phaseUnits);

  private:
    enumParAction* enumerations[3] = {}; // dB mode, peak units, phase units
    int16_t ranges[4][3];                // every range spans all codes
    char textStore[kHighestIndex + 1][kTextSize] = {};
    const char* textPtrs[kHighestIndex + 1];
};

// The measurement of a display. Each measurement remembers the view and units
// it was shown in; taking a measurement's value sets its display's view and units.
class measParAction : public rngEnumAction {
  public:
    static constexpr int16_t kMeasCount = 87;

    measParAction(RangeRecords ranges, int16_t defRange, int16_t defIndex, const char* const* names,
                  uint32_t paoId, int16_t paoFlags, int16_t dispIndex);
    void* setParam(actType action) override;

    // Remembered view and packed units of a measurement (0 beyond the catalogue).
    int16_t rememberedView(int16_t meas) const;
    int16_t rememberedUnits(int16_t meas) const;
    void remember(int16_t meas, int16_t view, int16_t units);

  private:
    static bool known(int16_t meas) { return meas >= 0 && meas < kMeasCount; }

    uint8_t* views;      // 87 bytes
    uint8_t* units;      // 87 bytes
    uint8_t* scaleModes; // 14 bytes of display scale memories
    int32_t* scaleRefs;  // 87 x 4 bytes
    int32_t* scalePairs; // 87 x 8 bytes
};

// The view of a display; each view remembers its packed units and its scale.
class viewParAction : public enumParAction {
  public:
    static constexpr int16_t kViewCount = 9;
    static constexpr int16_t kScaleBytes = 88;

    viewParAction(int16_t defIndex, const char* const* names, uint32_t paoId, int16_t paoFlags,
                  int16_t dispIndex);
    // 108 bytes: the index, the 9 units codes, the 88 scale bytes. Slot 0 has
    // tables of its own; slots 1 and 2 share the working tables.
    Status Serialize(socket* stream, int16_t dir, char slot) override;
    int16_t getSerSize() override { return 108; }
    void slotToSlot(EPaoIndex from, EPaoIndex to) override;

    // Packed units remembered for a view (0 beyond the views).
    int16_t viewUnits(int16_t view) const;

  private:
    int16_t* unitsTable;
    uint8_t* scaleTable;
    int16_t* defaultUnits;
    uint8_t* defaultScale;
};

// A display scale: two 32-bit values and two settings.
class scaleAction : public paramActionObj {
  public:
    scaleAction(int32_t first, int32_t second, int16_t setting0, int16_t setting1, uint32_t paoId,
                int16_t paoFlags, int16_t dispIndex);

    const char* getStr(char slot) override;
    void* setParam(actType action) override;
    // 8 bytes: the two values.
    Status Serialize(socket* stream, int16_t dir, char slot) override;
    int16_t getSerSize() override { return 8; }
    void slotToSlot(EPaoIndex from, EPaoIndex to) override;

    int32_t value(int16_t which, char slot) const { return slots[which & 1][slotIndex(slot)]; }
    int16_t setting(int16_t which) const { return settings[which & 1]; }

  private:
    int32_t* pReal[2];
    int32_t slots[2][3];
    int16_t settings[2];
    char textBuf[32] = {};
};

} // namespace vx
