// JSON output of every input kind: each document validates against the schema
// in doc/ and holds a record, same label and text, for every line of the
// exhaustive header; the emitter's strings and numbers; the typing of header
// texts and the keys of labels.
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "support/Catalogue.h"
#include "support/DisplayFixture.h"
#include "support/Fixture.h"
#include "support/RunProgram.h"
#include "support/SdfFixture.h"
#include "support/SharedFiles.h"
#include "support/TempDir.h"
#include "support/WaterfallFixture.h"
#include "timebuf/CapArb.h"

namespace {

using vx::CJson;
using vx::SettingRecord;

// Validates each <stem>.json against the schema and checks that its settings
// are, in order, the lines of <stem>.asc (written with /H2) up to the first
// empty line; prints one line per fault.
const char* const kCheckScript = R"(
import json, sys, jsonschema
schema = json.load(open(sys.argv[1]))
validator = jsonschema.Draft202012Validator(schema)
for stem in sys.argv[2:]:
    doc = json.loads(open(stem + '.json', 'rb').read().decode('utf-8'))
    for e in validator.iter_errors(doc):
        print(stem, 'invalid:', e.message[:200], list(e.path)[:4])
    keys = [r['key'] for r in doc['settings']]
    if len(set(keys)) != len(keys):
        print(stem, 'keys repeat')
    header = open(stem + '.asc', 'rb').read().decode('latin-1').split('\r\n')
    lines = [l for l in header[:header.index('')] if not l.startswith('Input File: ')]
    records = [(r['label'], r['text']) for r in doc['settings']]
    if len(lines) != len(records):
        print(stem, len(lines), 'header lines,', len(records), 'records')
    for line, (label, text) in zip(lines, records):
        if line != label + text:
            print(stem, repr(line), 'is not', repr(label), '+', repr(text))
)";

std::string python() {
    const char* p = std::getenv("VX_PYTHON");
    return p ? p : "/usr/bin/python3";
}

TEST(JsonOutput, EveryInputValidatesAndCarriesEachHeaderLine) {
    if (vxtest::runProgram(python(), {"-c", "import jsonschema"}, ".", "").status != 0)
        GTEST_SKIP() << "validating JSON needs " << python()
                     << " with jsonschema (Debian python3-jsonschema)";
    vxtest::TempDir dir;
    vxtest::resetCatalogue();
    std::vector<std::string> inputs;
    for (int16_t g = 0; g < 6; ++g) {
        inputs.push_back("g" + std::to_string(g) + ".56d");
        dir.write(inputs.back(), vxtest::groupDisplayFile(g));
        vxtest::resetCatalogue();
    }
    for (int g : {0, 2, 3}) {
        inputs.push_back("s" + std::to_string(g) + ".dat");
        dir.write(inputs.back(), vxtest::sdfFile(vxtest::sdfSampleOf(g)));
    }
    dir.write("w.56w", vxtest::waterfallFixture(true, true, 0, 4).file());
    vxtest::CapArbFixture capture;
    capture.inputRange[0] = 10;
    capture.timeStamp = vxtest::timeStampBytes(5, 4, 3, 2, 1, 12, 99);
    for (int i = 0; i < 3000; ++i)
        capture.samples.push_back((i % 97 - 48) * 11000000);
    dir.write("c.56c", vxtest::capArbFile(capture.padToLength()));
    capture.kind = vx::eKindArb;
    dir.write("a.56c", vxtest::capArbFile(capture));
    inputs.insert(inputs.end(), {"w.56w", "c.56c", "a.56c"});
    for (const char* real : {"testdata/sdf/HP35665A.DAT", "testdata/sdf/HP35670A.DAT"}) {
        if (auto bytes = vxtest::sharedFile(real)) {
            inputs.push_back(std::string("real") + std::to_string(inputs.size()) + ".dat");
            dir.write(inputs.back(), *bytes);
        } else {
            std::cout << vxtest::missingSharedFile(real) << "\n";
        }
    }

    std::vector<std::string> args{"-c", kCheckScript,
                                  VX_EXAMPLES_DIR "/../doc/vxconv-json.schema.json"};
    // A real file that the ASCII output refuses must be refused by JSON too.
    for (const std::string& input : inputs) {
        const std::string stem = input.substr(0, input.find('.'));
        vxtest::RunResult asc = vxtest::runProgram(
            VX_CONV_PATH, {input, stem + ".asc", "/H2", "/Oasc"}, dir.path(), "");
        vxtest::RunResult json =
            vxtest::runProgram(VX_CONV_PATH, {input, stem + ".json", "/Ojson"}, dir.path(), "");
        EXPECT_EQ(json.status, asc.status) << input << "\n" << json.out;
        if (asc.status == 0)
            args.push_back(stem);
        else
            EXPECT_EQ(stem.rfind("real", 0), 0u) << input << "\n" << asc.out;
    }
    vxtest::RunResult check = vxtest::runProgram(python(), args, dir.path(), "");
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(check.out, "");
}

