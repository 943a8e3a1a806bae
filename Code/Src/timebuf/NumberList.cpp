// Reading number lists token by token into capture samples.
#include "timebuf/NumberList.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "base/ErrLogger.h"

namespace vx {

namespace {

// The whole token as strtod reads it. Plain decimal numbers go through
// std::from_chars, which gives the same correctly rounded value faster;
// anything else it does not take whole (a sign '+', hex, a value out of
// range) is left to strtod.
bool parseNumber(const char* token, double& value) {
    const char* end = token + std::strlen(token);
    std::from_chars_result r = std::from_chars(token, end, value);
    if (r.ec == std::errc() && r.ptr == end) return true;
    char* stop = nullptr;
    value = std::strtod(token, &stop);
    return *stop == '\0';
}

} // namespace

Status CAsciiReader::open(const char* name) {
    if (openInput(name).failed()) return kStatusFailed;
    errLog() << msg::eAsciiFloatType << endLine << endLine;
    endOfData_ = 0;
    fullScale_ = std::pow(10.0, 0.05 * header().inputRange[0]);
    return kStatusOk;
}

Status CAsciiReader::readSample(int32_t& sample) {
    sample = 0;
    if (endOfData_ || !file_) return kStatusOk;
    char token[kMaxTokenLen + 1];
    const TokenEnd end = file_->readToken(token, sizeof token);
    if (end == TokenEnd::eReadFailed || end == TokenEnd::eTooLong) {
        errLog() << msg::eErrorReadingLower << endLine;
        return end == TokenEnd::eReadFailed ? kStatusReadFailed : kStatusTokenTooLong;
    }
    if (end == TokenEnd::eEndOfFile) endOfData_ = 1;
    if (token[0] == '\0') {
        endOfData_ = 1;
        return kStatusOk;
    }
    double value = 0;
    if (!parseNumber(token, value)) {
        errLog() << msg::eInvalidFloat << token << endLine;
        return kStatusFailed;
    }
    double e = value / fullScale_;
    // Written so that NaN is refused too: it has no sample.
    if (!(std::fabs(e) <= kLimit)) {
        errLog() << msg::eValueOutOfRange << endLine;
        return kStatusFailed;
    }
    sample = fractionToSample(e);
    return kStatusOk;
}

Status CAsciiReader::readBlock(uint8_t* block) {
    for (int i = 0; i < kBlockSamples; ++i) {
        int32_t sample = 0;
        Status st = readSample(sample);
        if (st.failed()) return st;
        setBlockSample(block, i, sample);
    }
    return kStatusOk;
}

} // namespace vx
