// main.cpp -- the entry point: command line, program folder, start-up checks.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>

#include "archive/ArchiveRegistry.h"
#include "graphics/PictureClasses.h"
#include "platform/ProgramFolder.h"
#include "platform/Random.h"
#include "words/Dictionary.h"

namespace {

using namespace wordlark;

void printUsage()
{
    std::puts(
        "usage: wordlark [--data DIR] [--seed N]\n"
        "  --data DIR   read vek.heap and the save folder from DIR instead of the program's "
        "folder\n"
        "  --seed N     deal from a fixed random sequence\n"
        "  --help       show this text\n"
        "  --version    show the version");
}

}  // namespace

int main(int argc, char** argv)
{
    bool seeded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help") {
            printUsage();
            return 0;
        }
        if (arg == "--version") {
            std::printf("wordlark %s\n", WORDLARK_VERSION);
            return 0;
        }
        if ((arg == "--data" || arg == "--seed") && i + 1 < argc) {
            if (arg == "--seed") {
                char* end = nullptr;
                const unsigned long seed = std::strtoul(argv[i + 1], &end, 10);
                if (end == argv[i + 1] || *end != '\0') {
                    std::fprintf(stderr, "wordlark: --seed needs a number, not '%s'\n",
                                 argv[i + 1]);
                    return 2;
                }
                platform::gameRandom().seed(static_cast<std::uint32_t>(seed));
                seeded = true;
            }
            ++i;
            continue;
        }
        std::fprintf(stderr, "wordlark: unknown argument '%s' (see --help)\n", argv[i]);
        return 2;
    }
    if (!seeded) {
        platform::gameRandom().seed(static_cast<std::uint32_t>(std::time(nullptr)));
    }

    const std::string folder = platform::programFolderFromArgs(argc, argv);
    platform::setProgramFolder(folder);

    graphics::registerPictureClasses();
    archive::ArchiveRegistry registry(folder);
    words::Dictionary dictionary(folder, [] { return std::string(); });
    if (!dictionary.load(registry)) {
        std::fprintf(stderr, "wordlark: cannot read the word list from %svek.heap\n",
                     folder.c_str());
        return 1;
    }
    std::printf(
        "wordlark: %u words ready in %svek.heap; the game window comes with a later build\n",
        dictionary.count(), folder.c_str());
    return 0;
}
