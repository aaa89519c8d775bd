// BackendsAtStart.cpp -- for programs whose main is not ours (benchmarks, fuzz targets): the
// headless desktop and video and FreeType's text are installed before main runs.
#include "platform/freetype/FreeTypeText.h"
#include "support/TestBackends.h"

namespace {

[[maybe_unused]] const bool installed = [] {
    static wordlark::platform::freetype::FreeTypeText text;
    wordlark::test::installTestBackends(text);
    return true;
}();

}  // namespace
