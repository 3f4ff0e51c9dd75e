#include "capture/bmp_file.h"

#include <gtest/gtest.h>

#include "capture_test_images.h"
#include "fake_capture_files.h"
#include "fake_gdi.h"
#include "platform/error.h"
#include "raised.h"

namespace rk {
namespace {

using testimg::rgb;

std::uint32_t u32(const std::array<std::uint8_t, kBmpHeadersSize>& h, std::size_t at) {
    return h[at] | h[at + 1] << 8 | h[at + 2] << 16 | std::uint32_t(h[at + 3]) << 24;
}

struct HeaderRow {
    std::int32_t width, height;
    std::uint32_t fileSize, imageSize;
};

TEST(BmpFile, HeadersDescribeTheFile) {
    const HeaderRow table[] = {
        {1, 1, 58, 4},
        {2, 2, 70, 16},
        {3, 1, 66, 12},
        {4, 2, 78, 24},
        {1366, 768, 54 + 4100 * 768, 4100 * 768},
    };
    for (const auto& row : table) {
        const auto h = BmpFileHeaders(Dib24Header(row.width, row.height));
        SCOPED_TRACE(testing::Message() << row.width << "x" << row.height);
        EXPECT_EQ(h[0], 'B');
        EXPECT_EQ(h[1], 'M');
        EXPECT_EQ(u32(h, 2), row.fileSize);
        EXPECT_EQ(u32(h, 6), 0u);    // reserved
        EXPECT_EQ(u32(h, 10), 54u);  // pixels follow the headers
        EXPECT_EQ(u32(h, 14), 40u);
        EXPECT_EQ(u32(h, 18), std::uint32_t(row.width));
        EXPECT_EQ(u32(h, 22), std::uint32_t(row.height));  // positive: bottom-up
        EXPECT_EQ(h[26] | h[27] << 8, 1);
        EXPECT_EQ(h[28] | h[29] << 8, 24);
        EXPECT_EQ(u32(h, 30), 0u);  // BI_RGB
        EXPECT_EQ(u32(h, 34), row.imageSize);
        for (std::size_t at = 38; at < 54; at += 4) EXPECT_EQ(u32(h, at), 0u);
    }
}

struct Shot {
    Shot() { files.addFolder("C:\\Shots"); }
    cDIBSection surfaceOf(const FakeImage& image) { return testimg::surfaceOf(gdi, image); }
    FakeGdi gdi;
    FakeCaptureFiles files;
};

TEST(BmpFile, RowsReadBackRightSideUp) {
    for (auto [w, h] : {std::pair{3, 2}, {4, 4}, {5, 3}, {17, 9}}) {
        Shot t;
        const FakeImage image = testimg::gradient(w, h);
        WriteBmpFile(t.files, t.surfaceOf(image), "C:\\Shots\\ScreenShot1.bmp");
        const auto* f = t.files.file("C:\\Shots\\ScreenShot1.bmp");
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(testimg::decodeBmp(f->bytes), image) << w << "x" << h;
    }
}

TEST(BmpFile, FailuresRaiseAndLeaveNothing) {
    Shot t;
    t.files.addFolder("C:\\Locked", false);
    const cDIBSection s = t.surfaceOf(testimg::gradient(8, 8));
    EXPECT_EQ(errorOf([&] { WriteBmpFile(t.files, s, "C:\\Missing\\ScreenShot1.bmp"); }),
              err::kPathNotFound);
    EXPECT_EQ(errorOf([&] { WriteBmpFile(t.files, s, "C:\\Locked\\ScreenShot1.bmp"); }), 75);
    EXPECT_TRUE(t.files.filesIn("C:\\Locked").empty());

    t.files.spaceLeft = 100;
    EXPECT_EQ(errorOf([&] { WriteBmpFile(t.files, s, "C:\\Shots\\ScreenShot1.bmp"); }), 61);
    EXPECT_TRUE(t.files.filesIn("C:\\Shots").empty());
}

TEST(BmpFile, NeverReplacesAFileThePlayerCanSee) {
    Shot t;
    t.files.addFile("C:\\Shots\\ScreenShot1.bmp", {'m', 'i', 'n', 'e'});
    const cDIBSection s = t.surfaceOf(testimg::gradient(2, 2));
    EXPECT_NE(errorOf([&] { WriteBmpFile(t.files, s, "C:\\Shots\\ScreenShot1.bmp"); }), 0);
    EXPECT_EQ(t.files.file("C:\\Shots\\ScreenShot1.bmp")->bytes,
              (std::vector<std::uint8_t>{'m', 'i', 'n', 'e'}));
    EXPECT_EQ(t.files.filesIn("C:\\Shots"), std::vector<std::string>{"ScreenShot1.bmp"});
}

TEST(BmpFile, ReplacesAHiddenFile) {
    Shot t;
    t.files.addFile("C:\\Shots\\ScreenShot1.bmp", {'o', 'l', 'd'}, fileattr::kHidden);
    const FakeImage image = testimg::gradient(2, 2);
    WriteBmpFile(t.files, t.surfaceOf(image), "C:\\Shots\\ScreenShot1.bmp");
    EXPECT_EQ(testimg::decodeBmp(t.files.file("C:\\Shots\\ScreenShot1.bmp")->bytes), image);
    EXPECT_EQ(t.files.filesIn("C:\\Shots"), std::vector<std::string>{"ScreenShot1.bmp"});
}

TEST(BmpFile, ATempNameInUseIsPassedOver) {
    Shot t;
    t.files.addFile("C:\\Shots\\ScreenShot1.bmp.rktmp", {'x'});
    WriteBmpFile(t.files, t.surfaceOf(testimg::gradient(2, 2)), "C:\\Shots\\ScreenShot1.bmp");
    EXPECT_NE(t.files.file("C:\\Shots\\ScreenShot1.bmp"), nullptr);
    EXPECT_EQ(t.files.file("C:\\Shots\\ScreenShot1.bmp.rktmp")->bytes,
              std::vector<std::uint8_t>{'x'});
}

}  // namespace
}  // namespace rk
