#include "capture/save_it.h"
#include "capture/turbo_jpeg.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>

#include "capture_test_images.h"
#include "fake_capture_files.h"
#include "fake_clipboard.h"
#include "fake_gdi.h"
#include "platform/error.h"
#include "raised.h"

namespace rk {
namespace {

using namespace std::chrono_literals;
using testimg::rgb;

constexpr auto kTick = 15ms;

// ---- The wait for Windows' image, tick by tick.

struct Wait {
    ShotClock::time_point t{};
    ClipboardWait wait{100ms};
    std::optional<ShotSource> poll(std::uint32_t seq, bool bitmap = true) {
        return wait.poll(t, seq, bitmap);
    }
    void advance(std::chrono::milliseconds d = kTick) { t += d; }
};

TEST(ClipboardWait, ImageThatArrivedJustBeforeThePressIsTaken) {
    Wait w;
    EXPECT_FALSE(w.poll(5));
    w.advance();
    // Windows put the image there between the previous tick and this one.
    w.wait.press(w.t, 6);
    EXPECT_EQ(w.poll(6), ShotSource::Clipboard);
    EXPECT_FALSE(w.wait.waiting());
}

TEST(ClipboardWait, ImageThatArrivesAfterThePressIsWaitedFor) {
    Wait w;
    w.poll(5);
    w.advance();
    w.wait.press(w.t, 5);
    EXPECT_FALSE(w.poll(5));  // the old picture on the clipboard is not this press's
    w.advance();
    EXPECT_FALSE(w.poll(5));
    w.advance();
    EXPECT_EQ(w.poll(6), ShotSource::Clipboard);
}

TEST(ClipboardWait, ScreenIsTakenWhenNothingComes) {
    Wait w;
    w.poll(5);
    w.wait.press(w.t, 5);
    for (int i = 0; i < 6; ++i) {
        w.advance();
        EXPECT_FALSE(w.poll(5)) << i;
    }
    w.advance(10ms);  // 100 ms after the press
    EXPECT_EQ(w.poll(5), ShotSource::Screen);
    EXPECT_FALSE(w.poll(5));
}

TEST(ClipboardWait, ChangeWithoutABitmapIsNotThePicture) {
    Wait w;
    w.poll(5);
    w.wait.press(w.t, 5);
    w.advance();
    EXPECT_FALSE(w.poll(6, false));  // text copied, or the Snipping Tool emptied it
    w.advance(100ms);
    EXPECT_EQ(w.poll(6, false), ShotSource::Screen);
}

TEST(ClipboardWait, TwoQuickPressesTakeTwoImages) {
    Wait w;
    w.poll(5);
    w.wait.press(w.t, 5);
    w.advance();
    w.poll(5);
    w.wait.press(w.t, 5);
    w.advance();
    EXPECT_EQ(w.poll(6), ShotSource::Clipboard);
    EXPECT_FALSE(w.poll(6));  // that image served the first press
    w.advance();
    EXPECT_EQ(w.poll(7), ShotSource::Clipboard);
}

TEST(ClipboardWait, OneImageIsNeverStoredForTwoPresses) {
    Wait w;
    w.poll(5);
    w.wait.press(w.t, 5);
    w.wait.press(w.t, 5);
    w.advance();
    EXPECT_EQ(w.poll(6), ShotSource::Clipboard);
    EXPECT_FALSE(w.poll(6));
    w.advance(100ms);
    EXPECT_EQ(w.poll(6), ShotSource::Screen);
}

TEST(ClipboardWait, FirstPressWithoutAnEarlierPollUsesThePressNumber) {
    Wait w;
    w.wait.press(w.t, 9);
    EXPECT_FALSE(w.poll(9));
    w.advance();
    EXPECT_EQ(w.poll(10), ShotSource::Clipboard);
}

TEST(ClipboardWait, OverdueShotsComeOneAfterAnother) {
    Wait w;
    w.poll(5);
    w.wait.press(w.t, 5);
    w.advance(50ms);
    w.wait.press(w.t, 5);
    w.advance(500ms);  // a box kept the poll away
    EXPECT_EQ(w.poll(5), ShotSource::Screen);
    EXPECT_EQ(w.poll(5), ShotSource::Screen);
    EXPECT_FALSE(w.poll(5));
}

// ---- The whole road, over the fakes.

struct Box {
    std::string text;
    std::string title;
};

// The real encoder, noting the thread each file is encoded on.
class ThreadNoting : public testimg::WatchedTurbo {
  public:
    int write(JpegCoreProperties& p) override {
        if (p.DIBFirstRow == 0) {  // the top band, or the whole picture
            std::lock_guard lock(mutex);
            threads.push_back(std::this_thread::get_id());
        }
        return WatchedTurbo::write(p);
    }
    std::mutex mutex;  // the bottom band is encoded on another thread at the same time
    std::vector<std::thread::id> threads;  // read once the shot is stored
};

struct Road {
    Road() {
        files.addFolder("C:\\Shots");
        gdi.screen = testimg::bands(40, 30, rgb(0, 200, 0), rgb(200, 200, 0));
    }
    ShotSettings now() const { return settings; }
    // Print Screen as Windows answers it: the image lands on the clipboard at the press.
    void printScreen(const FakeImage& image) {
        clipboard.putBitmap(image);
        shots.press(t);
        tick();
    }
    void tick() {
        shots.tick(t, [this] { return now(); });
        t += kTick;
    }
    void tickFor(std::chrono::milliseconds span) {
        for (auto end = t + span; t < end;) tick();
    }
    std::vector<std::string> shotFiles() const { return files.filesIn("C:\\Shots"); }
    std::optional<FakeImage> readJpeg(const char* name) const {
        const auto* f = files.file(std::string("C:\\Shots\\") + name);
        return f ? testimg::decodeJpeg(f->bytes) : std::nullopt;
    }
    std::optional<FakeImage> readBmp(const char* name) const {
        const auto* f = files.file(std::string("C:\\Shots\\") + name);
        return f ? testimg::decodeBmp(f->bytes) : std::nullopt;
    }

