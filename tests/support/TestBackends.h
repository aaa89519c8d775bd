// TestBackends.h -- what a test program plays on: the process's headless desktop and video,
// and the text backend it links.
#pragma once

#include "platform/Desktop.h"
#include "platform/Text.h"
#include "platform/headless/HeadlessDesktop.h"
#include "platform/headless/HeadlessVideo.h"
#include "platform/platform.h"

namespace wordlark::test {

// The headless backends every test program plays on unless a suite installs its own for a
// test; the suites reach them here to look at what was drawn or presented.
inline platform::headless::HeadlessDesktop& headlessDesktop()
{
    static platform::headless::HeadlessDesktop desktop;
    return desktop;
}
inline platform::headless::HeadlessVideo& headlessVideo()
{
    static platform::headless::HeadlessVideo video;
    return video;
}

inline void installTestBackends(platform::TextRenderer& text)
{
    platform::setDesktop(&headlessDesktop());
    platform::setVideo(&headlessVideo());
    platform::setTextRenderer(&text);
}

}  // namespace wordlark::test
