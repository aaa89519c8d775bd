#include "panels/PanelHost.h"

namespace wordlark::panels {

namespace {
PanelHost* currentHost = nullptr;
std::int32_t lastPointerX = 0;
std::int32_t lastPointerY = 0;
}  // namespace

PanelHost* panelHost()
{
    return currentHost;
}

void setPanelHost(PanelHost* host)
{
    currentHost = host;
}

std::int32_t& pointerX()
{
    return lastPointerX;
}

std::int32_t& pointerY()
{
    return lastPointerY;
}

}  // namespace wordlark::panels
