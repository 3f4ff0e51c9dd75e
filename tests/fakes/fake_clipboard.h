// The clipboard as state: a sequence number that counts every change and at most one bitmap,
// which the clipboard owns (it lives in the FakeGdi).
#pragma once

#include <cstdint>

#include "fake_gdi.h"
#include "platform/clipboard.h"

namespace rk {

class FakeClipboard : public Clipboard, public Faultable {
  public:
    explicit FakeClipboard(FakeGdi& gdi) : gdi_(gdi) {}

    std::uint32_t sequenceNumber() override { return sequence_; }
    bool hasBitmap() override { return bitmap_ != 0; }
    bool useBitmap(const std::function<void(GdiHandle bitmap)>& use) override;
    bool putCopyOf(GdiHandle dc, std::int32_t width, std::int32_t height) override;

    // Another program (or Print Screen) puts a bitmap there, replacing what was there.
    void putBitmap(const FakeImage& image);
    // Another program puts something that is no bitmap there (text, say).
    void putText();
    void empty();
    GdiHandle bitmap() const { return bitmap_; }

    // While another program holds the clipboard open, it cannot be opened.
    bool heldElsewhere = false;

  private:
    void replace(GdiHandle bitmap);

    FakeGdi& gdi_;
    std::uint32_t sequence_ = 41;
    GdiHandle bitmap_ = 0;
};

}  // namespace rk
