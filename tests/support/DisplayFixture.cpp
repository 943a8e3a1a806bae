// Display files built byte by byte.
#include "support/DisplayFixture.h"

#include "support/Fixture.h"

namespace vxtest {

namespace {

std::string versionField(const std::string& text) {
    std::string field = text.substr(0, 20);
    field.resize(20, '\0');
    return field;
}

std::string trailer() { return LeBuilder().f32(0).f32(10).f32(0).le16(0).str(); }

} // namespace

std::string Vx560Settings::bytes() const {
    LeBuilder b;
    b.le16(0xFFFF).bytes(versionField(versionText)).le16(uint16_t(measGroup));
    b.le16(uint16_t(xDispLen)).le32(uint32_t(nPts));
    b.bytes(std::string(descriptor.begin(), descriptor.end())).le16(0);
    b.bytes(std::string(timeStamp.begin(), timeStamp.end())).bytes(lists);
    return b.bytes(trailer()).str();
}

std::string Vx550Settings::bytes() const {
    LeBuilder b;
    if (marker) b.le16(0xFFFF).bytes(versionField(versionText));
    b.le16(uint16_t(measGroup)).le16(uint16_t(oldTraceKind)).u8(0);
    b.le16(uint16_t(xDispLen)).le32(uint32_t(nPts)).le16(uint16_t(windowSelector));
    return b.bytes(records).bytes(trailer()).str();
}

std::string DisplayFixture::bytes() const {
    LeBuilder b;
    b.bytes(fileTag(0)).bytes("Settings Header:").bytes(checkedBlock(settings));
    b.le16(uint16_t(vectorCode));
    for (const FixtureVector& v : vectors) {
        uint32_t check = 0xB1B1B1B1u;
        b.bytes("Vector Header:");
        for (uint32_t w : v.header) {
            b.le32(w);
            check ^= w;
        }
        b.le32(v.goodCheck ? check : check ^ 1u).bytes("Vector Data:");
        for (const FixturePoint& p : v.points) b.f32(p.re).f32(p.im);
    }
    return b.str();
}

FixtureVector rampVector(uint32_t n) {
    FixtureVector v;
    v.header[0] = n;
    for (uint32_t i = 0; i < n; ++i) v.points.push_back({float(i), -float(i)});
    return v;
}

} // namespace vxtest
