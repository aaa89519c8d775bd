// ButtonRow.h -- one row of a panel class's static button table.
#pragma once

#include <cstdint>
#include <string_view>

namespace wordlark::panels {

class Button;

inline constexpr std::size_t kImageNameSize = 16;

// A table is a static array of rows, one array per panel class, ending with a row whose
// image name is empty (command id -1). The button column is filled in when a panel of the
// class is made, so at most one panel of a class exists at a time.
struct ButtonRow {
    std::int32_t commandId;
    char imageName[kImageNameSize];
    Button* button;

    // The name up to its NUL, never past the field.
    std::string_view name() const;
    bool isEnd() const { return imageName[0] == '\0'; }
};

}  // namespace wordlark::panels
