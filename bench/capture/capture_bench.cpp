// Print Screen to finished file, against the bare libjpeg-turbo encode of the same pixels and a
// plain write of the same bytes, measured in one run. The three are measured in turn within each
// round, so that load from other programs falls on all of them alike; the best and the median
// round are printed with their ratios.
#include <turbojpeg.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench_platform.h"
#include "capture/bmp_file.h"

namespace rk::bench {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 15;

// Wall time: the road runs on two threads (the encoder beside the reader and the writer), so
// one thread's CPU time would leave part of it out. Rounds alternate the three measurements, so
// that load from other programs falls on all of them alike.
double nowMs() {
    return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count();
}

struct Figures {
    std::vector<double> v;
    double best() const { return *std::min_element(v.begin(), v.end()); }
    double median() const {
        std::vector<double> s = v;
        std::sort(s.begin(), s.end());
        return s[s.size() / 2];
    }
};

// Something like a game screen: sky and ground gradients, a noisy textured floor, hard-edged
// interface boxes and lines of "text". Encode times depend on content; flat pictures flatter.
Picture scene(std::int32_t w, std::int32_t h) {
    Picture p{w, h, std::vector<std::uint32_t>(std::size_t(w) * h)};
    std::uint32_t seed = 12345;
    auto noise = [&] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 24;
    };
    for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; ++x) {
            std::uint32_t r, g, b;
            if (y < h / 2) {
                r = 60 + 80 * y / h;
                g = 110 + 90 * y / h;
                b = 200 - 40 * x / w;
            } else {
                const std::uint32_t n = noise() & 63;
                r = 90 + n;
                g = 70 + n / 2 + 40 * x / w;
                b = 40 + n / 3;
            }
            const bool box = (x % 400) < 180 && (y % 300) < 60;
            const bool text = box && (y % 300) > 20 && (y % 300) < 40 && ((x / 3 + y / 4) % 5) < 2;
            if (box)
                r = g = b = text ? 240 : 20;
            p.pixels[std::size_t(y) * w + x] = r << 16 | g << 8 | b;
        }
    }
    return p;
}

// The same pixels as the surface holds them: BGR rows, bottom row first, padded.
std::vector<std::uint8_t> dibRows(const Picture& p) {
    const std::size_t stride = (std::size_t(p.width) * 3 + 3) & ~std::size_t{3};
    std::vector<std::uint8_t> rows(stride * p.height);
    for (std::int32_t y = 0; y < p.height; ++y) {
        std::uint8_t* out = rows.data() + stride * (p.height - 1 - y);
        for (std::int32_t x = 0; x < p.width; ++x) {
            const std::uint32_t c = p.pixels[std::size_t(y) * p.width + x];
            out[x * 3] = std::uint8_t(c);
            out[x * 3 + 1] = std::uint8_t(c >> 8);
            out[x * 3 + 2] = std::uint8_t(c >> 16);
        }
    }
    return rows;
}

// The encoder alone: bottom-up BGR rows in place, 4:2:0, into an output buffer made and
// touched beforehand, so that no fresh memory is counted against it. Returns the file's size.
std::size_t bareEncode(tjhandle tj, const Picture& p, const std::vector<std::uint8_t>& rows,
                       int quality, std::vector<unsigned char>& out) {
    const int pitch = static_cast<int>((std::size_t(p.width) * 3 + 3) & ~std::size_t{3});
    unsigned char* buf = out.data();
    unsigned long size = static_cast<unsigned long>(out.size());
    if (tjCompress2(tj, rows.data(), p.width, pitch, p.height, TJPF_BGR, &buf, &size, TJSAMP_420,
                    quality, TJFLAG_BOTTOMUP | TJFLAG_NOREALLOC) != 0) {
        std::printf("the bare encode failed: %s\n", tjGetErrorStr2(tj));
        std::exit(1);
    }
    return size;
}

struct Case {
    Figures road, encode, write, pages;
    Figures waitingTicks;  // poll ticks while a press waited for the clipboard
};

