// The parameter catalogue: every instrument setting that a file can carry, by
// name, with the lists that order them. Settings that exist once per display
// are twins: [0] is display A (the registered member), [1] display B (also
// reached with next(1)). A model holds one catalogue; each is built on its own
// and shares nothing with another.
#pragma once
#include "base/Options.h"
#include "params/ACTION.h"
#include "params/CatalogTexts.h"
#include "params/DerivedParams.h"
#include "params/STARTUP.h"

namespace vx {

struct Catalogue {
    // Builds every setting in the fixed order below (the order of its list
    // registration), links them and orders the lists.
    Catalogue();
    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;

    // Every setting of lists 1 to 14 back to its default, and applied.
    void reset();
    // Stores the /M modal values of the job into list 14 and marks the file's
    // data as modal; does nothing when no modal value was given.
    void applyModalOptions(const ConvOptions& options);

    CPaoRegistry lists;
    DisplayLinks links[2]; // displays A and B

  private:
    RegistryScope registering_{lists, links}; // ends once the members are built

  public:
    RangeTables rangeTables;

    // ---- list 0: process settings
    enumParAction rpmDisplaySwitch;
    // ---- list 1 "Filter List:". The settings that others derive from come first.
    Twin<enumParAction> baseFreq;
    Twin<enumParAction> fftLines;
    Twin<spanActType> span;
    Twin<startFreqAction> startFreq;
    Twin<enumParAction> octaveResolution;
    Twin<enumParAction> measureGroup;
    Twin<enumParAction> engUnits1;
    Twin<enumParAction> engUnits2;
    Twin<euSensAct> euPerVolt1;
    Twin<euSensAct> euPerVolt2;
    Twin<binDelayAct> histogramLength;
    rngEnumAction channelMode;
    Twin<enumParAction> histogramBins;
    Twin<rngEnumAction> window;
    enumParAction forceExp1;
    enumParAction forceExp2;
    Twin<enumParAction> linearAvgMode;
    Twin<enumParAction> octLinearAvgMode;
    Twin<binDelayAct> forceLength;
    Twin<floatParAction> expoTC;
    Twin<enumParAction> averaging;
    Twin<enumParAction> powerBin;
    Twin<intParAction> numAverages;
    Twin<floatParAction> timeRecordIncr;
    Twin<enumParAction> overloadReject;
    enumParAction rejectTrigger;
    floatUnitAction rejectInterval;
    Twin<enumParAction> octaveChannels;
    Twin<enumParAction> confidence;
    Twin<octActType> octaveSpan;
    Twin<floatUnitAction> octIntegrationTime;
    Twin<enumParAction> octAveragingType;
    Twin<intParAction> sweptPoints;
    Twin<enumParAction> sweptRepeat;
    Twin<longParAction> settleCycles;
    Twin<longParAction> integrationCycles;
    Twin<floatUnitAction> sweptStart;
    Twin<floatUnitAction> sweptStop;
    Twin<blockParAction> settleTime;
    Twin<blockParAction> sweptIntegrationTime;
    Twin<enumParAction> autoResolution;
    Twin<enumParAction> maxSkipSize;
    Twin<floatParAction> fasterThreshold;
    Twin<floatParAction> slowerThreshold;
    Twin<floatParAction> minRpm;
    Twin<enumParAction> sweptType;
    Twin<floatParAction> maxRpm;
    Twin<floatParAction> maxOrder;
    Twin<DOFloatParAction> deltaOrder;
    Twin<OTFloatParAction> track1Value;
    Twin<enumParAction> track1Bnc;
    Twin<OTFloatParAction> track2Value;
    Twin<enumParAction> track2Bnc;
    Twin<intParAction> trackPoints;
    // ---- list 2 "Delay List:" (the waterfall settings)
    Twin<rngEnumAction> waterfallMode;         // in its list only
    Twin<enumParAction> waterfallStore;        // in its list only
    Twin<intParAction> waterfallDepth;         // in its list only
    Twin<wfSkipParAction> waterfallSkip;       // in its list only
    Twin<wfOctSkipParAction> waterfallOctSkip; // in its list only
    Twin<enumParAction> orderWaterfallMode;    // in its list only
    Twin<enumParAction> orderWaterfallSwitch;
    // ---- list 3 "Meas Settings:"
    Twin<measParAction> measurement;
    Twin<enumParAction> measAveraging;
    Twin<rngEnumAction> measAveragingType;
    Twin<strActionObj> measTitle1;
    Twin<strActionObj> measTitle2;
    // ---- list 4 "View Settings:"
    Twin<viewParAction> view;
    Twin<unitParAction> units;
    Twin<enumParAction> waterfallOrder;
    Twin<intParAction> waterfallHeight;
    Twin<wfAngParAction> waterfallAngle;
    Twin<enumParAction> waterfallHidden;
    Twin<intParAction> waterfallThreshold;
    Twin<enumParAction> markerVisibility;
    Twin<enumParAction> markerMode;
    Twin<enumParAction> markerType;
    Twin<enumParAction> markerSeek;
    Twin<enumParAction> markerWidth;
    Twin<enumParAction> markerRelative;
    Twin<enumParAction> markerOffset;
    Twin<relXAction> markerRelX;
    Twin<relYAction> markerRelY;
    Twin<intParAction> harmonicCount;
    Twin<enumParAction> harmonicRatio;
    Twin<rdOutParAction> harmonicReadout;
    Twin<enumParAction> sidebandMode;
    Twin<enumParAction> traceSubtract;
    Twin<enumParAction> bandLimit;
    Twin<floatParAction> sidebandSeparation;
    Twin<enumParAction> displayStyle;
    Twin<intParAction> traceNumber;
    Twin<intParAction> waterfallTraces;
    Twin<scaleAction> scaleY;
    Twin<scaleAction> scaleX;
    Twin<scaleAction> scaleZ;
    Twin<longParAction> zoomStart;
    Twin<intParAction> zoomFactor;
    Twin<enumParAction> coordinates;
    Twin<enumParAction> xAxisScale;
    Twin<enumParAction> grid;
    Twin<enumParAction> gridDivisions;
    Twin<enumParAction> psdUnits;
    Twin<enumParAction> transducerOut1;
    Twin<enumParAction> transducerOut2;
    Twin<floatParAction> dbReference;
    Twin<floatParAction> phaseSuppress;
    Twin<enumParAction> dbMode;
    Twin<enumParAction> phaseUnits;
    Twin<enumParAction> peakUnits;
    Twin<enumParAction> euLabel1;
    Twin<enumParAction> euLabel2;
    Twin<strActionObj> euUserLabel1;
    Twin<strActionObj> euUserLabel2;
    // ---- list 5 "Source Settings:"
    intActionObj source;
    floatUnitAction sourcePeriod;
    intActionObj sourceType;
    freqAct sineFreq1;
    freqAct sineFreq2;
    srcSineAmp sineAmp1;
    srcSineAmp sourceOffset;
    srcSineAmp sineAmp2;
    srcNoiseAmp noiseAmp;
    floatParAction noiseBurst;
    enumParAction noiseType;
    srcAmpAct chirpAmp;
    floatParAction chirpBurst;
    enumParAction chirpSource;
    arbAmpAct arbAmp;
    enumParAction arbBuffer;
    sampleActType arbRate;
    longParAction arbStart;
    intParAction arbLength;
    srcSweptAmp sweptAmp;
    srcSweptAmp sweptIdealRef;
    floatParAction sweptRefUpper;
    floatParAction sweptRefLower;
    srcSweptAmp sweptMaxSource;
    enumParAction sweptRamping;
    floatParAction sweptRampRate;
    enumParAction inputSource;
    enumParAction sweptAutoLevel;
    // ---- list 6 "Limit Setings:"
    Twin<enumParAction> limitDisplay; // in its list only
    Twin<enumParAction> limitTest;    // in its list only
    Twin<enumParAction> limitBeep;    // in its list only
    // ---- list 7 "Input Settings:"
    enumParAction tachChannel; // in its list only
    floatUnitAction tachHoldoff;
    enumParAction holdoffEnable;
    floatParAction pulsesPerRev;
    enumParAction tachTrig;
    floatParAction tachLevel;
    enumParAction tachSlope;
    enumParAction tachSwitch; // in its list only
    impedParAction refImpedance;
    enumParAction autoOffset;
    enumParAction inputMode1;
    enumParAction grounding1;
    rngEnumAction coupling1;
    enumParAction inputMode2;
    enumParAction grounding2;
    rngEnumAction coupling2;
    enumParAction aaFilter1;
    enumParAction aaFilter2;
    enumParAction aWeighting1;
    enumParAction aWeighting2;
    enumParAction autoRange1;
    enumParAction autoRange2;
    longParAction playbackStart;
    intParAction playbackLength;
    enumParAction playbackMode;
    enumParAction playbackSpeed;
    inpRngAct inputRange1;
    inpRngAct inputRange2;
    // ---- list 8 "Trigger Settings:"
    enumParAction armSwitch; // in its list only
    floatUnitAction timeArmStep;
    enumParAction rpmDeltaEnable;
    floatParAction startRpmArm;
    floatParAction stopRpmArm;
    enumParAction triggeredSourceMode;
    enumParAction triggerMode;
    enumParAction triggerSource;
    trigLevAct triggerLevel;
    enumParAction triggerSlope;
    binDelayAct delayA;
    binDelayAct delayB;
    // ---- list 9 "General System Settings:"
    longParAction systemSerial;    // in its list only
    enumParAction keyClick;        // in its list only
    enumParAction controlSource;   // in its list only
    enumParAction printerType;     // in its list only
    enumParAction plotterType;     // in its list only
    enumParAction outputPort;      // in its list only
    intParAction plotSpeed;        // in its list only
    enumParAction printArea;       // in its list only
    enumParAction outputKind;      // in its list only
    enumParAction graphShading;    // in its list only
    enumParAction backShading;     // in its list only
    enumParAction traceColour;     // in its list only
    enumParAction screenColours;   // in its list only
    intParAction pen1;             // in its list only
    intParAction pen2;             // in its list only
    intParAction pen3;             // in its list only
    intParAction pen4;             // in its list only
    intParAction penMode;          // in its list only
    intParAction brightness;       // in its list only
    intParAction contrast;         // in its list only
    enumParAction confirmations;   // in its list only
    strActionObj systemName;       // in its list only
    enumParAction displayFormat;   // in its list only
    enumParAction systemSwitch1;   // in its list only
    enumParAction systemSwitch2;   // in its list only
    enumParAction alarmSound;      // in its list only
    intParAction screenSaverDelay; // in its list only
    enumParAction screenSaver;     // in its list only
    intParAction systemLevel1;     // in its list only
    intParAction systemLevel2;     // in its list only
    enumParAction systemSwitch3;   // in its list only
    enumParAction binRounding;     // in its list only
    // ---- list 11 "Capture Settings:"
    enumParAction captureSwitch; // in its list only
    intParAction captureLength;
    sampleActType captureRate;
    enumParAction captureMode;
    enumParAction captureChannels; // in its list only
    // ---- list 12 "Communications Settings:" and list 13 "DRAM settings:"
    enumParAction commPort;   // in its list only
    intParAction gpibAddress; // in its list only
    enumParAction commEcho;   // in its list only
    enumParAction baudRate;   // in its list only
    enumParAction dataBits;   // in its list only
    enumParAction parity;     // in its list only
    intParAction dramCapture; // in its list only
    intParAction dramArb;     // in its list only
    intParAction dramUser;    // in its list only
    // ---- list 14 "File List:"
    enumParAction modalData;
    Twin<strActionObj> refName;
    Twin<intParAction> refNumber;
    Twin<enumParAction> refDirection;
    Twin<strActionObj> respName;
    Twin<intParAction> respNumber;
    Twin<enumParAction> respDirection;
    // ---- free-standing settings, in no list
    enumParAction liveMode;
    enumParAction statusDisplay; // in its list only
    enumParAction symmetry;      // in its list only
    intParAction statusNumber;   // in its list only
};

} // namespace vx
