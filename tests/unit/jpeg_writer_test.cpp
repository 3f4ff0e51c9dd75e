#include "capture/jpeg_writer.h"
#include "capture/turbo_jpeg.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>

#include "capture_test_images.h"
#include "fake_capture_files.h"
#include "fake_gdi.h"
#include "platform/error.h"

namespace rk {
namespace {

using testimg::rgb;

constexpr const char* kName = "C:\\Shots\\ScreenShot1.jpg";

struct Box {
    std::string text;
    std::string title;
    BoxIcon icon;
};

struct Writer {
    Writer() { files.addFolder("C:\\Shots"); }
    cDIBSection surfaceOf(const FakeImage& image) { return testimg::surfaceOf(gdi, image); }
    bool write(const cDIBSection& s, std::int32_t quality, const char* name = kName) {
        return WriteJPEGFile(setup, s, name, quality);
    }
    std::optional<FakeImage> read(const char* name = kName) {
        const auto* f = files.file(name);
        return f ? testimg::decodeJpeg(f->bytes) : std::nullopt;
    }

    FakeGdi gdi;
    FakeCaptureFiles files;
    TurboJpegLibrary library;
    std::vector<Box> boxes;
    JpegWriterSetup setup{files, library,
                          [this](std::string_view text, std::string_view title, BoxIcon icon) {
                              boxes.push_back({std::string(text), std::string(title), icon});
                          },
                          "raidkit"};
};

struct FieldRow {
    std::int32_t width, height, padBytes;
};

TEST(JpegWriter, FieldsDescribeTheSurfaceBottomUp) {
    const FieldRow table[] = {{1024, 2, 0}, {1366, 2, 2}, {1, 3, 1},
                              {2, 1, 2},    {3, 1, 3},    {4, 1, 0}};
    for (const auto& row : table) {
        FakeGdi gdi;
        cDIBSection s(gdi);
        ASSERT_TRUE(s.Create(row.width, row.height));
        JpegCoreProperties props;
        SetSurfaceFields(props, s, 250);
        SCOPED_TRACE(row.width);
        EXPECT_EQ(props.DIBWidth, row.width);
        EXPECT_EQ(props.DIBHeight, -row.height);
        EXPECT_EQ(props.JPGWidth, row.width);
        EXPECT_EQ(props.JPGHeight, row.height);
        EXPECT_EQ(props.DIBPadBytes, row.padBytes);
        EXPECT_EQ(props.DIBBytes, s.DIBSectionBitsPtr());
        EXPECT_EQ(props.jquality, 250);  // unchanged, whatever its value
    }
}

struct Tolerance {
    int quality;
    double mean;  // per channel, over the picture
    int largest;
};

TEST(JpegWriter, RoundTripErrorShrinksAsQualityRises) {
    // The file must look like the picture, and more so the higher the quality.
    const Tolerance tolerance[] = {
        {25, 5.0, 32}, {50, 3.2, 20}, {75, 2.2, 14}, {90, 1.6, 12}, {100, 1.0, 8}};
    // Odd widths and 1366 give padded rows; 1x1 is the smallest picture there is; from 64 rows
    // the two threads share the picture.
    for (auto [w, h] : {std::pair{64, 48}, {37, 23}, {1, 1}, {1366, 64}, {45, 201}}) {
        const FakeImage image = testimg::gradient(w, h);
        double previous = 1e9;
        for (const auto& tol : tolerance) {
            Writer t;
            ASSERT_TRUE(t.write(t.surfaceOf(image), tol.quality));
            const auto decoded = t.read();
            ASSERT_TRUE(decoded) << w << "x" << h << " q" << tol.quality;
            const auto d = testimg::difference(*decoded, image);
            EXPECT_LE(d.mean, tol.mean) << w << "x" << h << " q" << tol.quality;
            EXPECT_LE(d.largest, tol.largest) << w << "x" << h << " q" << tol.quality;
            EXPECT_LE(d.mean, previous + 0.1) << w << "x" << h << " q" << tol.quality;
            previous = d.mean;
        }
    }
}

TEST(JpegWriter, FileIsRightSideUpFromBottomUpRows) {
    Writer t;
    // Tall enough for the two threads to share it, the bands meeting where the halves do.
    const cDIBSection s = t.surfaceOf(testimg::bands(32, 96, rgb(250, 20, 20), rgb(20, 20, 250)));
    // In memory the bottom (blue) row comes first.
    EXPECT_GT(s.DIBSectionBitsPtr()[0], 200);
    ASSERT_TRUE(t.write(s, 90));
    const auto decoded = t.read();
    ASSERT_TRUE(decoded);
    EXPECT_GT(decoded->at(16, 2) >> 16 & 0xFF, 200u);  // red at the top
    EXPECT_LT(decoded->at(16, 2) & 0xFF, 60u);
    EXPECT_GT(decoded->at(16, 93) & 0xFF, 200u);  // blue at the bottom
    EXPECT_TRUE(t.boxes.empty());
}

TEST(JpegWriter, QualitiesOutsideOneToHundredStillWriteAFile) {
    for (int quality : {0, -5, 101, 1000, INT32_MIN, INT32_MAX}) {
        Writer t;
        EXPECT_TRUE(t.write(t.surfaceOf(testimg::gradient(16, 16)), quality)) << quality;
        EXPECT_TRUE(t.read()) << quality;
        EXPECT_TRUE(t.boxes.empty()) << quality;
    }
}

TEST(JpegWriter, RefusedWriteTellsThePlayerAndWritesNothing) {
    Writer t;
    t.files.addFolder("C:\\Locked", false);
    const cDIBSection s = t.surfaceOf(testimg::gradient(8, 8));
    EXPECT_FALSE(t.write(s, 75, "C:\\Missing\\ScreenShot1.jpg"));
    EXPECT_FALSE(t.write(s, 75, "C:\\Locked\\ScreenShot1.jpg"));
    ASSERT_EQ(t.boxes.size(), 2u);
    for (const auto& box : t.boxes) {
        EXPECT_EQ(box.text,
                  "Could not save JPG, make sure your setting 'for saving folder' is correct");
        EXPECT_EQ(box.title, "Error");
        EXPECT_EQ(box.icon, BoxIcon::Information);
    }
    EXPECT_TRUE(t.files.filesIn("C:\\Locked").empty());
}

TEST(JpegWriter, FailedWriteLeavesTheOldFileAsItWas) {
    Writer t;
    const FileTimes past{100, 200, 300};
    t.files.addFile(kName, {'o', 'l', 'd'}, fileattr::kHidden | fileattr::kArchive, past);
    t.files.spaceLeft = 10;  // the disk is full
    EXPECT_FALSE(t.write(t.surfaceOf(testimg::gradient(8, 8)), 75));
    EXPECT_EQ(t.boxes.size(), 1u);
    const auto* f = t.files.file(kName);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->bytes, (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(f->times, past);
    EXPECT_EQ(t.files.filesIn("C:\\Shots"), std::vector<std::string>{"ScreenShot1.jpg"});
}

TEST(JpegWriter, ReplacedHiddenFileLendsItsTimesAndAttributes) {
    Writer t;
    const FileTimes past{116'444'736'000'000'000ull, 126'000'000'000'000'000ull,
                         125'000'000'000'000'000ull};
    const std::uint32_t attributes = fileattr::kHidden | fileattr::kArchive;
    t.files.addFile(kName, {'o', 'l', 'd'}, attributes, past);
    const FakeImage image = testimg::gradient(32, 32);
    EXPECT_TRUE(t.write(t.surfaceOf(image), 90));
    const auto* f = t.files.file(kName);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->times, past);
    EXPECT_EQ(f->attributes, attributes);
    const auto decoded = t.read();
    ASSERT_TRUE(decoded);
    EXPECT_LE(testimg::difference(*decoded, image).mean, 1.6);
    EXPECT_EQ(t.files.filesIn("C:\\Shots"), std::vector<std::string>{"ScreenShot1.jpg"});
}

TEST(JpegWriter, FileThePlayerCanSeeIsNeverReplaced) {
    Writer t;
    t.files.addFile(kName, {'m', 'i', 'n', 'e'});
    EXPECT_FALSE(t.write(t.surfaceOf(testimg::gradient(4, 4)), 75));
    EXPECT_EQ(t.files.file(kName)->bytes, (std::vector<std::uint8_t>{'m', 'i', 'n', 'e'}));
    EXPECT_EQ(t.files.filesIn("C:\\Shots"), std::vector<std::string>{"ScreenShot1.jpg"});
}

TEST(JpegWriter, OldFileThatMayNotGoRaisesAndStays) {
    Writer t;
    t.files.addFile(kName, {'o', 'l', 'd'}, fileattr::kHidden | fileattr::kReadOnly);
    try {
        t.write(t.surfaceOf(testimg::gradient(4, 4)), 75);
        FAIL() << "no error raised";
    } catch (const RaidError& e) {
        EXPECT_EQ(e.number(), 75);
    }
    EXPECT_EQ(t.files.file(kName)->bytes, (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(t.files.filesIn("C:\\Shots"), std::vector<std::string>{"ScreenShot1.jpg"});
}

// An encoder that cannot be set up, as when it runs out of memory.
class NoEncoder : public JpegLibrary {
  public:
    int init(JpegCoreProperties&) override { return -7; }
    int write(JpegCoreProperties&) override { return -1; }
    void free(JpegCoreProperties&) override { ++freed; }
    int freed = 0;
};

TEST(JpegWriter, EncoderThatCannotBeSetUpRaises26001) {
    Writer t;
    NoEncoder none;
    JpegWriterSetup setup{t.files, none, t.setup.show, "raidkit"};
    const cDIBSection s = t.surfaceOf(testimg::gradient(4, 4));
    try {
        WriteJPEGFile(setup, s, kName, 75);
        FAIL() << "no error raised";
    } catch (const RaidError& e) {
        EXPECT_EQ(e.number(), 26001);
        EXPECT_EQ(e.source(), "raidkit.mIntelJPEGLibrary");
        EXPECT_EQ(e.description(), "Failed to initialise the IJL library: -7");
    }
    EXPECT_EQ(none.freed, 0);
    EXPECT_TRUE(t.boxes.empty());
    EXPECT_TRUE(t.files.filesIn("C:\\Shots").empty());
}

// The real encoder, counting what is held between init and free.
class CountingTurbo : public testimg::WatchedTurbo {
  public:
    int init(JpegCoreProperties& p) override {
        const int r = WatchedTurbo::init(p);
        held += r == 0;
        return r;
    }
    void free(JpegCoreProperties& p) override {
        held -= p.state != nullptr;
        WatchedTurbo::free(p);
    }
    int held = 0;
};

TEST(JpegWriter, EncoderIsReleasedOnEveryWayOut) {
    Writer t;
    CountingTurbo counting;
    JpegWriterSetup setup{t.files, counting, t.setup.show, "raidkit"};
    const cDIBSection s = t.surfaceOf(testimg::gradient(4, 4));
    EXPECT_TRUE(WriteJPEGFile(setup, s, kName, 75));
    EXPECT_FALSE(WriteJPEGFile(setup, s, "C:\\Missing\\x.jpg", 75));
    cDIBSection empty(t.gdi);
    EXPECT_FALSE(WriteJPEGFile(setup, empty, "C:\\Shots\\empty.jpg", 75));
    t.files.addFile("C:\\Shots\\ro.jpg", {}, fileattr::kHidden | fileattr::kReadOnly);
    EXPECT_THROW(WriteJPEGFile(setup, s, "C:\\Shots\\ro.jpg", 75), RaidError);
    EXPECT_EQ(counting.held, 0);
}

// Stands in for the encoder. The top band (the whole picture when it is not shared) waits for
// its first rows, then for all, and gives the start of a file; the bottom band gives its end.
class ScriptedEncoder : public JpegLibrary {
  public:
    int init(JpegCoreProperties& p) override {
        p.DIBChannels = p.JPGChannels = 3;
        p.DIBColor = JpegColor::BGR;
        p.JPGColor = JpegColor::YCbCr;
        return 0;
    }
    int write(JpegCoreProperties& p) override {
        if (p.DIBFirstRow > 0) {
            const std::uint8_t end[] = {0xFF, 0xD9};
            p.JPGSink(end);
            return result;
        }
        if (p.DIBRowsReady && !p.DIBRowsReady->waitFor(16))
            return -4;
        topRows.set_value();
        const std::int32_t rows = p.DIBRowCount ? p.DIBRowCount : p.JPGHeight;
        if (p.DIBRowsReady && !p.DIBRowsReady->waitFor(rows)) {
            stopped = true;
            return -4;
        }
        const std::uint8_t start[] = {0xFF, 0xD8};
        p.JPGSink(start);
        return result;
    }
    void free(JpegCoreProperties&) override {}

    std::promise<void> topRows;
    std::atomic<bool> stopped{false};
    int result = 0;
};

struct Shot : Writer {
    Shot() : surface(surfaceOf(testimg::gradient(8, 64))) {}
    bool encoderReachedTheTopRows() {
        return reached.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    }
    ScriptedEncoder encoder;
    std::future<void> reached = encoder.topRows.get_future();
    JpegWriterSetup scripted{files, encoder, setup.show, "raidkit"};
    cDIBSection surface;
};

TEST(JpegShot, EncodeBeginsOnTheTopRowsWhileTheRestAreRead) {
    Shot t;
    JpegShot shot(t.scripted, 75);
    shot.rowsReady(t.surface, 16);
    ASSERT_TRUE(t.encoderReachedTheTopRows());
    shot.rowsReady(t.surface, 64);
    ASSERT_TRUE(shot.store(t.surface, kName));
    EXPECT_EQ(t.files.file(kName)->bytes, (std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF, 0xD9}));
    EXPECT_EQ(t.files.filesIn("C:\\Shots"), std::vector<std::string>{"ScreenShot1.jpg"});
}

TEST(JpegShot, WithdrawnRowsStopTheEncoderBeforeTheyGo) {
    Shot t;
    JpegShot shot(t.scripted, 75);
    shot.rowsReady(t.surface, 16);
    ASSERT_TRUE(t.encoderReachedTheTopRows());
    shot.rowsReady(t.surface, kRowsWithdrawn);
    EXPECT_TRUE(t.encoder.stopped);
    EXPECT_TRUE(t.files.filesIn("C:\\Shots").empty());
    EXPECT_TRUE(t.boxes.empty());
}

TEST(JpegShot, EncodeThatFailsTellsThePlayerAndLeavesNoFile) {
    Shot t;
    t.encoder.result = -3;
    EXPECT_FALSE(WriteJPEGFile(t.scripted, t.surface, kName, 75));
    EXPECT_EQ(t.boxes.size(), 1u);
    EXPECT_TRUE(t.files.filesIn("C:\\Shots").empty());
}

}  // namespace
}  // namespace rk