// Each shot draws into a new surface (it lives only within the shot), whose memory the system
// hands out page by page as it is first written. The bare encode reads pixels already in
// memory; this is what the same number of fresh pages costs on this machine.
double freshPages(std::size_t bytes) {
    const double t0 = nowMs();
    auto buffer = std::make_unique<std::uint8_t[]>(bytes);  // zeroed: every page written
    volatile std::uint8_t sink = buffer[bytes - 1];
    (void)sink;
    return nowMs() - t0;
}

// One format at one size: in every round a press with the picture already on the clipboard
// (as Windows answers Print Screen), the bare encode and the plain write.
Case measure(BenchPlatform& platform, const Picture& picture, const std::vector<std::uint8_t>& rows,
             const ShotSettings& settings, int quality) {
    Screenshots shots(platform.capture(), "raidkit", nullptr);
    auto settingsNow = [&] { return settings; };
    tjhandle tj = tjInitCompress();
    std::vector<unsigned char> encoded(tjBufSize(picture.width, picture.height, TJSAMP_420), 1);
    const bool bmp = settings.format == "Bmp";
    std::vector<std::uint8_t> bmpBytes;
    if (bmp) {
        const auto headers = BmpFileHeaders(Dib24Header(picture.width, picture.height));
        bmpBytes.assign(headers.begin(), headers.end());
        bmpBytes.insert(bmpBytes.end(), rows.begin(), rows.end());
    }
    const std::string plain = platform.folder() + "plain.bin";
    Case c;
    shots.tick(Clock::now(), settingsNow);            // the poll runs all the time before a press
    for (int round = -1; round < kRounds; ++round) {  // round -1 warms up
        platform.putOnClipboard(picture);
        // Wine's clipboard manager hands each new picture on to X in a process of its own,
        // which takes a core for some milliseconds. Windows does no such thing, and Print
        // Screen under Wine puts nothing on the clipboard at all: that work is let finish.
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        const double t0 = nowMs();
        shots.press(Clock::now());
        std::vector<std::string> stored;
        while (stored.empty() && shots.waiting()) {
            shots.tick(Clock::now(), settingsNow);
            stored = shots.lastStored();
        }
        const double t1 = nowMs();
        if (stored.empty()) {
            std::printf("no file was stored\n");
            std::exit(1);
        }
        platform.removeFile(stored[0]);

        std::span<const std::uint8_t> bytes = bmpBytes;
        const double t2 = nowMs();
        if (!bmp)
            bytes = {encoded.data(), bareEncode(tj, picture, rows, quality, encoded)};
        const double t3 = nowMs();
        platform.plainWrite(plain, bytes);
        const double t4 = nowMs();
        platform.removeFile(plain);
        const double pages = freshPages(rows.size());
        if (round >= 0) {
            c.road.v.push_back(t1 - t0);
            c.encode.v.push_back(t3 - t2);
            c.write.v.push_back(t4 - t3);
            c.pages.v.push_back(pages);
        }
    }
    tjDestroy(tj);

    // A press with nothing new coming: the ticks that wait must cost next to nothing.
    const auto t0 = Clock::now();
    shots.press(t0);
    while (Clock::now() - t0 < kClipboardWait - std::chrono::milliseconds(5)) {
        const double s = nowMs();
        shots.tick(Clock::now(), settingsNow);
        c.waitingTicks.v.push_back(nowMs() - s);
        for (const auto& name : shots.lastStored()) platform.removeFile(name);
    }
    while (shots.waiting()) {
        shots.tick(Clock::now(), settingsNow);
        for (const auto& name : shots.lastStored()) platform.removeFile(name);
    }
    return c;
}

void print(const char* size, const char* format, const Case& c, bool bmp) {
    auto row = [&](const char* which, double road, double encode, double write, double pages) {
        const double base = bmp ? write : encode + write;
        char enc[16] = "-", byEncode[16] = "-";
        if (!bmp) {
            std::snprintf(enc, sizeof enc, "%.2f", encode);
            std::snprintf(byEncode, sizeof byEncode, "%.2fx", road / encode);
        }
        std::printf("%-10s %-4s %-6s %8.2f %8s %8.2f %8.2f %9s %8.2fx %8.2fx\n", size, format,
                    which, road, enc, write, pages, byEncode, road / base, road / (base + pages));
    };
    row("best", c.road.best(), bmp ? 0 : c.encode.best(), c.write.best(), c.pages.best());
    row("median", c.road.median(), bmp ? 0 : c.encode.median(), c.write.median(), c.pages.median());
    // A press that copies a large screen can use up the whole wait in its own tick.
    if (c.waitingTicks.v.empty())
        return;
    std::printf(
        "%-10s %-4s %-6s ticks while a press waits: median %.3f ms, longest %.3f ms (%zu)\n", size,
        format, "", c.waitingTicks.median(),
        *std::max_element(c.waitingTicks.v.begin(), c.waitingTicks.v.end()),
        c.waitingTicks.v.size());
}

}  // namespace

