// The built-in measurement descriptor table.
#include "trace/MeasDesc.h"

#include <algorithm>

namespace vx {

namespace {

struct Row {
    int first, last; // index range the row describes
    uint8_t mask, b1, b2;
    int8_t axis;
    uint8_t win, avg;
    int8_t unit[4]; // up to two (code, exponent) pairs
};

const Row kRows[] = {
    {0, 0, 1, 0, 0, 1, 1, 8, {2, 1}},        {1, 1, 2, 0, 0, 1, 1, 8, {4, 1}},
    {2, 2, 1, 1, 0, 1, 1, 8, {2, 2}},        {3, 3, 2, 1, 0, 1, 1, 8, {4, 2}},
    {4, 4, 1, 0, 0, -1, 0, 0, {1, 1}},       {5, 5, 2, 0, 0, -1, 0, 0, {3, 1}},
    {6, 6, 1, 0, 0, -1, 1, 0, {1, 1}},       {7, 7, 2, 0, 0, -1, 1, 0, {3, 1}},
    {8, 8, 3, 0, 0, -1, 0, 0, {3, 1}},       {9, 9, 3, 1, 1, 1, 1, 64, {1, 2, 1, -2}},
    {10, 10, 3, 1, 0, 1, 1, 8, {2, 1, 4, 1}}, {11, 11, 3, 0, 1, 1, 1, 8, {4, 1, 2, -1}},
    {12, 12, 1, 0, 0, 4, 0, 0, {1, 1}},      {13, 13, 2, 0, 0, 4, 0, 0, {3, 1}},
    {14, 18, 0, 0, 1, 0, 0, 0, {}},          {19, 19, 1, 1, 0, 3, 1, 8, {1, 2}},
    {20, 20, 2, 1, 0, 3, 1, 8, {3, 2}},      {21, 21, 3, 1, 0, 3, 1, 8, {1, 1, 3, 1}},
    {22, 22, 1, 0, 0, -1, 0, 0, {1, 1}},     {23, 23, 2, 0, 0, -1, 0, 0, {3, 1}},
    {24, 24, 1, 0, 0, -1, 1, 0, {1, 1}},     {25, 25, 2, 0, 0, -1, 1, 0, {3, 1}},
    {26, 26, 1, 0, 0, 4, 0, 0, {1, 1}},      {27, 27, 2, 0, 0, 4, 0, 0, {3, 1}},
    {28, 32, 0, 0, 1, 0, 0, 0, {}},          {33, 33, 1, 1, 0, 9, 0, 32, {1, 2}},
    {34, 34, 2, 1, 0, 9, 0, 32, {3, 2}},     {35, 35, 1, 0, 0, 4, 0, 0, {1, 1}},
    {36, 36, 2, 0, 0, 4, 0, 0, {3, 1}},      {37, 41, 0, 1, 1, 0, 0, 32, {}},
    {42, 42, 1, 0, 0, 5, 0, 0, {2, 1}},      {43, 43, 2, 0, 0, 5, 0, 0, {4, 1}},
    {44, 44, 1, 1, 1, 5, 0, 0, {1, 2, 1, -2}}, {45, 45, 2, 1, 1, 5, 0, 0, {3, 2, 3, -2}},
    {46, 46, 3, 1, 0, 5, 0, 0, {2, 1, 4, 1}}, {47, 47, 3, 0, 1, 5, 0, 0, {4, 1, 2, -1}},
    {48, 52, 0, 0, 1, 0, 0, 0, {}},          {53, 53, 1, 0, 0, 2, 1, 8, {2, 1}},
    {54, 54, 2, 0, 0, 2, 1, 8, {4, 1}},      {55, 55, 1, 1, 0, 2, 1, 8, {2, 2}},
    {56, 56, 2, 1, 0, 2, 1, 8, {4, 2}},      {57, 57, 1, 0, 0, -2, 0, 8, {1, 1}},
    {58, 58, 2, 0, 0, -2, 0, 8, {3, 1}},     {59, 59, 1, 0, 0, -2, 1, 8, {1, 1}},
    {60, 60, 2, 0, 0, -2, 1, 8, {3, 1}},     {61, 61, 0, 0, 0, 7, 0, 0, {5, 1}},
    {62, 62, 3, 0, 0, -2, 0, 8, {3, 1}},     {63, 63, 1, 0, 0, 8, 1, 8, {1, 1}},
    {64, 64, 1, 0, 0, 8, 1, 8, {3, 1}},      {65, 65, 1, 0, 0, 4, 0, 0, {1, 1}},
    {66, 66, 2, 0, 0, 4, 0, 0, {3, 1}},      {67, 71, 0, 0, 1, 0, 0, 0, {}},
    {72, 72, 1, 0, 1, 6, 0, 0, {6, 1}},      {73, 73, 2, 0, 1, 6, 0, 0, {6, 1}},
    {74, 74, 1, 0, 1, 6, 0, 0, {1, -1}},     {75, 75, 2, 0, 1, 6, 0, 0, {3, -1}},
    {76, 76, 1, 0, 1, 6, 0, 0, {}},          {77, 77, 2, 0, 1, 6, 0, 0, {}},
    {78, 78, 1, 0, 0, -1, 0, 0, {1, 1}},     {79, 79, 2, 0, 0, -1, 0, 0, {3, 1}},
    {80, 80, 1, 0, 0, 4, 0, 0, {1, 1}},      {81, 81, 2, 0, 0, 4, 0, 0, {1, 1}},
    {82, 86, 0, 0, 1, 0, 0, 0, {}},
};

const int kUserFunctionEnds[] = {18, 32, 41, 52, 71, 86};

MeasDesc built(int measurement) {
    MeasDesc d;
    for (const Row& r : kRows) {
        if (measurement < r.first || measurement > r.last) continue;
        d.bytes[0] = r.mask;
        d.bytes[1] = r.b1;
        d.bytes[2] = r.b2;
        d.bytes[3] = static_cast<uint8_t>(r.axis);
        d.bytes[5] = r.win;
        d.bytes[6] = r.avg;
        for (int i = 0; i < 4; ++i) d.bytes[7 + i] = static_cast<uint8_t>(r.unit[i]);
    }
    return d;
}

MeasDesc (&table())[kMeasurementCount] {
    thread_local MeasDesc descriptors[kMeasurementCount];
    thread_local bool filled = false;
    if (!filled) {
        filled = true;
        for (int m = 0; m < kMeasurementCount; ++m) descriptors[m] = built(m);
    }
    return descriptors;
}

} // namespace

MeasDesc& measDescriptor(int measurement) {
    return table()[std::clamp(measurement, 0, kMeasurementCount - 1)];
}

void resetMeasDescriptors() {
    for (int m = 0; m < kMeasurementCount; ++m) table()[m] = built(m);
}

bool isUserFunction(int measurement) {
    for (int end : kUserFunctionEnds)
        if (end >= measurement) return end - measurement < 5;
    return false;
}

int groupOfMeasurement(int measurement) {
    for (int g = 0; g < 6; ++g)
        if (measurement <= kUserFunctionEnds[g]) return g;
    return 5;
}

} // namespace vx