    FakeGdi gdi;
    FakeClipboard clipboard{gdi};
    FakeCaptureFiles files;
    ThreadNoting jpeg;
    std::vector<Box> boxes;
    ShotSettings settings{"C:\\Shots\\ScreenShot", "Jpg", "100"};
    Screenshots shots{CapturePlatform{clipboard, gdi, files, jpeg}, "raidkit",
                      [this](std::string_view text, std::string_view title, BoxIcon) {
                          boxes.push_back({std::string(text), std::string(title)});
                      },
                      100ms};
    ShotClock::time_point t{};
};

using Names = std::vector<std::string>;

TEST(SaveIt, PrintScreenStoresTheClipboardImageAsNumberedJpegs) {
    Road r;
    r.gdi.readBand = 5;  // the encoder starts on the top rows while the rest are read
    r.tick();
    const FakeImage first = testimg::gradient(48, 72);
    r.printScreen(first);
    EXPECT_EQ(r.shotFiles(), Names{"ScreenShot1.jpg"});
    ASSERT_TRUE(r.readJpeg("ScreenShot1.jpg"));
    EXPECT_LE(testimg::difference(*r.readJpeg("ScreenShot1.jpg"), first).mean, 1.5);

    r.tickFor(50ms);
    const FakeImage second = testimg::flat(48, 32, rgb(30, 90, 200));
    r.printScreen(second);
    EXPECT_EQ(r.shotFiles(), (Names{"ScreenShot1.jpg", "ScreenShot2.jpg"}));
    EXPECT_LE(testimg::difference(*r.readJpeg("ScreenShot2.jpg"), second).largest, 2);
    EXPECT_TRUE(r.boxes.empty());
}

TEST(SaveIt, OnlyBmpExactlySelectsABitmapFile) {
    const std::pair<const char*, const char*> table[] = {
        {"Bmp", "ScreenShot1.bmp"}, {"Jpg", "ScreenShot1.jpg"}, {"bmp", "ScreenShot1.jpg"},
        {"BMP", "ScreenShot1.jpg"}, {"", "ScreenShot1.jpg"},    {"Bmp ", "ScreenShot1.jpg"},
    };
    for (auto [format, file] : table) {
        Road r;
        r.settings.format = format;
        r.tick();
        r.printScreen(testimg::gradient(8, 8));
        EXPECT_EQ(r.shotFiles(), Names{file}) << '"' << format << '"';
    }
}

TEST(SaveIt, BitmapFileHoldsTheExactPixels) {
    Road r;
    r.settings.format = "Bmp";
    r.settings.quality = "abc";  // read for JPEG files only
    r.tick();
    const FakeImage image = testimg::gradient(37, 21);
    r.printScreen(image);
    EXPECT_EQ(r.readBmp("ScreenShot1.bmp"), image);
}

TEST(SaveIt, StalePictureOnTheClipboardIsNotStored) {
    Road r;
    const FakeImage stale = testimg::flat(40, 30, rgb(255, 0, 255));
    r.clipboard.putBitmap(stale);  // copied long ago
    r.tick();
    r.shots.press(r.t);
    r.tick();
    EXPECT_TRUE(r.shotFiles().empty());  // still waiting: the poll goes on meanwhile
    EXPECT_TRUE(r.shots.waiting());
    r.tickFor(100ms);
    EXPECT_EQ(r.shotFiles(), Names{"ScreenShot1.jpg"});
    // Wine puts nothing on the clipboard: the screen itself was stored.
    EXPECT_LE(testimg::difference(*r.readJpeg("ScreenShot1.jpg"), r.gdi.screen).mean, 3.0);
    EXPECT_GT(testimg::difference(*r.readJpeg("ScreenShot1.jpg"), stale).mean, 50.0);
}

TEST(SaveIt, FormatAndQualityAreReadWhenTheShotIsStored) {
    Road r;
    r.tick();
    r.shots.press(r.t);
    r.tick();
    r.settings.format = "Bmp";
    r.clipboard.putBitmap(testimg::gradient(8, 8));
    r.tick();
    EXPECT_EQ(r.shotFiles(), Names{"ScreenShot1.bmp"});
}

TEST(SaveIt, QualityTextThatIsNoNumberRaisesAndWritesNothing) {
    const std::pair<const char*, int> table[] = {
        {"abc", err::kTypeMismatch}, {"", err::kTypeMismatch}, {"3000000000", err::kOverflow}};
    for (auto [quality, error] : table) {
        Road r;
        r.settings.quality = quality;
        r.tick();
        r.clipboard.putBitmap(testimg::gradient(8, 8));
        r.shots.press(r.t);
        EXPECT_EQ(errorOf([&] { r.tick(); }), error) << quality;
        EXPECT_TRUE(r.shotFiles().empty());
        // The failed shot is not tried again at every tick.
        EXPECT_EQ(errorOf([&] { r.tickFor(200ms); }), 0);
    }
}

TEST(SaveIt, EmptyClipboardWritesNothingAndRaisesNothing) {
    Road r;
    ScreenshotNaming naming;
    CapturePlatform platform{r.clipboard, r.gdi, r.files, r.jpeg};
    JpegWriterSetup writer{r.files, r.jpeg, nullptr, "raidkit"};
    cDIBSection surface(r.gdi);
    EXPECT_EQ(SaveIt(platform, naming, r.settings, ShotSource::Clipboard, writer, surface),
              std::nullopt);
    r.clipboard.putBitmap(testimg::gradient(4, 4));
    r.clipboard.heldElsewhere = true;  // another program has it open
    EXPECT_EQ(SaveIt(platform, naming, r.settings, ShotSource::Clipboard, writer, surface),
              std::nullopt);
    EXPECT_TRUE(r.shotFiles().empty());
}

TEST(SaveIt, SurfaceThatCannotBeMadeWritesNothingAndRaisesNothing) {
    for (const char* format : {"Jpg", "Bmp"}) {
        Road r;
        r.settings.format = format;
        r.gdi.memoryLeft = 100;
        r.tick();
        r.printScreen(testimg::gradient(64, 64));  // from the clipboard
        r.shots.press(r.t);
        EXPECT_EQ(errorOf([&] { r.tickFor(200ms); }), 0);  // from the screen
        EXPECT_TRUE(r.shotFiles().empty()) << format;
        EXPECT_TRUE(r.boxes.empty()) << format;
    }
}

TEST(SaveIt, MissingFolderTellsForJpegAndRaisesForBitmap) {
    Road r;
    r.settings.prefix = "C:\\Gone\\ScreenShot";
    r.tick();
    r.printScreen(testimg::gradient(8, 8));
    ASSERT_EQ(r.boxes.size(), 1u);
    EXPECT_EQ(r.boxes[0].text,
              "Could not save JPG, make sure your setting 'for saving folder' is correct");
    EXPECT_EQ(r.boxes[0].title, "Error");

    r.settings.format = "Bmp";
    r.clipboard.putBitmap(testimg::gradient(8, 8));
    r.shots.press(r.t);
    EXPECT_EQ(errorOf([&] { r.tick(); }), err::kPathNotFound);
    EXPECT_TRUE(r.files.filesIn("C:\\Gone").empty());
}

TEST(SaveIt, SecondQuickPressNeverOverwritesTheFirst) {
    Road r;
    // A hidden leftover of the first name: the first shot replaces it and becomes hidden too.
    r.files.addFile("C:\\Shots\\ScreenShot1.jpg", {'o', 'l', 'd'}, fileattr::kHidden);
    r.tick();
    r.printScreen(testimg::gradient(16, 16));
    const auto firstBytes = r.files.file("C:\\Shots\\ScreenShot1.jpg")->bytes;
    r.printScreen(testimg::bands(16, 16, rgb(255, 0, 0), rgb(0, 0, 255)));
    EXPECT_EQ(r.shotFiles(), (Names{"ScreenShot1.jpg", "ScreenShot2.jpg"}));
    EXPECT_EQ(r.files.file("C:\\Shots\\ScreenShot1.jpg")->bytes, firstBytes);
    EXPECT_NE(firstBytes, (std::vector<std::uint8_t>{'o', 'l', 'd'}));
}

TEST(SaveIt, FilesThePlayerCanSeeAreNeverReplaced) {
    Road r;
    r.files.addFile("C:\\Shots\\ScreenShot1.jpg", {'s', 'y', 's'}, fileattr::kSystem);
    r.files.addFolder("C:\\Shots\\ScreenShot2.jpg");
    r.tick();
    r.printScreen(testimg::gradient(8, 8));
    EXPECT_EQ(r.files.file("C:\\Shots\\ScreenShot1.jpg")->bytes,
              (std::vector<std::uint8_t>{'s', 'y', 's'}));
    EXPECT_NE(r.files.file("C:\\Shots\\ScreenShot3.jpg"), nullptr);
    EXPECT_TRUE(r.boxes.empty());
}

TEST(SaveIt, EveryGdiObjectAndScreenDcIsGivenBack) {
    Road r;
    r.tick();
    r.printScreen(testimg::gradient(8, 8));
    r.shots.press(r.t);
    r.tickFor(200ms);  // one from the screen
    r.settings.format = "Bmp";
    r.printScreen(testimg::gradient(8, 8));
    EXPECT_EQ(r.shotFiles().size(), 3u);
    EXPECT_EQ(r.gdi.screenDcsOut(), 0u);
    EXPECT_TRUE(r.shots.keepsSurface());  // for the next shot of a burst
    r.tickFor(kKeepSurface);
    EXPECT_FALSE(r.shots.keepsSurface());
    EXPECT_EQ(r.gdi.liveObjects(), 1u);  // the clipboard's own bitmap
}

TEST(SaveIt, ShotsOfABurstReuseTheSurfaceAndStoreEachPicture) {
    Road r;
    r.tick();
    r.printScreen(testimg::flat(8, 8, rgb(30, 90, 200)));
    r.gdi.memoryLeft = 0;  // only a surface already there can take the next picture
    const FakeImage second = testimg::flat(8, 8, rgb(200, 60, 30));
    r.printScreen(second);
    ASSERT_EQ(r.shotFiles(), (Names{"ScreenShot1.jpg", "ScreenShot2.jpg"}));
    const auto stored = r.readJpeg("ScreenShot2.jpg");
    ASSERT_TRUE(stored);
    EXPECT_LE(testimg::difference(*stored, second).largest, 2);  // not the first picture again
    // A larger picture needs a new surface, and the old one's memory is too small for it.
    r.printScreen(testimg::gradient(10, 10));
    EXPECT_EQ(r.shotFiles().size(), 2u);
    EXPECT_TRUE(r.boxes.empty());
}

TEST(SaveIt, EveryShotIsEncodedBesideThePollOnOneKeptThread) {
    Road r;
    r.tick();
    for (int i = 0; i < 3; ++i) {
        r.printScreen(testimg::gradient(16, 80));  // shared by two threads
        r.tickFor(50ms);
    }
    r.settings.format = "Bmp";  // bitmap files need no encoder
    r.printScreen(testimg::gradient(16, 80));
    ASSERT_EQ(r.shotFiles().size(), 4u);
    ASSERT_EQ(r.jpeg.threads.size(), 3u);
    EXPECT_NE(r.jpeg.threads[0], std::this_thread::get_id());
    EXPECT_EQ(r.jpeg.threads[1], r.jpeg.threads[0]);
    EXPECT_EQ(r.jpeg.threads[2], r.jpeg.threads[0]);
}

// Without Windows' picture, a shot shows the screen of the moment of the press, not of the end
// of the wait; a burst keeps one picture per press, the copies bounded.
TEST(SaveIt, ScreenIsCopiedAtThePressAndWindowsPictureStillWins) {
    Road r;
    r.settings.format = "Bmp";
    r.tick();
    const int presses = static_cast<int>(kHeldCopies) + 2;
    std::vector<FakeImage> atPress;
    for (int i = 0; i < presses; ++i) {
        atPress.push_back(testimg::flat(12, 9, rgb(10 * i, 200, 40)));
        r.gdi.screen = atPress.back();
        r.shots.press(r.t);
        EXPECT_LE(r.shots.heldCopies(), kHeldCopies);
        r.tick();
    }
    const FakeImage later = testimg::flat(12, 9, rgb(250, 0, 250));
    r.gdi.screen = later;
    r.tickFor(150ms);
    ASSERT_EQ(r.shotFiles().size(), static_cast<std::size_t>(presses));
    for (int i = 0; i < presses; ++i) {
        const std::string name = "ScreenShot" + std::to_string(i + 1) + ".bmp";
        // Beyond the bound a press copies the screen when its wait ends.
        const FakeImage& want = i < static_cast<int>(kHeldCopies) ? atPress[i] : later;
        EXPECT_EQ(r.readBmp(name.c_str()), want) << name;
    }
    EXPECT_EQ(r.shots.heldCopies(), 0u);

    // Windows' own picture, arriving within the wait, is stored instead of the copy.
    r.gdi.screen = testimg::flat(12, 9, rgb(0, 0, 0));
    r.shots.press(r.t);
    r.tickFor(30ms);
    const FakeImage windows = testimg::gradient(12, 9);
    r.clipboard.putBitmap(windows);
    r.tick();
    EXPECT_EQ(r.readBmp(("ScreenShot" + std::to_string(presses + 1) + ".bmp").c_str()), windows);
}

}  // namespace
}  // namespace rk
