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

std::string trailer() {
    return LeBuilder().f32(0).f32(10).f32(0).le16(0).str();
}

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
        for (const FixturePoint& p : v.points)
            b.f32(p.re).f32(p.im);
    }
    return b.str();
}

FixtureVector rampVector(uint32_t n) {
    FixtureVector v;
    v.header[0] = n;
    for (uint32_t i = 0; i < n; ++i)
        v.points.push_back({float(i), -float(i)});
    return v;
}

} // namespace vxtest

#include <cmath>
#include <cstring>

#include "params/Catalog.h"
#include "params/STARTUP.h"
#include "support/Catalogue.h"
#include "support/MemStream.h"
#include "trace/TRACE.h"

namespace vxtest {

int16_t groupMeasurement(int16_t group) {
    static const int16_t kMeasurement[] = {0, 19, 33, 47, 53, 72};
    return kMeasurement[group < 0 || group > 5 ? 0 : group];
}

std::string groupDisplayFile(int16_t group) {
    return measurementDisplayFile(group, groupMeasurement(group));
}

std::string measurementDisplayFile(int16_t group, int16_t m,
                                   void (*edit)(std::array<uint8_t, 47>&)) {
    using namespace vx;
    (void)cat::measureGroup[0].setData(group, 0);
    (void)cat::measurement[0].setRange(group);
    (void)cat::measurement[0].setData(m, 0);
    cat::measurement[0].setParam(0);
    TraceMgr t; // the lengths of the settings above
    t.computeLengths();

    MemStream lists;
    const int16_t order[][2] = {{1, 1}, {2, 1}, {3, 1}, {4, 0}, {14, 0}, {5, 1}, {7, 0}, {8, 0}};
    for (const auto& l : order)
        (void)serializeList(l[0], &lists, 1, 0, ePaoEntry, l[1]);

    Vx560Settings s;
    s.measGroup = group;
    s.xDispLen = t.xDispLen;
    s.nPts = t.nPts;
    std::memcpy(s.descriptor.data(), measDescriptor(m).bytes, MeasDesc::kSize);
    if (edit) edit(s.descriptor);
    s.timeStamp = timeStampBytes(56, 34, 12, 3, 8, 12, 126);
    s.lists = lists.bytes();

    FixtureVector v;
    v.header[0] = static_cast<uint32_t>(t.nPts);
    v.header[12] = 10;
    for (int32_t i = 0; i < t.nPts; ++i)
        v.points.push_back({float(std::cos(i * 0.05) + 1.5), float(std::sin(i * 0.05))});
    DisplayFixture f;
    f.settings = s.bytes();
    f.vectors.push_back(v);
    return f.bytes();
}

void writeGroupDisplayFiles(const TempDir& dir) {
    prepareCatalogue();
    for (int16_t g = 0; g < 6; ++g) {
        resetCatalogue();
        dir.write("g" + std::to_string(g) + ".56d", groupDisplayFile(g));
    }
    resetCatalogue();
}

} // namespace vxtest
