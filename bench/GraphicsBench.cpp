// GraphicsBench -- composing a full frame (background, tiles, text) and the 8-bit conversion pass.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "archive/Archive.h"
#include "archive/ArchiveRegistry.h"
#include "graphics/Display.h"
#include "graphics/ImageResource.h"
#include "graphics/PictureClasses.h"
#include "heaptool/ArchiveWriter.h"
#include "heaptool/PictureBuilder.h"

namespace {

using namespace wordlark;

// A small archive in a scratch folder: a 640 x 480 "fon6" background and a 40 x 42 "gla0" tile
// whose corners and a bar are transparent.
class Scene {
public:
    Scene()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "wordlark-bench-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
        heaptool::ArchiveWriter writer;
        std::vector<std::uint16_t> back(640 * 480);
        for (std::size_t i = 0; i < back.size(); ++i) {
            back[i] = static_cast<std::uint16_t>(i * 2654435761u >> 16);
        }
        writer.addEntry("back", "fon6",
                        heaptool::PictureBuilder::direct({0, 0, 0, 0}, 640, 480, back));
        std::vector<std::uint16_t> palette(256, 0x0000);
        for (int i = 1; i < 256; ++i) {
            palette[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(0x1234 + i * 97);
        }
        std::vector<std::uint8_t> indices(40 * 42);
        for (int y = 0; y < 42; ++y) {
            for (int x = 0; x < 40; ++x) {
                const bool clear = ((x < 3 || x > 36) && (y < 3 || y > 38)) || (y > 18 && y < 24);
                indices[static_cast<std::size_t>(y * 40 + x)] =
                    clear ? 0 : static_cast<std::uint8_t>(1 + (x + y) % 200);
            }
        }
        writer.addEntry(
            "tile", "gla0",
            heaptool::PictureBuilder::palettised("gla0", {0, 0, 0, 0}, 40, 42, palette, indices));
        const std::vector<std::uint8_t> bytes = writer.build("bench.heap");
        FILE* out = std::fopen((folder_ / "bench.heap").c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);

        graphics::registerPictureClasses();
        graphics::display().open(1);
        registry_ = std::make_unique<archive::ArchiveRegistry>(folder_.string() + "/");
        archive::Archive* archive = registry_->openArchive("bench.heap");
        back_ = dynamic_cast<graphics::ImageResource*>(archive->makeObject("back"));
        tile_ = dynamic_cast<graphics::ImageResource*>(archive->makeObject("tile"));
        back_->load();
        tile_->load();
    }
    ~Scene()
    {
        registry_.reset();
        graphics::display().close();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    bool ready() const { return back_ && tile_ && back_->isLoaded() && tile_->isLoaded(); }

    void compose()
    {
        graphics::Display& d = graphics::display();
        back_->draw();
        for (int i = 0; i < 40; ++i) {
            tile_->drawAt(16 + 42 * (i % 12), 119 + 97 * (i / 12));
        }
        d.setTextColor(0x000000);
        d.setBackMode(graphics::kBackTransparent);
        d.setFontParameter(0, 16);
        d.setFontParameter(1, 6);
        for (int i = 0; i < 10; ++i) {
            d.drawTextBox(425, 60 + 20 * i, 70, 19, "1234", graphics::kTextCenter);
        }
    }

private:
    std::filesystem::path folder_;
    std::unique_ptr<archive::ArchiveRegistry> registry_;
    graphics::ImageResource* back_ = nullptr;
    graphics::ImageResource* tile_ = nullptr;
};

void composeFrame(benchmark::State& state)
{
    Scene scene;
    if (!scene.ready()) {
        state.SkipWithError("the scene's pictures did not load");
        return;
    }
    for (auto _ : state) {
        scene.compose();
        benchmark::DoNotOptimize(graphics::display().backBuffer().pixels);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(composeFrame)->Unit(benchmark::kMicrosecond);

void convertToEightBit(benchmark::State& state)
{
    std::vector<std::uint16_t> frame(640 * 480);
    for (std::size_t i = 0; i < frame.size(); ++i) {
        frame[i] = static_cast<std::uint16_t>(i * 40503u);
    }
    std::vector<std::uint8_t> indexed(640 * 480);
    const platform::Surface source{reinterpret_cast<std::uint8_t*>(frame.data()), 640, 480, 1280,
                                   16};
    const platform::Surface target{indexed.data(), 640, 480, 640, 8};
    for (auto _ : state) {
        graphics::convertFrame(source, target);
        benchmark::DoNotOptimize(indexed.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(convertToEightBit)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
