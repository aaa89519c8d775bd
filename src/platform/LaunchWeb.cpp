// The browser starts no programs: a page has neither processes nor a desktop's opener. Its help
// opens in a tab of the browser (web/WebDesktop).
#include "platform/Launch.h"

namespace wordlark::platform {

bool isExecutableFile(const std::string&)
{
    return false;
}

bool startDetached(const std::string&)
{
    return false;
}

bool startFromMiddleChild(const std::function<bool()>&)
{
    return false;
}

bool openHelpPage(const std::string& path, std::string* why)
{
    if (why != nullptr) {
        *why = path + ": a page opens no programs";
    }
    return false;
}

}  // namespace wordlark::platform
