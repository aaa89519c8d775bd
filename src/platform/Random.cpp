#include "platform/Random.h"

namespace wordlark::platform {

Random& gameRandom()
{
    static Random generator;
    return generator;
}

}  // namespace wordlark::platform
