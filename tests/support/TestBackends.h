// TestBackends.h -- what a test program plays on: the process's headless desktop and video,
// and the text backend it links.
#pragma once

#include "platform/Desktop.h"
#include "platform/Text.h"
#include "platform/headless/HeadlessDesktop.h"
#include "platform/headless/HeadlessVideo.h"
#include "platform/platform.h"

namespace wordlark::test {

// Suites that need another desktop or video install their own for a test; the headless ones
// stay the process's, so a suite may reach them through headlessDesktop() and headlessVideo().
inline void installTestBackends(platform::TextRenderer& text)
{
    platform::setDesktop(&platform::headless::headlessDesktop());
    platform::setVideo(&platform::headless::headlessVideo());
    platform::setTextRenderer(&text);
}

}  // namespace wordlark::test
