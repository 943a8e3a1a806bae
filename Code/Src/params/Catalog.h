// The parameter catalogue: every instrument setting that a file can carry, by
// name. Settings that exist once per display are twins: [0] is display A (the
// registered member), [1] display B (also reached with next(1)).
#pragma once
#include "base/Options.h"
#include "params/ACTION.h"
#include "params/DerivedParams.h"

namespace vx {

// Stores the /M modal values of the job into list 14 and marks the file's
// data as modal; does nothing when no modal value was given.
void applyModalOptions(const ConvOptions& options);

namespace cat {
// ---- list 0: process settings
extern enumParAction rpmDisplaySwitch;

// ---- list 1 "Filter List:"
extern Twin<enumParAction> baseFreq;
extern Twin<enumParAction> fftLines;
extern Twin<spanActType> span;
extern Twin<startFreqAction> startFreq;
extern Twin<enumParAction> octaveResolution;
extern Twin<enumParAction> measureGroup;
extern Twin<enumParAction> engUnits1;
extern Twin<enumParAction> engUnits2;
extern Twin<euSensAct> euPerVolt1;
extern Twin<euSensAct> euPerVolt2;
extern Twin<binDelayAct> histogramLength;
extern rngEnumAction channelMode;
extern Twin<enumParAction> histogramBins;
extern Twin<rngEnumAction> window;
extern enumParAction forceExp1;
extern enumParAction forceExp2;
extern Twin<enumParAction> linearAvgMode;
extern Twin<enumParAction> octLinearAvgMode;
extern Twin<binDelayAct> forceLength;
extern Twin<floatParAction> expoTC;
extern Twin<enumParAction> averaging;
extern Twin<enumParAction> powerBin;
extern Twin<intParAction> numAverages;
extern Twin<floatParAction> timeRecordIncr;
extern Twin<enumParAction> overloadReject;
extern enumParAction rejectTrigger;    // #24
extern floatUnitAction rejectInterval; // #25
extern Twin<enumParAction> octaveChannels;
extern Twin<enumParAction> confidence;
extern Twin<octActType> octaveSpan;
extern Twin<floatUnitAction> octIntegrationTime;
extern Twin<enumParAction> octAveragingType;
extern Twin<intParAction> sweptPoints;
extern Twin<enumParAction> sweptRepeat; // #33
extern Twin<longParAction> settleCycles;
extern Twin<longParAction> integrationCycles;
extern Twin<floatUnitAction> sweptStart;
extern Twin<floatUnitAction> sweptStop;
extern Twin<blockParAction> settleTime;
extern Twin<blockParAction> sweptIntegrationTime;
extern Twin<enumParAction> autoResolution;
extern Twin<enumParAction> maxSkipSize;
extern Twin<floatParAction> fasterThreshold;
extern Twin<floatParAction> slowerThreshold;
extern Twin<floatParAction> minRpm;
extern Twin<enumParAction> sweptType;
extern Twin<floatParAction> maxRpm;
extern Twin<floatParAction> maxOrder;
extern Twin<DOFloatParAction> deltaOrder;
extern Twin<OTFloatParAction> track1Value;
extern Twin<enumParAction> track1Bnc;
extern Twin<OTFloatParAction> track2Value;
extern Twin<enumParAction> track2Bnc;
extern Twin<intParAction> trackPoints;

// ---- list 2 "Delay List:" (the waterfall settings)
extern Twin<enumParAction> orderWaterfallSwitch; // #6, order group only

// ---- list 3 "Meas Settings:"
extern Twin<measParAction> measurement;
extern Twin<enumParAction> measAveraging;
extern Twin<rngEnumAction> measAveragingType;
extern Twin<strActionObj> measTitle1;
extern Twin<strActionObj> measTitle2;

// ---- list 4 "View Settings:": view, units and their unit enumerations,
// waterfall, marker and trace settings (#2 to #25), scales (#26 to #28),
// transducer output units (#36, #37), EU labels (#43, #44; 14 "USER" takes
// the user label) and user labels (#45, #46)
extern Twin<viewParAction> view;
extern Twin<unitParAction> units;
extern Twin<enumParAction> waterfallOrder;      // #2
extern Twin<intParAction> waterfallHeight;      // #3
extern Twin<wfAngParAction> waterfallAngle;     // #4
extern Twin<enumParAction> waterfallHidden;     // #5
extern Twin<intParAction> waterfallThreshold;   // #6
extern Twin<enumParAction> markerVisibility;    // #7
extern Twin<enumParAction> markerMode;          // #8
extern Twin<enumParAction> markerType;          // #9
extern Twin<enumParAction> markerSeek;          // #10
extern Twin<enumParAction> markerWidth;         // #11
extern Twin<enumParAction> markerRelative;      // #12
extern Twin<enumParAction> markerOffset;        // #13
extern Twin<relXAction> markerRelX;             // #14
extern Twin<relYAction> markerRelY;             // #15
extern Twin<intParAction> harmonicCount;        // #16
extern Twin<enumParAction> harmonicRatio;       // #17
extern Twin<rdOutParAction> harmonicReadout;    // #18
extern Twin<enumParAction> sidebandMode;        // #19
extern Twin<enumParAction> traceSubtract;       // #20
extern Twin<enumParAction> bandLimit;           // #21
extern Twin<floatParAction> sidebandSeparation; // #22
extern Twin<enumParAction> displayStyle;        // #23
extern Twin<intParAction> traceNumber;          // #24
extern Twin<intParAction> waterfallTraces;      // #25
extern Twin<scaleAction> scaleY;                // #26
extern Twin<scaleAction> scaleX;                // #27
extern Twin<scaleAction> scaleZ;                // #28
extern Twin<longParAction> zoomStart;           // #29
extern Twin<intParAction> zoomFactor;           // #30
extern Twin<enumParAction> coordinates;         // #31
extern Twin<enumParAction> xAxisScale;          // #32
extern Twin<enumParAction> grid;                // #33
extern Twin<enumParAction> gridDivisions;       // #34
extern Twin<enumParAction> psdUnits;            // #35
extern Twin<enumParAction> transducerOut1;
extern Twin<enumParAction> transducerOut2;
extern Twin<floatParAction> dbReference;   // #38
extern Twin<floatParAction> phaseSuppress; // #39
extern Twin<enumParAction> dbMode;
extern Twin<enumParAction> phaseUnits;
extern Twin<enumParAction> peakUnits;
extern Twin<enumParAction> euLabel1;
extern Twin<enumParAction> euLabel2;
extern Twin<strActionObj> euUserLabel1;
extern Twin<strActionObj> euUserLabel2;

// ---- list 5 "Source Settings:"
extern intActionObj source;
extern floatUnitAction sourcePeriod;
extern intActionObj sourceType;
extern freqAct sineFreq1;
extern freqAct sineFreq2;
extern srcSineAmp sineAmp1;
extern srcSineAmp sourceOffset;
extern srcSineAmp sineAmp2;
extern srcNoiseAmp noiseAmp;
extern floatParAction noiseBurst;
extern enumParAction noiseType;
extern srcAmpAct chirpAmp;
extern floatParAction chirpBurst;
extern enumParAction chirpSource;
extern arbAmpAct arbAmp;
extern enumParAction arbBuffer;
extern sampleActType arbRate;
extern longParAction arbStart;
extern intParAction arbLength;
extern srcSweptAmp sweptAmp;
extern srcSweptAmp sweptIdealRef;
extern floatParAction sweptRefUpper;
extern floatParAction sweptRefLower;
extern srcSweptAmp sweptMaxSource;
extern enumParAction sweptRamping;
extern floatParAction sweptRampRate;
extern enumParAction inputSource;
extern enumParAction sweptAutoLevel;

// ---- list 6 "Limit Setings:"

// ---- list 7 "Input Settings:"
extern floatUnitAction tachHoldoff;
extern enumParAction holdoffEnable;
extern floatParAction pulsesPerRev;
extern enumParAction tachTrig;
extern floatParAction tachLevel;
extern enumParAction tachSlope;
extern impedParAction refImpedance;
extern enumParAction autoOffset;
extern enumParAction inputMode1;
extern enumParAction grounding1;
extern rngEnumAction coupling1;
extern enumParAction inputMode2;
extern enumParAction grounding2;
extern rngEnumAction coupling2;
extern enumParAction aaFilter1;
extern enumParAction aaFilter2;
extern enumParAction aWeighting1;
extern enumParAction aWeighting2;
extern enumParAction autoRange1;
extern enumParAction autoRange2;
extern longParAction playbackStart;
extern intParAction playbackLength;
extern enumParAction playbackMode;
extern enumParAction playbackSpeed;
extern inpRngAct inputRange1;
extern inpRngAct inputRange2;

// ---- list 8 "Trigger Settings:"
extern floatUnitAction timeArmStep;
extern enumParAction rpmDeltaEnable;
extern floatParAction startRpmArm;
extern floatParAction stopRpmArm;
extern enumParAction triggeredSourceMode;
extern enumParAction triggerMode;
extern enumParAction triggerSource;
extern trigLevAct triggerLevel;
extern enumParAction triggerSlope;
extern binDelayAct delayA;
extern binDelayAct delayB;

// ---- list 11 "Capture Settings:"
extern intParAction captureLength;
extern sampleActType captureRate;
extern enumParAction captureMode;

// ---- list 14 "File List:"
extern enumParAction modalData;
extern Twin<strActionObj> refName;
extern Twin<intParAction> refNumber;
extern Twin<enumParAction> refDirection;
extern Twin<strActionObj> respName;
extern Twin<intParAction> respNumber;
extern Twin<enumParAction> respDirection;

// ---- free-standing settings, in no list
extern enumParAction liveMode; // "Off-Line", "Live"

} // namespace cat

} // namespace vx
