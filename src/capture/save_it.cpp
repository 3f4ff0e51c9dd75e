#include "capture/save_it.h"

#include "capture/bmp_file.h"
#include "capture/dib_section.h"
#include "capture/quality.h"

namespace rk {

void ClipboardWait::press(ShotClock::time_point now, std::uint32_t sequence) {
    pending_.push_back({now + limit_, lastSeen_.value_or(sequence)});
}

std::optional<ShotSource> ClipboardWait::poll(ShotClock::time_point now, std::uint32_t sequence,
                                              bool hasBitmap) {
    lastSeen_ = sequence;
    if (pending_.empty())
        return std::nullopt;
    const Pending front = pending_.front();
    if (sequence != front.baseline && hasBitmap) {
        pending_.pop_front();
        // One image serves one press: the presses still waiting wait for the next change.
        for (Pending& p : pending_) p.baseline = sequence;
        return ShotSource::Clipboard;
    }
    if (now >= front.deadline) {
        pending_.pop_front();
        return ShotSource::Screen;
    }
    return std::nullopt;
}

std::optional<std::string> SaveIt(CapturePlatform& platform, ScreenshotNaming& naming,
                                  const ShotSettings& settings, ShotSource source,
                                  JpegWriterSetup& writer, cDIBSection& surface,
                                  cDIBSection* atPress) {
    const bool bmp = settings.format == "Bmp";
    const std::int32_t quality = bmp ? 0 : QualityFromText(settings.quality);

    // A JPEG is encoded as the picture's rows arrive and written as its bytes come.
    std::optional<JpegShot> jpeg;
    RowsReady ready;
    if (!bmp) {
        jpeg.emplace(writer, quality);
        ready = [&](std::int32_t rows) { jpeg->rowsReady(surface, rows); };
    }
    if (source == ShotSource::Clipboard) {
        const bool read = platform.clipboard.useBitmap(
            [&](GdiHandle bitmap) { surface.CreateFromPicture(bitmap, ready); });
        // Held open by another program, or emptied since: the screen as it was at the press,
        // never the last shot's picture again.
        if (!read && atPress != nullptr && atPress->DIBSectionBitsPtr() != nullptr) {
            std::swap(surface, *atPress);
            if (ready)
                ready(surface.Height());
        } else if (!read) {
            surface.ClearUp();
        }
    } else if (source == ShotSource::Screen) {
        surface.CreateFromScreen(ready);
    } else if (source == ShotSource::Held && ready && surface.DIBSectionBitsPtr() != nullptr) {
        ready(surface.Height());
    }
    if (surface.DIBSectionBitsPtr() == nullptr)
        return std::nullopt;

    std::string name = naming.next(platform.files, settings.prefix, bmp ? ".bmp" : ".jpg");
    if (bmp) {
        WriteBmpFile(platform.files, surface, name, naming.mayReplace());
    } else if (!jpeg->store(surface, name, naming.mayReplace())) {
        return std::nullopt;
    }
    naming.stored(name);
    return name;
}

Screenshots::Screenshots(CapturePlatform platform, std::string exeName, ShowBox show,
                         std::chrono::milliseconds wait, std::chrono::milliseconds keepSurface)
    : platform_(platform),
      writer_{platform.files, platform.jpeg, std::move(show), std::move(exeName), &lane_},
      wait_(wait),
      keepSurface_(keepSurface),
      surface_(platform.gdi) {}

std::size_t Screenshots::heldCopies() const {
    std::size_t count = 0;
    for (const cDIBSection& copy : held_) count += copy.DIBSectionBitsPtr() != nullptr;
    return count;
}

void Screenshots::press(ShotClock::time_point now) {
    // The encoder's thread is made while the picture is on its way, not when it is there.
    lane_.encoder.ready();
    const std::uint32_t sequence = platform_.clipboard.sequenceNumber();
    const bool room = heldCopies() < kHeldCopies;
    if (room && !spare_.empty()) {
        held_.push_back(std::move(spare_.back()));
        spare_.pop_back();
    } else {
        held_.emplace_back(platform_.gdi);
    }
    if (room)
        held_.back().CreateFromScreen();
    keeping_ = true;
    wait_.press(now, sequence);
}

void Screenshots::tick(ShotClock::time_point now, const std::function<ShotSettings()>& settings) {
    lastStored_.clear();
    for (;;) {
        const std::uint32_t sequence = platform_.clipboard.sequenceNumber();
        const bool hasBitmap = wait_.waiting() && platform_.clipboard.hasBitmap();
        const std::optional<ShotSource> source = wait_.poll(now, sequence, hasBitmap);
        if (!source) {
            // Kept for the shots of a burst; given back once the burst is over, so that an idle
            // tick costs one test of a flag.
            if (keeping_ && !wait_.waiting() && now - lastShot_ >= keepSurface_) {
                surface_.ClearUp();
                spare_.clear();
                lane_.release();
                keeping_ = false;
            }
            return;
        }
        lastShot_ = now;
        keeping_ = true;
        cDIBSection atPress = std::move(held_.front());
        held_.pop_front();
        ShotSource from = *source;
        if (from == ShotSource::Screen && atPress.DIBSectionBitsPtr() != nullptr) {
            std::swap(surface_, atPress);
            from = ShotSource::Held;
        }
        std::optional<std::string> name =
            SaveIt(platform_, naming_, settings(), from, writer_, surface_, &atPress);
        // The copy that served, or was not needed, keeps its memory for the next press.
        if (atPress.DIBSectionBitsPtr() != nullptr)
            spare_.push_back(std::move(atPress));
        if (name)
            lastStored_.push_back(std::move(*name));
    }
}

}  // namespace rk
