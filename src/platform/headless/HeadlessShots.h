// HeadlessShots.h -- what the headless video showed, as a picture: RGBA images and PNG shots.
#pragma once

#include <string>

#include "platform/headless/HeadlessVideo.h"
#include "platform/png/PngImage.h"

namespace wordlark::platform::headless {

// The frame as RGBA (RGB565 expanded by bit replication; indices through the palette); empty
// when nothing was presented.
PngImage frameImage(const PresentedFrame& frame);

// Writes the last frame the video presented as a PNG, replacing whatever has that name (a
// symbolic link there is replaced, not followed). False with a reason when there is none or
// the file cannot be written.
bool writeShot(const HeadlessVideo& video, const std::string& path, std::string* error = nullptr);

}  // namespace wordlark::platform::headless
