// Value lines: line breaks after /P points, buffered output to the stream,
// field width of the data format and heading fitting.
#include "ascii/ValueLines.h"

#include <gtest/gtest.h>

#include "support/MemStream.h"

namespace {

TEST(ValueLines, PointsPerLineSeparatorAndFlush) {
    vxtest::MemStream out;
    {
        vx::CValueLines lines(out, "%g", 3, ";");
        for (int i = 0; i < 7; ++i) {
            lines.startPoint();
            lines.value(i * 0.5);
            if (lines.roomOnLine()) lines.separator();
        }
        lines.endLine();
        EXPECT_EQ(out.bytes(), ""); // nothing written until flushed
        EXPECT_EQ(lines.flush(), 0);
    }
    EXPECT_EQ(out.bytes(), "0;0.5;1\r\n1.5;2;2.5\r\n3;\r\n");
}

TEST(ValueLines, LargeOutputIsWrittenInPiecesAndFailuresAreKept) {
    vxtest::MemStream out;
    out.failWriteAt(2);
    vx::CValueLines lines(out, "%14.6e", 1, " ");
    for (int i = 0; i < 5000; ++i) {
        lines.startPoint();
        lines.value(i);
    }
    EXPECT_GT(out.bytes().size(), 0u);
    EXPECT_LT(out.bytes().size(), 5000u * 16);
    EXPECT_EQ(lines.flush(), 1);
}

TEST(ValueLines, FieldWidthAndHeadings) {
    EXPECT_EQ(vx::fieldWidth("%14.6e"), 14);
    EXPECT_EQ(vx::fieldWidth("%e"), 13);
    EXPECT_EQ(vx::fieldWidth("%.0f%%"), 3);
    EXPECT_EQ(vx::fitHeading("Mag[", "V", 14), "    Mag[V]    ");
    EXPECT_EQ(vx::fitHeading("[", "V", 4), "[V] ");
    EXPECT_EQ(vx::fitHeading("Mag[", "V^2/Hz", 9), "[V^2/Hz] ");
    EXPECT_EQ(vx::fitHeading("Mag[", "V^2/Hz rms", 9), "V^2/Hz...");
    EXPECT_EQ(vx::fitHeading("Mag[", "V^2/Hz", 4), "....");
}

} // namespace
