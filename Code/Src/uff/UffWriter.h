// The UFF output of a trace: one dataset 58 (function at a nodal degree of
// freedom) in ASCII, its modal identity from the "File List:" settings.
#pragma once
#include <string>

#include "trace/TraceFileWriter.h"

namespace vx {

// UFF function types of the measurements that translate.
enum EUffFunction : int16_t {
    eUffNone = 0,
    eUffTime = 1,
    eUffAutoSpectrum = 2,
    eUffCrossSpectrum = 3,
    eUffFrf = 4,
    eUffCoherence = 6,
    eUffAutoCorrelation = 7,
    eUffCrossCorrelation = 8,
    eUffPsd = 9,
    eUffSpectrum = 12,
};

// The function type of a measurement index; eUffNone when it does not translate.
int16_t uffFunctionType(int16_t measurement);
// The UFF specific data type of an engineering-unit id (0 to 14); 1 (general)
// for "USER" and anything beyond the table.
int16_t uffUnitDataType(int16_t euLabel);

class CUffWriter : public CTraceFileWriter {
  public:
    using CTraceFileWriter::CTraceFileWriter;
    Status write(const char* name) override;

  private:
    Status writeDataset();
    // The reason the trace cannot be written (reported), or 0.
    Status refusal(int16_t functionType);
    std::string functionRecords(int16_t functionType, bool complex, int32_t n);
    Status writeData(const std::string& records, bool complex, int32_t n);
};

} // namespace vx
