#include "app/CommandLine.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <functional>
#include <string_view>
#include <system_error>
#include <tuple>
#include <utility>

#include <CLI/CLI.hpp>

#include "Version.h"
#include "game/DailyDeal.h"
#include "platform/DisplayMode.h"

namespace wordlark::app {

namespace {

// The whole text must be the number; no sign, no spaces, nothing past the type's range.
template <typename Number>
std::optional<Number> parseNumber(std::string_view text)
{
    Number value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

// "WIDTHxHEIGHT" with both from 640 to 16384.
std::optional<std::pair<std::int32_t, std::int32_t>> parseScreen(std::string_view text)
{
    const std::size_t cross = text.find('x');
    if (cross == std::string_view::npos) {
        return std::nullopt;
    }
    const auto width = parseNumber<std::int32_t>(text.substr(0, cross));
    const auto height = parseNumber<std::int32_t>(text.substr(cross + 1));
    if (!width || !height || *width < 640 || *height < 480 || *width > 16384 || *height > 16384) {
        return std::nullopt;
    }
    return std::pair(*width, *height);
}

// "fit", or a whole scale from 1 to the largest.
std::optional<int> parseScale(std::string_view text)
{
    if (text == "fit") {
        return platform::kFitScale;
    }
    const auto n = parseNumber<int>(text);
    if (n && *n >= 1 && *n <= platform::kMaxScale) {
        return n;
    }
    return std::nullopt;
}

// A check CLI11 runs on an option's value: why it cannot be taken, or "" when it can.
CLI::Validator valueCheck(std::function<std::string(const std::string&)> why)
{
    return CLI::Validator([why = std::move(why)](std::string& value) { return why(value); }, "");
}

}  // namespace

CommandLine::CommandLine(const std::vector<std::string>& arguments)
{
    parse(arguments);
}

CommandLine::CommandLine(int argc, const char* const* argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.emplace_back(argv[i]);
    }
    parse(std::move(arguments));
}

std::string CommandLine::usage()
{
    return "usage: wordlark [--data DIR] [--seed N] [--scale N|fit] [--fullscreen] [--depth 8]\n"
           "       wordlark --headless [--seed N] [--data DIR] [--shots DIR]\n"
           "                [--screen WxH] --script FILE|-\n"
           "       wordlark [--deal CODE | --daily] [--date YYYY-MM-DD] ...\n"
           "       wordlark --export-history NAME [--data DIR]\n"
           "  --data DIR    read vek.heap and the save folder from DIR instead of the program's "
           "folder\n"
           "  --seed N      deal from a fixed random sequence\n"
           "  --scale N     show the window N times larger (1 to 8; lowered to what fits the\n"
           "                screen); fit, the default: the largest that fits\n"
           "  --fullscreen  fill the screen with the game\n"
           "  --depth 8     act as on a 256-colour desktop\n"
           "  --headless    play a replay script without a window\n"
           "  --script FILE the replay script ('-' reads standard input)\n"
           "  --shots DIR   where the script's shots are written (default: current folder)\n"
           "  --screen WxH  the headless screen's size (default 1920x1080)\n"
           "  --deal CODE   deal these twelve letters (? the joker) once a player is chosen\n"
           "  --daily       deal the day's deal once a player is chosen\n"
           "  --date YYYY-MM-DD\n"
           "                the day whose deal is the daily deal (from 2026-01-01)\n"
           "  --export-history NAME\n"
           "                write NAME's history of games as CSV to standard output\n"
           "  --help        show this text\n"
           "  --version     show the version\n";
}

void CommandLine::refuse(std::string what)
{
    std::replace(what.begin(), what.end(), '\n', ' ');
    error_ = "wordlark: " + what + " (see wordlark --help)\n";
    exitCode_ = 2;
}

void CommandLine::parse(std::vector<std::string> arguments)
{
    CLI::App cli("", "wordlark");
    cli.set_help_flag("--help");
    cli.set_version_flag("--version", std::string("wordlark ") + WORDLARK_VERSION);
    // Repeats are counted and refused below with a message of our own.
    cli.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);

