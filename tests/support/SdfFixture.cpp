// HP SDF files built field by field for the reader tests.
#include "support/SdfFixture.h"

#include "support/Fixture.h"

namespace vxtest {

namespace {

struct Sizes {
    size_t file, meas, data, channel;
};

Sizes sizesOf(const SdfFixture& f) {
    return f.revision == 2 ? Sizes{64, 140, 134, 192} : Sizes{80, 156, 148, 212};
}

std::string channelHeader(const SdfChannel& c, size_t size, bool old, int index) {
    BeRecord r(size);
    r.be16(0, 14).be32(2, uint32_t(size)).text(10, "Chan " + std::to_string(index + 1));
    r.be16(64, uint16_t(c.windowType)).be16(66, uint16_t(c.windowCorrMode));
    r.f32(84, c.narrowBandCorr);
    if (old) r.f32(90, c.range);
    r.f32(94, c.range);
    r.text(116, c.unitLabel).f32(126, c.unitScale).f32(138, c.engUnitCal);
    std::string bytes = r.str();
    for (int k = 0; k < 8; ++k)
        bytes[130 + k] = char(c.unitExponents[k]);
    return bytes;
}

} // namespace

SdfFixture& SdfFixture::ramp(size_t count) {
    y.clear();
    for (size_t i = 0; i < count; ++i)
        y.push_back(float(i + 1));
    return *this;
}

SdfFixture sdfSampleOf(int group) {
    SdfFixture f;
    switch (group) {
    case 1: // "AutoCorr.1"
        f.measType = 7, f.dataType = 5, f.xDomain = 1, f.points = 512, f.lastValidIndex = 511;
        return f.ramp(512);
    case 2: // third octaves from 1 kHz over five octaves
        f.measType = 5, f.dataType = 12, f.xDomain = 6, f.xStart = 1000 * 0.8908987;
        f.points = 16, f.lastValidIndex = 14, f.octaveRecord = true;
        return f.ramp(16);
    case 3: // a logarithmic "Freq. Resp." sweep
        f.measType = 2, f.dataType = 4, f.xStart = 20, f.span = 19980, f.xResolution = 1;
        f.yComplex = 1, f.points = 101, f.lastValidIndex = 100;
        return f.ramp(202);
    case 4: // order "Pwr Spec 1"
        f.measType = 4, f.dataType = 21, f.xDomain = 4, f.xStep = 0.25;
        f.points = 41, f.lastValidIndex = 40;
        return f.ramp(41);
    case 5: // "Histo 1"
        f.measType = 8, f.dataType = 14, f.xDomain = 2, f.blockSize = 256;
        f.points = 256, f.lastValidIndex = 255, f.span = 102400 * 512.0 / 400;
        return f.ramp(256);
    default: // a 400-line "Pwr Spec 1"
        return f.ramp(401);
    }
}

SdfLayout sdfLayout(const SdfFixture& f) {
    const Sizes s = sizesOf(f);
    SdfLayout l{};
    l.fileHdr = 2;
    l.measHdr = l.fileHdr + s.file;
    l.dataHdr = l.measHdr + s.meas;
    l.vectorHdr = l.dataHdr + s.data;
    l.channelHdr = l.vectorHdr + 18;
    l.scan = l.channelHdr + s.channel * f.channels.size();
    l.yData = l.scan + 40;
    return l;
}

std::string sdfFile(const SdfFixture& f) {
    const bool old = f.revision == 2;
    const Sizes s = sizesOf(f);
    const SdfLayout l = sdfLayout(f);

    BeRecord file(s.file);
    file.be16(0, 10).be32(2, uint32_t(s.file)).be16(6, uint16_t(f.revision));
    file.be16(10, uint16_t(f.year)).be16(12, uint16_t(f.monthDay)).be16(14, uint16_t(f.hourMinute));
    file.be16(24, 1).be16(26, 1).be16(28, uint16_t(f.channels.size())).be16(32, 1);
    file.be32(36, uint32_t(l.dataHdr)).be32(40, uint32_t(l.vectorHdr));
    file.be32(44, uint32_t(l.channelHdr)).be32(48, uint32_t(-1)).be32(52, uint32_t(l.scan));
    file.be32(56, uint32_t(-1)).be32(60, uint32_t(l.yData));

    BeRecord meas(s.meas);
    meas.be16(0, 11).be32(2, uint32_t(s.meas)).be32(18, uint32_t(f.blockSize));
    meas.be16(28, uint16_t(f.averageType)).be32(30, uint32_t(f.averageCount)).f32(34, f.overlap);
    meas.f32(10, float(f.center)).f32(14, float(f.span)).be16(126, uint16_t(f.measType));
    if (!old) meas.f64(102, f.center).f64(110, f.span).be32(140, uint32_t(f.startIndex));

    BeRecord data(s.data);
    data.be16(0, 12).be32(2, uint32_t(s.data)).text(10, "Built");
    data.be16(26, uint16_t(f.xDomain)).be16(28, uint16_t(f.dataType));
    data.be16(42, uint16_t(f.xResolution)).be16(48, 3);
    data.be16(50, uint16_t(f.yPerPoint)).be16(52, uint16_t(f.yComplex));
    data.f64(114, f.xStart).f64(122, f.xStep).be16(132, uint16_t(f.windowApplied));
    if (old)
        data.be16(30, uint16_t(f.points)).be16(32, uint16_t(f.lastValidIndex));
    else
        data.be32(134, uint32_t(f.points)).be32(138, uint32_t(f.lastValidIndex));

    BeRecord vector(18);
    vector.be16(0, 13).be32(2, 18);
    vector.be16(10, uint16_t(f.vectorChannels[0])).be16(12, uint16_t(f.vectorChannels[1]));
    vector.be16(14, uint16_t(f.powers[0])).be16(16, uint16_t(f.powers[1]));

    std::string channels;
    for (size_t i = 0; i < f.channels.size(); ++i)
        channels += channelHeader(f.channels[i], s.channel, old, int(i));

    BeRecord scan(40);
    scan.be16(0, 15).be32(2, 36).be16(6, 1).be16(12, 3).text(14, "count").f32(36, 1.0f);

    const size_t bytes = 4 * f.y.size() + (f.octaveRecord ? 4 : 0);
    BeRecord y(6 + bytes);
    y.be16(0, 17).be32(2, uint32_t(6 + 4 * f.y.size() + (f.octaveRecord ? 4 : 0)));
    for (size_t i = 0; i < f.y.size(); ++i)
        y.f32(6 + 4 * i, f.y[i]);
    return std::string("B\0", 2) + file.str() + meas.str() + data.str() + vector.str() + channels +
           scan.str() + y.str();
}

std::string patchBe(std::string bytes, size_t at, uint32_t v, int width) {
    for (int i = 0; i < width && at + i < bytes.size(); ++i)
        bytes[at + i] = char(v >> (8 * (width - 1 - i)));
    return bytes;
}

} // namespace vxtest
