// AnimationResource.h -- an "ani0" picture: a frame table whose frames are read on first use.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "graphics/ImageResource.h"

namespace wordlark::graphics {

// While loaded, the inherited header, palette and pixels are the current frame's, so drawing,
// drawAt, the (pixel-exact) hit test and setPosition act on that frame. Every frame is a
// transparent palettised picture with its own header and palette.
class AnimationResource : public ImageResource {
public:
    // How advance() treats the ends.
    static constexpr std::int32_t kCycleStop = 0;
    static constexpr std::int32_t kCycleWrap = 1;
    static constexpr std::int32_t kCycleBounce = 2;

    // The frame count starts from the directory record's size, before anything is read.
    AnimationResource(std::string_view entryName, archive::Archive& archive);
    ~AnimationResource() override;

    // "Faze" (select; -1 is the last frame), "FGet" (current, -1 on the last), "GetN"
    // (count), "Next" (advance), "Step", "Cicl"; then the codes of every picture.
    std::int32_t command(std::uint32_t code, std::int32_t value) override;
    // Frees every frame and the table; the animation is unloaded afterwards.
    void unload() override;
    void load() override;

    // Fetches the frame table and makes the slots; true when they exist.
    virtual bool prepareFrames();
    // Reads the frame (index clamped) unless it is already read; false when it cannot be.
    virtual bool loadFrame(std::int32_t index);
    // Makes the frame current (clamped); while loaded, shows it when it can be read and
    // otherwise keeps showing the previous one. Selecting the current index does nothing.
    virtual void setFrame(std::int32_t index);
    virtual void advance();

    std::int32_t drawnFrame() const override { return currentFrame_; }
    std::int32_t currentFrame() const { return currentFrame_; }
    std::int32_t frameCount() const { return frameCount_; }
    std::int32_t step() const { return step_; }
    std::int32_t cycleMode() const { return cycleMode_; }
    // For tests: whether the frame's data has been read (false outside the table).
    bool frameLoaded(std::int32_t index) const;

private:
    struct FrameSlot {
        std::unique_ptr<std::uint8_t[]> data;
        std::uint32_t offset = 0;
        std::uint32_t size = 0;
        std::uint32_t storedSize = 0;
        bool loaded = false;
    };

    std::int32_t clampIndex(std::int64_t index) const;
    void showFrame(const FrameSlot& slot);
    void freeFrames();

    // One slot per record the table really holds: a count larger than the table leaves the
    // missing frames unreadable instead of reaching past the content.
    std::unique_ptr<std::vector<FrameSlot>> frames_;
    std::int32_t currentFrame_ = 0;
    std::int32_t frameCount_ = 1;
    std::int32_t step_ = 1;
    std::int32_t cycleMode_ = kCycleStop;
};

}  // namespace wordlark::graphics