    // An option takes the next word as its value whatever it looks like, so `--data --seed 3`
    // would read a folder named "--seed": a value like that is a forgotten one. An empty value
    // is usually an unset shell variable rather than a wish for the current folder.
    const CLI::Validator aValue = valueCheck([](const std::string& value) {
        if (value.empty()) {
            return std::string("needs a value");
        }
        return value.starts_with("--") ? "needs a value, not the option " + value : std::string();
    });
    std::string data;
    std::string seed;
    std::string scale;
    std::string depth;
    std::string screen;
    std::string script;
    bool fullscreen = false;
    CLI::Option* dataOption = cli.add_option("--data", data)->check(aValue);
    CLI::Option* seedOption =
        cli.add_option("--seed", seed)->check(aValue)->check(valueCheck([](const std::string& v) {
            return parseNumber<std::uint32_t>(v) ? std::string()
                                                 : "needs a number from 0 to 4294967295, not " + v;
        }));
    cli.add_option("--scale", scale)->check(aValue)->check(valueCheck([](const std::string& v) {
        return parseScale(v) ? std::string() : "needs 1 to 8 or fit, not " + v;
    }));
    CLI::Option* fullscreenOption = cli.add_flag("--fullscreen", fullscreen);
    cli.add_option("--depth", depth)->check(aValue)->check(valueCheck([](const std::string& v) {
        return v == "8" ? std::string() : "takes only 8, not " + v;
    }));
    cli.add_flag("--headless", options_.headless);
    CLI::Option* scriptOption =
        cli.add_option("--script", script)
            ->check(aValue)
            ->check(valueCheck([](const std::string& v) {
                // A folder opens and reads as an empty script, which would pass having done
                // nothing.
                std::error_code error;
                if (v == "-" || std::filesystem::is_regular_file(v, error)) {
                    return std::string();
                }
                return "needs a script file or -, not " + v;
            }));
    cli.add_option("--shots", options_.shots)->check(aValue);
    cli.add_option("--screen", screen)->check(aValue)->check(valueCheck([](const std::string& v) {
        return parseScreen(v) ? std::string() : "needs WIDTHxHEIGHT, not " + v;
    }));
    cli.get_option("--headless")->needs(scriptOption);
    scriptOption->needs(cli.get_option("--headless"));
    std::string exportName;
    CLI::Option* exportOption = cli.add_option("--export-history", exportName)->check(aValue);
    exportOption->excludes(cli.get_option("--headless"));
    std::string deal;
    std::string date;
    CLI::Option* dealOption =
        cli.add_option("--deal", deal)->check(aValue)->check(valueCheck([](const std::string& v) {
            std::string why;
            return game::DealCode::parse(v, &why) ? std::string() : why;
        }));
    CLI::Option* dailyOption = cli.add_flag("--daily", options_.daily);
    CLI::Option* dateOption =
        cli.add_option("--date", date)->check(aValue)->check(valueCheck([](const std::string& v) {
            return game::DailyDeal::parseDate(v)
                       ? std::string()
                       : "needs a date YYYY-MM-DD from 2026-01-01 on, not " + v;
        }));
    dealOption->excludes(dailyOption);

    try {
        // CLI11 takes its words last first.
        std::reverse(arguments.begin(), arguments.end());
        cli.parse(std::move(arguments));
    } catch (const CLI::CallForHelp&) {
        output_ = usage();
        exitCode_ = 0;
        return;
    } catch (const CLI::CallForVersion& version) {
        output_ = std::string(version.what()) + "\n";
        exitCode_ = 0;
        return;
    } catch (const CLI::ParseError& error) {
        refuse(error.what());
        return;
    }
    for (const CLI::Option* option : cli.get_options()) {
        if (option->count() > 1) {
            refuse(option->get_name() + " is given more than once");
            return;
        }
    }
#if defined(_WIN32)
    // The window's colours are the desktop's own.
    if (!depth.empty()) {
        refuse("--depth is not available in the Windows build");
        return;
    }
#endif

    if (dataOption->count() > 0) {
        options_.data = data;
    }
    if (seedOption->count() > 0) {
        options_.seed = parseNumber<std::uint32_t>(seed);
    }
    if (!scale.empty()) {
        options_.scale = parseScale(scale);
    }
    if (fullscreenOption->count() > 0) {
        options_.fullscreen = true;
    }
    if (!depth.empty()) {
        options_.depth = 8;
    }
    if (!screen.empty()) {
        std::tie(options_.screenWidth, options_.screenHeight) = *parseScreen(screen);
    }
    if (scriptOption->count() > 0) {
        options_.script = script;
    }
    if (exportOption->count() > 0) {
        options_.exportHistory = exportName;
    }
    if (dealOption->count() > 0) {
        options_.deal = game::DealCode::parse(deal);
    }
    if (dateOption->count() > 0) {
        options_.day = game::DailyDeal::parseDate(date);
    }
}

}  // namespace wordlark::app
