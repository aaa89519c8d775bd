#include "game/Settings.h"

#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "archive/RegularFile.h"
#include "platform/Desktop.h"
#include "platform/FileIo.h"
#include "platform/FileSystem.h"
#include "platform/ProgramFolder.h"

namespace wordlark::game {

namespace {

using Json = nlohmann::ordered_json;

constexpr char kScale[] = "scale";
constexpr char kFullScreen[] = "fullscreen";
constexpr char kSmooth[] = "smooth";
constexpr char kFit[] = "fit";
// A save writes the file under this name first (beside it) and renames it when it is whole.
constexpr char kTemporaryPrefix[] = ".settings-";
// Deeper nesting than this is no settings file; refusing it spares the parser and the writer
// their recursion over a hostile file.
constexpr int kMaxDepth = 16;
// Unknown keys named in the one line about a file, at most; their names at most this long.
constexpr std::size_t kNamedKeys = 3;
constexpr std::size_t kShownKeyLength = 24;

bool nestedTooDeep(const std::vector<std::uint8_t>& bytes)
{
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    for (const std::uint8_t c : bytes) {
        if (inString) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kMaxDepth) {
                return true;
            }
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return false;
}

// A key as the one line may show it: printable, and short.
std::string shownKey(const std::string& key)
{
    std::string shown = "\"";
    for (const char c : key.substr(0, kShownKeyLength)) {
        shown += c >= ' ' && c < 0x7F && c != '"' ? c : '?';
    }
    return shown + (key.size() > kShownKeyLength ? "...\"" : "\"");
}

std::string joined(const std::vector<std::string>& parts)
{
    std::string line;
    for (const std::string& part : parts) {
        line += (line.empty() ? "" : ", ") + part;
    }
    return line;
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of(platform::kPathSeparators);
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string systemReason(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

}  // namespace

Settings::Settings(std::string path, bool makeFolders)
    : path_(std::move(path)), makeFolders_(makeFolders)
{
}

std::string Settings::load()
{
    stored_ = {};
    otherKeys_ = "{}";
    stale_ = true;
    if (path_.empty()) {
        return {};
    }
    const platform::FileKind kind = platform::kindOfPath(path_, false);
    if (kind == platform::FileKind::Missing) {
        return {};
    }
    const std::string fallback = "; the default settings are used";
    // A link could make the game read whatever it points at, or a FIFO stall it: only the
    // regular file itself is read.
    if (kind == platform::FileKind::Link) {
        return path_ + " is a link, not read" + fallback;
    }
    std::vector<std::uint8_t> bytes;
    std::string reason;
    if (!archive::readRegularFile(path_, &bytes, &reason, kMaxSettingsBytes, false)) {
        return reason + fallback;
    }
    Json file = nestedTooDeep(bytes) ? Json(Json::value_t::discarded)
                                     : Json::parse(bytes.begin(), bytes.end(), nullptr, false);
    if (file.is_discarded() || !file.is_object()) {
        return path_ + " is not a JSON object" + fallback;
    }

    std::vector<std::string> problems;
    std::vector<std::string> unknown;
    Json others = Json::object();
    for (auto& [key, value] : file.items()) {
        if (key == kScale) {
            if (value.is_string() && value.get<std::string>() == kFit) {
                stored_.scale = platform::kFitScale;
            } else if (value.is_number_integer() && value.get<std::int64_t>() >= 1 &&
                       value.get<std::int64_t>() <= platform::kMaxScale) {
                stored_.scale = value.get<int>();
            } else {
                problems.push_back("\"scale\" is not \"fit\" or 1 to " +
                                   std::to_string(platform::kMaxScale));
            }
        } else if (key == kFullScreen || key == kSmooth) {
            bool& field = key == kFullScreen ? stored_.fullscreen : stored_.smooth;
            if (value.is_boolean()) {
                field = value.get<bool>();
            } else {
                problems.push_back(shownKey(key) + " is not true or false");
            }
        } else {
            unknown.push_back(key);
            others[key] = std::move(value);
        }
    }
    otherKeys_ = others.dump();
    if (!unknown.empty()) {
        std::vector<std::string> named;
        for (std::size_t i = 0; i < unknown.size() && i < kNamedKeys; ++i) {
            named.push_back(shownKey(unknown[i]));
        }
        std::string line =
            "unknown " + std::string(unknown.size() == 1 ? "key " : "keys ") + joined(named);
        if (unknown.size() > kNamedKeys) {
            line += " and " + std::to_string(unknown.size() - kNamedKeys) + " more";
        }
        problems.push_back(line + " ignored");
    }
    if (problems.empty()) {
        stale_ = false;
        return {};
    }
    return path_ + ": " + joined(problems) + "; the defaults are used for them";
}

bool Settings::apply(const std::function<void(platform::DisplayMode&)>& change, std::string* why)
{
    platform::Desktop& desktop = platform::desktop();
    platform::DisplayMode inForce = desktop.displayMode();
    change(inForce);
    if (!(inForce == desktop.displayMode())) {
        desktop.setDisplayMode(inForce);
    }
    const platform::DisplayMode before = stored_;
    change(stored_);
    if (stored_ == before && !stale_) {
        return true;
    }
    return save(why);
}

bool Settings::save(std::string* why)
{
    auto fail = [why](std::string reason) {
        if (why != nullptr) {
            *why = std::move(reason);
        }
        return false;
    };
    if (path_.empty()) {
        return true;
    }
    Json file = Json::object();
    file[kScale] = stored_.scale == platform::kFitScale ? Json(kFit) : Json(stored_.scale);
    file[kFullScreen] = stored_.fullscreen;
    file[kSmooth] = stored_.smooth;
    Json others = Json::parse(otherKeys_, nullptr, false);
    for (auto& [key, value] : others.items()) {
        file[key] = std::move(value);
    }
    const std::string text = file.dump(2) + "\n";

    // The temporary file lies beside the settings, so that the rename cannot cross file
    // systems; it is made new (never through a link) and readable by its owner alone, and the
    // rename replaces whatever stands at the name, a link included, without following it.
    const std::string folder = folderOf(path_);
    if (makeFolders_) {
        for (std::size_t slash = folder.find_first_of(platform::kPathSeparators, 1);
             slash != std::string::npos;
             slash = folder.find_first_of(platform::kPathSeparators, slash + 1)) {
            platform::makeFolder(folder.substr(0, slash));
        }
        platform::makeFolder(folder);
    }
    std::string temporary = folder + platform::kPathSeparator + kTemporaryPrefix + "XXXXXX";
    const int fd = platform::createTemporaryFile(temporary);
    if (fd < 0) {
        return fail(systemReason("cannot write " + path_));
    }
    std::string reason;
    if (!platform::writeAll(fd, text.data(), text.size()) || !platform::syncFile(fd)) {
        reason = systemReason("cannot write " + path_);
    }
    if (!platform::closeFile(fd) && reason.empty()) {
        reason = systemReason("cannot write " + path_);
    }
    if (reason.empty() && !platform::replaceFile(temporary, path_)) {
        reason = systemReason("cannot replace " + path_);
    }
    if (!reason.empty()) {
        platform::removeFile(temporary);
        return fail(std::move(reason));
    }
    platform::syncFolder(folder);
    stale_ = false;
    return true;
}

}  // namespace wordlark::game
