/* The plain-C limit of each benchmark workload: the same reads and the same
 * printf formatting as the converter, with nothing else.
 *   baseline cap2asc IN OUT OFFSET   float samples from OFFSET to "%14.6e\r\n" lines
 *   baseline list2cap IN OUT         number lines to little-endian float samples
 *   baseline disp2asc POINTS FILE... the last POINTS complex points of each file to
 *                                    "x  dB" lines in FILE with its extension .asc
 *   baseline wat2asc IN OUT SLICES STORED PRINTED  SLICES blocks of STORED complex
 *                                    points at the end of IN, PRINTED of each to
 *                                    "x  dB" lines
 */
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { kBuffer = 1 << 16 };

static FILE* openFile(const char* name, const char* mode) {
    FILE* f = fopen(name, mode);
    if (!f) {
        perror(name);
        exit(1);
    }
    setvbuf(f, NULL, _IOFBF, kBuffer);
    return f;
}

static int cap2asc(const char* in, const char* out, long offset) {
    FILE* src = openFile(in, "rb");
    FILE* dst = openFile(out, "wb");
    static float block[kBuffer / 4];
    size_t n;
    fseek(src, offset, SEEK_SET);
    fprintf(dst, "     [V]      \r\n");
    while ((n = fread(block, sizeof block[0], kBuffer / 4, src)) > 0)
        for (size_t i = 0; i < n; ++i) fprintf(dst, "%14.6e\r\n", block[i]);
    fclose(src);
    return fclose(dst) != 0;
}

static int list2cap(const char* in, const char* out) {
    FILE* src = openFile(in, "rb");
    FILE* dst = openFile(out, "wb");
    static float block[kBuffer / 4];
    char line[128];
    size_t n = 0;
    while (fgets(line, sizeof line, src)) {
        block[n++] = (float)strtod(line, NULL);
        if (n == kBuffer / 4) {
            fwrite(block, sizeof block[0], n, dst);
            n = 0;
        }
    }
    fwrite(block, sizeof block[0], n, dst);
    fclose(src);
    return fclose(dst) != 0;
}

static void writeSpectrum(FILE* dst, const float* points, long count) {
    for (long i = 0; i < count; ++i) {
        double re = points[2 * i], im = points[2 * i + 1];
        fprintf(dst, "%14.6e %14.6e \r\n", i * 256.0, 10.0 * log10(re * re + im * im));
    }
}

static int disp2asc(long count, int files, char** names) {
    float* points = malloc(sizeof(float) * 2 * (size_t)count);
    for (int f = 0; f < files; ++f) {
        FILE* src = openFile(names[f], "rb");
        fseek(src, -(long)(sizeof(float) * 2 * (size_t)count), SEEK_END);
        if (fread(points, sizeof(float) * 2, (size_t)count, src) != (size_t)count) return 1;
        fclose(src);
        char out[4096];
        snprintf(out, sizeof out, "%.*s.asc", (int)(strlen(names[f]) - 4), names[f]);
        FILE* dst = openFile(out, "wb");
        fprintf(dst, "Input File: %s\r\nMeasure Group: FFT\r\n\r\n    X[Hz]        Mag[dBVpk]   \r\n",
                names[f]);
        writeSpectrum(dst, points, count);
        if (fclose(dst) != 0) return 1;
    }
    free(points);
    return 0;
}

static int wat2asc(const char* in, const char* out, long slices, long stored, long printed) {
    FILE* src = openFile(in, "rb");
    FILE* dst = openFile(out, "wb");
    float* points = malloc(sizeof(float) * 2 * (size_t)stored);
    fseek(src, -(long)(sizeof(float) * 2 * (size_t)stored) * slices, SEEK_END);
    for (long s = 0; s < slices; ++s) {
        if (fread(points, sizeof(float) * 2, (size_t)stored, src) != (size_t)stored) return 1;
        fprintf(dst, "Trace # %ld\r\n", s + 1);
        writeSpectrum(dst, points, printed);
    }
    free(points);
    fclose(src);
    return fclose(dst) != 0;
}

int main(int argc, char** argv) {
    if (argc >= 5 && strcmp(argv[1], "cap2asc") == 0) return cap2asc(argv[2], argv[3], atol(argv[4]));
    if (argc >= 4 && strcmp(argv[1], "list2cap") == 0) return list2cap(argv[2], argv[3]);
    if (argc >= 4 && strcmp(argv[1], "disp2asc") == 0) return disp2asc(atol(argv[2]), argc - 3, argv + 3);
    if (argc >= 7 && strcmp(argv[1], "wat2asc") == 0)
        return wat2asc(argv[2], argv[3], atol(argv[4]), atol(argv[5]), atol(argv[6]));
    fprintf(stderr, "usage: see the comment at the top of baseline.c\n");
    return 2;
}
