#include "platform/headless/HeadlessShots.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace wordlark::platform::headless {

PngImage frameImage(const PresentedFrame& frame)
{
    if (frame.bitsPerPixel == 0) {
        return {};
    }
    PngImage image(frame.width, frame.height);
    for (std::int32_t y = 0; y < frame.height; ++y) {
        for (std::int32_t x = 0; x < frame.width; ++x) {
            const std::size_t at =
                static_cast<std::size_t>(y) * static_cast<std::size_t>(frame.width) +
                static_cast<std::size_t>(x);
            std::uint8_t* out = image.pixel(x, y);
            if (frame.bitsPerPixel == 8) {
                const PaletteColor& c = frame.palette[frame.pixels8[at]];
                out[0] = c.red;
                out[1] = c.green;
                out[2] = c.blue;
            } else {
                rgb565ToRgb(frame.pixels16[at], out[0], out[1], out[2]);
            }
            out[3] = 0xFF;
        }
    }
    return image;
}

bool writeShot(const HeadlessVideo& video, const std::string& path, std::string* error)
{
    const PresentedFrame& last = video.lastPresented();
    if (last.bitsPerPixel == 0) {
        if (error != nullptr) {
            *error = "no frame has been presented";
        }
        return false;
    }
    // The shot is written beside its name under a fresh one and renamed over it when complete.
    // Writing through the name itself would follow a symbolic link found there and overwrite
    // whatever it points to; renaming replaces the link, never its target, and a failed write
    // leaves an earlier shot of that name whole.
    const std::size_t slash = path.rfind('/');
    std::string temporary =
        (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + ".shot-XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        if (error != nullptr) {
            *error = std::strerror(errno);
        }
        return false;
    }
    // mkstemp makes the file private; a shot gets what any new file would.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const bool permitted = ::fchmod(fd, 0666 & ~mask) == 0;
    ::close(fd);
    errno = 0;
    if (permitted && writePng(temporary, frameImage(last)) &&
        ::rename(temporary.c_str(), path.c_str()) == 0) {
        return true;
    }
    const int why = errno;
    ::unlink(temporary.c_str());
    if (error != nullptr) {
        *error = why != 0 ? std::strerror(why) : "the PNG writer failed";
    }
    return false;
}

}  // namespace wordlark::platform::headless
