// SaveIt: Print Screen stored as the next numbered .bmp or .jpg file, and the short wait for
// Windows' own image of the screen that comes with it.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "capture/dib_section.h"
#include "capture/jpeg_writer.h"
#include "capture/screenshot_naming.h"
#include "capture/show_box.h"
#include "platform/capture_files.h"
#include "platform/clipboard.h"
#include "platform/gdi.h"

namespace rk {

using ShotClock = std::chrono::steady_clock;

// How long a press waits for a new bitmap on the clipboard before the screen is copied
// directly. Windows puts its image there within a few milliseconds; Wine never does.
constexpr std::chrono::milliseconds kClipboardWait{100};

// How long the last shot's surface is kept for the next one. A new surface's memory is handed
// out page by page as the picture is first written into it, which under Wine costs about as
// much as the encode itself; shots come in bursts, and the memory goes back soon after.
constexpr std::chrono::seconds kKeepSurface{10};

// How many presses may each hold a copy of the screen while they wait for Windows' picture:
// about 25 MB of copies at 1920x1080, 100 MB at 3840x2160. A press beyond them copies the
// screen when its wait ends instead.
constexpr std::size_t kHeldCopies = 4;

// Clipboard: Windows' own picture. Screen: the screen as it is now. Held: the surface already
// holds the picture (the screen as it was at the press).
enum class ShotSource { Clipboard, Screen, Held };

// Reading the clipboard the moment the key is seen can store the previous picture or none:
// Windows may put the new image there after the key goes down, Windows 11 gives the key to its
// Snipping Tool, and Wine puts nothing there. Each press therefore waits, tick by tick and
// without holding up the poll, for the clipboard to change; where no new bitmap comes within
// the limit, the screen as it was at the press is the picture.
class ClipboardWait {
  public:
    explicit ClipboardWait(std::chrono::milliseconds limit = kClipboardWait) : limit_(limit) {}

    // Print Screen seen. sequence: the clipboard's sequence number now, used when no poll has
    // seen one yet; otherwise the number seen at the previous poll counts, so that an image
    // that arrived between that poll and the press belongs to the press.
    void press(ShotClock::time_point now, std::uint32_t sequence);
    // Once per tick, after the keys, and again while it returns a shot. hasBitmap matters
    // only while a press waits. A clipboard change serves the oldest waiting press only.
    std::optional<ShotSource> poll(ShotClock::time_point now, std::uint32_t sequence,
                                   bool hasBitmap);
    bool waiting() const { return !pending_.empty(); }

  private:
    struct Pending {
        ShotClock::time_point deadline;
        std::uint32_t baseline;
    };
    std::chrono::milliseconds limit_;
    std::deque<Pending> pending_;
    std::optional<std::uint32_t> lastSeen_;
};

struct CapturePlatform {
    Clipboard& clipboard;
    Gdi& gdi;
    CaptureFiles& files;
    JpegLibrary& jpeg;
};

// What a shot reads at the moment it is stored.
struct ShotSettings {
    std::string prefix;   // ScreenPrefix
    std::string format;   // the ScreenyFormat setting; exactly "Bmp" means a bitmap file
    std::string quality;  // the text of the quality box
};

// Stores one screenshot from the source and returns the file's name; nothing when there was
// no picture (an empty clipboard, a surface that cannot be made) or the JPEG could not be
// written (the player has been told). Raises type mismatch / overflow for a JPEG quality text
// that is no 32-bit number before anything is written, the file error when a bitmap file
// cannot be written, 26001 when the encoder cannot be set up. surface holds the picture; one
// of the picture's size is written over. atPress, the screen copied at the press, is the
// picture when the clipboard cannot be opened or holds no bitmap any more; it is swapped with
// surface then.
std::optional<std::string> SaveIt(CapturePlatform& platform, ScreenshotNaming& naming,
                                  const ShotSettings& settings, ShotSource source,
                                  JpegWriterSetup& writer, cDIBSection& surface,
                                  cDIBSection* atPress = nullptr);

// The whole road of Print Screen for Form1: press() when the key is seen, tick() once per
// poll after the keys.
class Screenshots {
  public:
    Screenshots(CapturePlatform platform, std::string exeName, ShowBox show,
                std::chrono::milliseconds wait = kClipboardWait,
                std::chrono::milliseconds keepSurface = kKeepSurface);

    // Copies the screen at once: a later copy would show a later moment of the game, or the
    // Snipping Tool's dimmed overlay.
    void press(ShotClock::time_point now);
    // Stores the shots that are due; settings is asked at each one. Raises what SaveIt
    // raises; a shot that raised is not tried again.
    void tick(ShotClock::time_point now, const std::function<ShotSettings()>& settings);
    bool waiting() const { return wait_.waiting(); }
    // The files stored by the last tick, for tests and benchmarks.
    const std::vector<std::string>& lastStored() const { return lastStored_; }
    // True while the last shot's surface is kept for the next.
    bool keepsSurface() const { return surface_.DIBSectionBitsPtr() != nullptr; }
    std::size_t heldCopies() const;

  private:
    CapturePlatform platform_;
    JpegLane lane_;  // its thread made at the first press, kept for the next shots
    JpegWriterSetup writer_;
    ClipboardWait wait_;
    ScreenshotNaming naming_;
    std::chrono::milliseconds keepSurface_;
    cDIBSection surface_;
    // One per waiting press, oldest first: the screen at the press, or no surface where the
    // bound was reached or the copy failed.
    std::deque<cDIBSection> held_;
    std::vector<cDIBSection> spare_;  // kept with the surface, so a burst makes no new memory
    ShotClock::time_point lastShot_{};
    bool keeping_ = false;  // the surface or the lane's memory may be kept
    std::vector<std::string> lastStored_;
};

}  // namespace rk
