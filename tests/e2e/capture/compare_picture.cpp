// Implements: compare_picture.exe <file> <seed> <width> <height> <max-mean-difference>: decodes
// a stored .jpg or .bmp and compares it with pattern <seed>. Exit 0 when it matches, 1 when it
// does not, 2 when the file cannot be read. Prints the size and the mean difference.
#include <cstdio>
#include <cwchar>
#include <string>

#include "capture_patterns.h"
#include "picture_files.h"

int wmain(int argc, wchar_t** argv) {
    using namespace rk::e2e;
    if (argc != 6) {
        std::printf(
            "usage: compare_picture <file> <seed> <width> <height> <max-mean-difference>\n");
        return 2;
    }
    const std::wstring file = argv[1];
    const int seed = _wtoi(argv[2]), w = _wtoi(argv[3]), h = _wtoi(argv[4]);
    const double limit = _wtof(argv[5]);
    const auto bytes = readPictureFile(file);
    const bool bmp = file.size() > 4 && _wcsicmp(file.c_str() + file.size() - 4, L".bmp") == 0;
    const auto picture = bmp ? decodeBmp(bytes) : decodeJpeg(bytes);
    if (!picture) {
        std::printf("cannot decode (%zu bytes)\n", bytes.size());
        return 2;
    }
    std::printf("%dx%d", picture->w, picture->h);
    if (picture->w != w || picture->h != h) {
        std::printf(", expected %dx%d\n", w, h);
        return 1;
    }
    const double d = meanDifference(*picture, pattern(seed, w, h), h);
    std::printf(", mean difference %.3f\n", d);
    return d <= limit ? 0 : 1;
}
