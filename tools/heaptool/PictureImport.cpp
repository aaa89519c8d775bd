#include "heaptool/PictureImport.h"

#include <charconv>
#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "archive/Archive.h"
#include "archive/RegularFile.h"
#include "heaptool/PictureBuilder.h"
#include "platform/png/PngImage.h"

namespace wordlark::heaptool {

namespace {

// More frames than any animation of the game needs; a typo must not read thousands of files.
constexpr int kMaxFrames = 1000;
constexpr std::string_view kFramePlaceholder = "{n}";

std::string at(const ManifestLine& line)
{
    return "line " + std::to_string(line.lineNumber) + ": ";
}

bool parseInt(std::string_view text, std::int32_t* value)
{
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, *value);
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

bool isPlacementKey(std::string_view key)
{
    return key == "x" || key == "y" || key == "dx" || key == "dy";
}

// A per-frame placement key such as "dx.2": the base key and the frame number.
bool framePlacementKey(std::string_view key, std::string_view* base, std::int32_t* frame)
{
    const auto dot = key.find('.');
    if (dot == std::string_view::npos) {
        return false;
    }
    *base = key.substr(0, dot);
    return isPlacementKey(*base) && parseInt(key.substr(dot + 1), frame) && *frame >= 0;
}

bool checkOptions(const ManifestLine& line, std::string* error)
{
    for (const auto& [key, value] : line.options) {
        std::string_view base;
        std::int32_t number = 0;
        if (key == "store") {
            continue;
        }
        if (isPlacementKey(key) ||
            (line.kind == "ani0" && framePlacementKey(key, &base, &number))) {
            if (!parseInt(value, &number)) {
                *error = at(line) + key + "= needs an integer, not '" + value + "'";
                return false;
            }
            continue;
        }
        if (line.kind == "ani0" && key == "frames") {
            if (!parseInt(value, &number) || number < 1 || number > kMaxFrames) {
                *error = at(line) + "frames= needs a count from 1 to " + std::to_string(kMaxFrames);
                return false;
            }
            if (line.source.find(kFramePlaceholder) == std::string::npos) {
                *error = at(line) + "frames= needs {n} in the source name";
                return false;
            }
            continue;
        }
        if ((line.kind == "bitm" || line.kind == "bit6") && (key == "source" || key == "stride")) {
            if (key == "stride" && (!parseInt(value, &number) || number < 0)) {
                *error = at(line) + "stride= needs a byte count";
                return false;
            }
            if (key == "source" && (value.empty() || value.size() > 15)) {
                *error = at(line) + "source= needs an entry name of 1 to 15 characters";
                return false;
            }
            continue;
        }
        *error = at(line) + "option " + key + "= does not apply to kind " + line.kind;
        return false;
    }
    if ((line.kind == "bitm" || line.kind == "bit6") && !line.options.count("source")) {
        *error = at(line) + "a mask needs source=ENTRY";
        return false;
    }
    return true;
}

// The placement for one frame (-1: a plain picture): the line's x=, y=, dx=, dy=, then
// the frame's own ones.
PicturePlacement placementOf(const ManifestLine& line, int frame)
{
    PicturePlacement placement;
    const std::pair<const char*, std::int32_t*> fields[] = {
        {"x", &placement.x}, {"y", &placement.y}, {"dx", &placement.dx}, {"dy", &placement.dy}};
    for (const auto& [key, field] : fields) {
        auto it = line.options.find(key);
        if (it != line.options.end()) {
            parseInt(it->second, field);
        }
        if (frame >= 0) {
            it = line.options.find(std::string(key) + "." + std::to_string(frame));
            if (it != line.options.end()) {
                parseInt(it->second, field);
            }
        }
    }
    return placement;
}

bool readSource(const ManifestLine& line, const std::filesystem::path& path,
                platform::PngImage* image, std::string* error)
{
    // Read here rather than by the PNG reader's own open, which would wait for ever on a FIFO.
    std::vector<std::uint8_t> bytes;
    std::string reason;
    if (!archive::readRegularFile(path.string(), &bytes, &reason, archive::kMaxUnpackedSize)) {
        *error = at(line) + reason;
        return false;
    }
    if (!platform::readPngMemory(bytes.data(), bytes.size(), *image, &reason)) {
        *error = at(line) + path.string() + ": " + reason;
        return false;
    }
    return true;
}

RgbaView viewOf(const platform::PngImage& image)
{
    return RgbaView{image.rgba.data(), image.width, image.height};
}

// The frame files of an animation: SOURCE with {n} replaced by 0 .. frames-1, or SOURCE as a
// comma-separated list.
std::vector<std::string> frameFiles(const ManifestLine& line)
{
    std::vector<std::string> files;
    const auto frames = line.options.find("frames");
    if (frames != line.options.end()) {
        std::int32_t count = 0;
        parseInt(frames->second, &count);
        const auto where = line.source.find(kFramePlaceholder);
        for (std::int32_t i = 0; i < count; ++i) {
            std::string file = line.source;
            file.replace(where, kFramePlaceholder.size(), std::to_string(i));
            files.push_back(file);
        }
        return files;
    }
    std::size_t start = 0;
    while (start <= line.source.size()) {
        const auto comma = line.source.find(',', start);
        const auto end = comma == std::string::npos ? line.source.size() : comma;
        if (end > start) {
            files.push_back(line.source.substr(start, end - start));
        }
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    return files;
}

}  // namespace

bool PictureImport::isPictureKind(std::string_view kind)
{
    return kind == "gla0" || kind == "fon0" || kind == "fon6" || kind == "ani0" || kind == "bitm" ||
           kind == "bit6";
}

std::vector<std::string> PictureImport::sourceFiles(const ManifestLine& line)
{
    return line.kind == "ani0" ? frameFiles(line) : std::vector<std::string>{line.source};
}

bool PictureImport::check(const Manifest& manifest, std::string* error)
{
    std::map<std::string, std::string> kinds;
    for (const ManifestLine& line : manifest.lines()) {
        kinds.emplace(line.name, line.kind);
    }
    for (const ManifestLine& line : manifest.lines()) {
        if (!isPictureKind(line.kind)) {
            continue;
        }
        if (!checkOptions(line, error)) {
            return false;
        }
        if (line.kind != "bitm" && line.kind != "bit6") {
            continue;
        }
        const std::string& source = line.options.at("source");
        const auto found = kinds.find(source);
        if (found == kinds.end()) {
            *error = at(line) + "source '" + source + "' is not an entry of this manifest";
            return false;
        }
        const std::set<std::string> fits = line.kind == "bitm"
                                               ? std::set<std::string>{"gla0", "fon0", "ani0"}
                                               : std::set<std::string>{"fon6"};
        if (!fits.count(found->second)) {
            *error = at(line) + "a " + line.kind + " mask cannot cut from '" + source + "', a " +
                     found->second + " entry";
            return false;
        }
    }
    return true;
}

bool PictureImport::add(const ManifestLine& line, const std::filesystem::path& folder,
                        Storage storage, ArchiveWriter& writer, std::string* error)
{
    std::string reason;
    if (line.kind == "ani0") {
        const std::vector<std::string> files = frameFiles(line);
        if (files.empty()) {
            *error = at(line) + "an animation needs at least one frame";
            return false;
        }
        AnimationWriter animation(writer);
        for (std::size_t i = 0; i < files.size(); ++i) {
            platform::PngImage image;
            std::vector<std::uint8_t> frame;
            if (!readSource(line, folder / files[i], &image, error)) {
                return false;
            }
            if (!PictureBuilder::palettisedFromRgba("gla0", placementOf(line, static_cast<int>(i)),
                                                    viewOf(image), &frame, &reason)) {
                *error = at(line) + files[i] + ": " + reason;
                return false;
            }
            animation.addFrame(std::move(frame), storage);
        }
        animation.finish(line.name, line.tag, storage);
        return true;
    }
    platform::PngImage image;
    if (!readSource(line, folder / line.source, &image, error)) {
        return false;
    }
    const PicturePlacement placement = placementOf(line, -1);
    std::vector<std::uint8_t> content;
    if (line.kind == "gla0" || line.kind == "fon0") {
        if (!PictureBuilder::palettisedFromRgba(line.kind, placement, viewOf(image), &content,
                                                &reason)) {
            *error = at(line) + line.source + ": " + reason;
            return false;
        }
    } else if (line.kind == "fon6") {
        content = PictureBuilder::directFromRgba(placement, viewOf(image));
    } else {
        std::int32_t stride = 0;
        if (const auto it = line.options.find("stride"); it != line.options.end()) {
            parseInt(it->second, &stride);
        }
        content = PictureBuilder::mask(line.kind, placement, image.width, image.height,
                                       PictureBuilder::shapeFromRgba(viewOf(image)),
                                       line.options.at("source"), stride);
    }
    writer.addEntry(line.name, line.tag, std::move(content), storage);
    return true;
}

}  // namespace wordlark::heaptool
