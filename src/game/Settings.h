// Settings.h -- the player's choices that outlast a run: how the window shows the frame.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/DisplayMode.h"

namespace wordlark::game {

inline constexpr std::string_view kSettingsFileName = "settings.json";
// A settings file is a few lines; anything much longer is not one, and is not read.
inline constexpr std::uint64_t kMaxSettingsBytes = 64 * 1024;

// The choices kept in a small JSON object ("scale": "fit" or 1 to 8, "fullscreen" and
// "smooth": true or false), read at start and written whole (a temporary file, then a rename)
// whenever the player changes one. The command line may ask for other values for one run:
// those are in force on the desktop, while the file keeps its own, and a change the player
// makes reaches the file for that field alone.
class Settings {
public:
    // Kept in the file at `path`; an empty path keeps nothing beyond the run. With
    // makeFolders, writing makes the folders above the file that are missing (the user's own
    // configuration folder on a first run).
    explicit Settings(std::string path = {}, bool makeFolders = false);

    // Reads the file. A missing one leaves the defaults and says nothing; every value that
    // cannot be taken (the file is no regular file, a link, too long, not JSON, or a key is
    // unknown or out of range) leaves its default, and the return is one line saying what
    // (empty when all was well).
    std::string load();

    // The values as the file holds them (defaults where it could not).
    const platform::DisplayMode& stored() const { return stored_; }
    const std::string& path() const { return path_; }

    // A choice of the player: `change` sets fields of a mode to the values chosen (it must set
    // them, not flip them). It is applied to the desktop's mode in force at once, and to the
    // file's own values, which are written when they changed. False, *why saying why in one
    // line, when the file could not be written; the choice is in force all the same.
    bool apply(const std::function<void(platform::DisplayMode&)>& change,
               std::string* why = nullptr);

    // Writes the stored values, with the keys of the file this run does not know kept.
    bool save(std::string* why = nullptr);

private:
    std::string path_;
    bool makeFolders_;
    platform::DisplayMode stored_;
    // The file's other keys as JSON text (an object), kept for whatever wrote them.
    std::string otherKeys_ = "{}";
    // The file does not hold stored_ as it stands (missing, or partly unreadable).
    bool stale_ = true;
};

}  // namespace wordlark::game