TEST(JsonEmitter, EscapesStringsWritesLatin1AsUtf8AndNonFiniteAsNull) {
    CJson j;
    j.beginObject().key("a\"\\\r\n\t\x01").string("\xb5s");
    j.key("n").beginArray().number(0.1f).number(1e-7).number(std::nan(""));
    j.number(-std::numeric_limits<float>::infinity()).integer(-3).boolean(false).null();
    j.stringOrNull("").endArray().key("e").beginObject().endObject().endObject();
    EXPECT_EQ(j.text(), "{\"a\\\"\\\\\\r\\n\\t\\u0001\":\"\xc2\xb5s\",\"n\":[0.1,1e-07,null,null,"
                        "-3,false,null,null],\"e\":{}}");
}

TEST(JsonEmitter, FloatsReadBackToTheSameFloat) {
    uint32_t bits = 12345;
    for (int i = 0; i < 20000; ++i) {
        bits = bits * 1664525u + 1013904223u;
        float v;
        std::memcpy(&v, &bits, sizeof v);
        if (!std::isfinite(v)) continue;
        CJson j;
        j.number(v);
        float back = 0;
        std::from_chars(j.text().data(), j.text().data() + j.text().size(), back);
        ASSERT_EQ(back, v) << j.text();
    }
}

TEST(SettingRecords, HeaderTextsAreTypedInSiBaseUnits) {
    struct Case {
        const char* text;
        SettingRecord::EKind kind;
        double number;
        const char* unit;
    };
    const Case cases[] = {
        {"102.4 kHz", SettingRecord::eNumber, 102400, "Hz"},
        {"3.00026 ms", SettingRecord::eNumber, 0.00300026, "s"},
        {"2 micro s", SettingRecord::eNumber, 2e-6, "s"},
        {" 1.5 MHz ", SettingRecord::eNumber, 1.5e6, "Hz"},
        {"50.00%", SettingRecord::eNumber, 50, "%"},
        {"-10 dBVpk", SettingRecord::eNumber, -10, "dBVpk"},
        {"         1", SettingRecord::eNumber, 1, ""},
        {"On", SettingRecord::eSwitch, 1, ""},
        {"Off", SettingRecord::eSwitch, 0, ""},
        {"Exp. / Cont.", SettingRecord::eText, 0, ""},
        {"12 : 00 : 00", SettingRecord::eText, 0, ""},
        {"1/3 Octave", SettingRecord::eText, 0, ""},
        {"nan", SettingRecord::eText, 0, ""},
        {"", SettingRecord::eText, 0, ""},
    };
    for (const Case& c : cases) {
        SettingRecord r = vx::typedSetting("Span: ", c.text);
        EXPECT_EQ(r.kind, c.kind) << c.text;
        EXPECT_EQ(r.unit, c.unit) << c.text;
        EXPECT_EQ(r.text, c.text);
        if (c.kind == SettingRecord::eNumber) {
            EXPECT_EQ(r.number, c.number) << c.text;
        }
        if (c.kind == SettingRecord::eSwitch) {
            EXPECT_EQ(r.on, c.number != 0) << c.text;
        }
    }
}

TEST(SettingRecords, TimeStampsAreIsoDatesOnlyWhenTheDateExists) {
    EXPECT_EQ(vx::isoTime(vx::makeTimeStamp(5, 4, 3, 1, 29, 2, 100)), "2000-02-29T03:04:05");
    EXPECT_EQ(vx::isoTime(vx::makeTimeStamp(59, 59, 23, 1, 31, 12, 255)), "2155-12-31T23:59:59");
    EXPECT_EQ(vx::isoTime(vx::makeTimeStamp(0, 0, 0, 1, 29, 2, 101)), "");
    EXPECT_EQ(vx::isoTime(vx::makeTimeStamp(0, 0, 0, 1, 31, 4, 99)), "");
    EXPECT_EQ(vx::isoTime(vx::makeTimeStamp(0, 0, 24, 1, 1, 1, 99)), "");
    EXPECT_EQ(vx::isoTime(vx::TimeStamp{}), "");
}

TEST(SettingRecords, KeysSpellLabelsOutAndStayUnique) {
    EXPECT_EQ(vx::settingKey("Ch1 A-Wt Fitler: "), "ch1_a_wt_filter");
    EXPECT_EQ(vx::settingKey("# Avgs: "), "num_avgs");
    EXPECT_EQ(vx::settingKey("# of Points: "), "num_points");
    EXPECT_EQ(vx::settingKey("EU's/Volt (Ch 1): "), "eu_per_volt_ch_1");
    EXPECT_EQ(vx::settingKey("Trig'd Source Mode: "), "triggered_source_mode");
    EXPECT_EQ(vx::settingKey("Stop  Freq.: "), "stop_freq");
    EXPECT_EQ(vx::settingKey("Base Freq. = "), "base_freq");
    std::vector<SettingRecord> r = vx::settingRecords(
        {{"Integration Time: ", "1 s"}, {"Span: ", "1 Hz"}, {"Integration Time: ", "2 s"}});
    EXPECT_EQ(r[0].key, "integration_time");
    EXPECT_EQ(r[2].key, "integration_time_2");
}

} // namespace