// What the screenshot part adds to every 15 ms poll while nothing is pressed: one look at the
// clipboard's sequence number.
Figures idleTicks(BenchPlatform& platform) {
    Screenshots shots(platform.capture(), "raidkit", nullptr);
    Figures f;
    for (int i = 0; i < 2000; ++i) {
        const double t0 = nowMs();
        shots.tick(Clock::now(), [] { return ShotSettings{}; });
        f.v.push_back(nowMs() - t0);
    }
    return f;
}

// What a press adds to its tick: the copy of the whole screen, made at once so that the shot
// shows the moment of the press where Windows' own picture does not come.
Figures pressCopies(BenchPlatform& platform, const std::string& prefix) {
    Screenshots shots(platform.capture(), "raidkit", nullptr);
    const Picture small = scene(8, 8);
    const ShotSettings settings{prefix, "Bmp", ""};
    Figures f;
    for (int round = -1; round < kRounds; ++round) {
        const double t0 = nowMs();
        shots.press(Clock::now());
        const double t1 = nowMs();
        if (round >= 0)
            f.v.push_back(t1 - t0);
        // Settled by a small picture, so that the next press starts with none waiting.
        platform.putOnClipboard(small);
        while (shots.waiting()) {
            shots.tick(Clock::now(), [&] { return settings; });
            for (const auto& name : shots.lastStored()) platform.removeFile(name);
        }
    }
    return f;
}

int run() {
    auto platform = makeBenchPlatform();
    std::printf("Screenshot road on %s, %d rounds, ms of wall time\n", platform->name().c_str(),
                kRounds);
    std::printf("%-10s %-4s %-6s %8s %8s %8s %8s %9s %9s %9s\n", "size", "fmt", "round", "road",
                "encode", "write", "pages", "/encode", "/(enc+wr)", "/(+pages)");
    for (auto [w, h] : {std::pair{1920, 1080}, {3840, 2160}}) {
        const Picture picture = scene(w, h);
        const std::vector<std::uint8_t> rows = dibRows(picture);
        char size[16];
        std::snprintf(size, sizeof size, "%dx%d", w, h);
        const std::string prefix = platform->folder() + "ScreenShot";
        for (int quality : {100, 75}) {
            char label[8];
            std::snprintf(label, sizeof label, "q%d", quality);
            print(size, label,
                  measure(*platform, picture, rows, {prefix, "Jpg", std::to_string(quality)},
                          quality),
                  false);
        }
        print(size, "BMP", measure(*platform, picture, rows, {prefix, "Bmp", ""}, 0), true);
    }
    const ScreenArea screen = platform->capture().gdi.screenArea();
    const Figures copies = pressCopies(*platform, platform->folder() + "ScreenShot");
    std::printf("copy of the screen at the press (%dx%d): median %.2f ms, best %.2f ms\n",
                screen.width, screen.height, copies.median(), copies.best());
    const Figures idle = idleTicks(*platform);
    std::printf("idle poll tick (no press): median %.4f ms, best %.4f ms\n", idle.median(),
                idle.best());
    std::printf(
        "road: Print Screen seen (picture already on the clipboard) to file stored, through "
        "Screenshots::press/tick;\nencode: tjCompress2 of the same rows into a buffer made "
        "beforehand; write: one plain write "
        "of the same bytes (the JPEG, or the bitmap file);\npages: first writes to fresh memory "
        "of the surface's size. Ratios: road against encode, encode + write, encode + write + "
        "pages.\n");
    return 0;
}

}  // namespace rk::bench

int main() {
    return rk::bench::run();
}
