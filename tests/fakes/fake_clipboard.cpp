#include "fake_clipboard.h"

namespace rk {

bool FakeClipboard::useBitmap(const std::function<void(GdiHandle bitmap)>& use) {
    if (fault(Call::ClipboardOpen) || heldElsewhere || bitmap_ == 0)
        return false;
    use(bitmap_);
    return true;
}

bool FakeClipboard::putCopyOf(GdiHandle dc, std::int32_t width, std::int32_t height) {
    if (fault(Call::ClipboardOpen) || heldElsewhere || width <= 0 || height <= 0)
        return false;
    FakeImage blank{width, height, std::vector<std::uint32_t>(std::size_t(width) * height, 0)};
    GdiHandle copy = gdi_.makeBitmap(blank);
    GdiHandle memory = gdi_.createCompatibleDc(0);
    GdiHandle old = gdi_.selectObject(memory, copy);
    const bool copied = gdi_.bitBlt(memory, 0, 0, width, height, dc, 0, 0, rop::kSrcCopy);
    gdi_.selectObject(memory, old);
    gdi_.deleteDc(memory);
    if (!copied) {
        gdi_.deleteObject(copy);
        return false;
    }
    replace(copy);
    return true;
}

void FakeClipboard::putBitmap(const FakeImage& image) {
    replace(gdi_.makeBitmap(image));
}

void FakeClipboard::putText() {
    replace(0);
}

void FakeClipboard::empty() {
    replace(0);
}

void FakeClipboard::replace(GdiHandle bitmap) {
    if (bitmap_ != 0)
        gdi_.deleteObject(bitmap_);
    bitmap_ = bitmap;
    ++sequence_;
}

}  // namespace rk
