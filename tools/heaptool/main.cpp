// heaptool -- builds, lists and unpacks the game's resource archive and single packed streams.
#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "Version.h"
#include "archive/Archive.h"
#include "archive/ArchiveRegistry.h"
#include "archive/FileHandleCache.h"
#include "archive/FourCC.h"
#include "archive/RegularFile.h"
#include "archive/Unpacker.h"
#include "heaptool/FileBuffer.h"
#include "heaptool/Manifest.h"
#include "heaptool/OutputFile.h"
#include "heaptool/Packer.h"
#include "heaptool/PictureExporter.h"
#include "platform/FileIo.h"
#include "words/Definitions.h"

namespace {

using namespace wordlark;

// The largest output `unpack` accepts from a stream header, and the largest input `pack`
// takes, so that whatever one makes the other reads; far above any game asset.
constexpr std::uint32_t kMaxStreamOutput = 1u << 30;
// A stream of data that does not pack is a little larger than the data.
constexpr std::uint64_t kMaxStreamInput = kMaxStreamOutput + (kMaxStreamOutput >> 3);

int fail(const std::string& message)
{
    std::fprintf(stderr, "heaptool: %s\n", message.c_str());
    return 1;
}

constexpr const char* kUsage =
    "usage: heaptool build MANIFEST OUT\n"
    "       heaptool list ARCHIVE\n"
    "       heaptool verify ARCHIVE\n"
    "       heaptool extract ARCHIVE ENTRY OUT\n"
    "       heaptool export ARCHIVE DIR\n"
    "       heaptool define ARCHIVE WORD\n"
    "       heaptool pack --method 1|2|3 IN OUT\n"
    "       heaptool unpack IN OUT\n"
    "       heaptool --version\n";

// A wrong command line is a failure like any other: one line, non-zero exit.
int usage()
{
    std::fputs("heaptool: unknown command or wrong arguments (heaptool --help lists them)\n",
               stderr);
    return 2;
}

// Writes an output made from `input`; 0 when written, else the failure's exit status.
int writeOutput(const std::string& input, const std::string& out, const std::uint8_t* data,
                std::size_t size)
{
    const heaptool::OutputFile output(out);
    std::string reason;
    if (!output.differsFrom(input, &reason) || !output.write({data, size}, &reason)) {
        return fail(reason);
    }
    return 0;
}

// Refuses an output that is an input before the input is read: `pack A A` would otherwise
// read A, then replace it.
bool outputIsInput(const std::string& input, const std::string& out)
{
    std::string reason;
    if (!heaptool::OutputFile(out).differsFrom(input, &reason)) {
        fail(reason);
        return true;
    }
    return false;
}

// The first stored byte of an entry, which shows its method; -1 when it cannot be read.
int firstStoredByte(int fd, std::uint64_t at)
{
    std::uint8_t byte = 0;
    return platform::readAt(fd, &byte, 1, at) == 1 ? byte : -1;
}

std::string describeMethod(const archive::DirectoryRecord& record, int firstByte)
{
    if (record.storedSize == record.unpackedSize) {
        return "plain";
    }
    if (firstByte >= 1 && firstByte <= 3) {
        return std::to_string(firstByte);
    }
    return "raw";
}

int list(const std::string& path)
{
    std::string reason;
    archive::FileHandleCache files;
    auto archive = archive::Archive::open(path, files, &reason);
    if (!archive) {
        return fail(reason);
    }
    // The method shows in the first stored byte, which the archive does not hand out; only
    // that byte is read, however large the file.
    const int fd = archive::openRegularFile(path, &reason);
    if (fd < 0) {
        return fail(reason);
    }
    std::printf("%-15s %-4s %10s %10s %10s %s\n", "name", "tag", "offset", "stored", "unpacked",
                "method");
    for (const archive::DirectoryRecord& record : archive->directory()) {
        int firstByte = -1;
        const std::uint64_t at = std::uint64_t{archive->dataBase()} + record.offset;
        if (record.storedSize != record.unpackedSize && record.storedSize > 0) {
            firstByte = firstStoredByte(fd, at);
        }
        std::printf("%-15s %-4s %10u %10u %10u %s\n", record.name,
                    archive::tagText(record.tag).c_str(), record.offset, record.storedSize,
                    record.unpackedSize, describeMethod(record, firstByte).c_str());
    }
    platform::closeFile(fd);
    return 0;
}

// Reads every entry as the game would and every piece the checksums list as it lies; one line
// on stderr for each that is damaged.
int verify(const std::string& path)
{
    std::string reason;
    archive::FileHandleCache files;
    auto archive = archive::Archive::open(path, files, &reason);
    if (!archive) {
        return fail(reason);
    }
    int damaged = 0;
    std::vector<std::string> seen;
    for (const archive::DirectoryRecord& record : archive->directory()) {
        const std::string name = record.name;
        // The archive finds the first record of a name; later ones are never read.
        if (std::find(seen.begin(), seen.end(), name) != seen.end()) {
            continue;
        }
        seen.push_back(name);
        std::uint32_t tag = 0;
        reason.clear();
        if (archive->loadEntry(name, &tag, &reason) || record.unpackedSize == 0) {
            archive->unloadEntry(name);
        } else {
            std::fprintf(stderr, "heaptool: %s\n", reason.c_str());
            ++damaged;
        }
    }
    // The pieces no record names (an animation's frames); the entries were read above.
    const archive::ChecksumTable* sums = archive->checksums();
    if (sums) {
        for (const archive::ChecksumTable::Record& piece : sums->records()) {
            const auto isEntry = [&piece](const archive::DirectoryRecord& record) {
                return record.offset == piece.offset && record.storedSize == piece.storedSize;
            };
            if (std::any_of(archive->directory().begin(), archive->directory().end(), isEntry)) {
                continue;
            }
            if (!archive->storedBytesMatch(piece, &reason)) {
                std::fprintf(stderr, "heaptool: %s\n", reason.c_str());
                ++damaged;
            }
        }
    }
    if (damaged > 0) {
        return 1;
    }
    std::printf("%s: %zu entries read whole%s\n", path.c_str(), seen.size(),
                sums ? ", every stored piece matches its checksum" : " (no checksums to match)");
    return 0;
}

int extract(const std::string& path, const std::string& entry, const std::string& out)
{
    std::string reason;
    archive::FileHandleCache files;
    auto archive = archive::Archive::open(path, files, &reason);
    if (!archive) {
        return fail(reason);
    }
    const archive::DirectoryRecord* record = archive->findEntry(entry);
    if (!record) {
        return fail("no entry '" + entry + "' in " + path);
    }
    const std::uint32_t size = record->unpackedSize;
    std::uint32_t tag = 0;
    const std::uint8_t* data = archive->loadEntry(entry, &tag, &reason);
    if (!data && size > 0) {
        return fail(reason);
    }
    const int status = writeOutput(path, out, data, size);
    archive->unloadEntry(entry);
    return status;
}

// A word's senses as the game shows them, one a line; 1 with one line when it has none.
int define(const std::string& path, const std::string& word)
{
    std::string reason;
    // The registry opens archives by file name in a folder, as the game does.
    const std::filesystem::path file(path);
    archive::ArchiveRegistry registry(
        file.parent_path().empty() ? std::string("./") : file.parent_path().string() + "/");
    if (!registry.openArchive(file.filename().string(), &reason)) {
        return fail(reason);
    }
    words::Definitions definitions(registry, file.filename().string());
    std::string upper = word;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const std::vector<std::string> lines = definitions.senseLines(upper);
    if (lines.empty()) {
        return fail(upper + ": no definition in " + path);
    }
    for (const std::string& line : lines) {
        std::puts(line.c_str());
    }
    return 0;
}

int pack(const std::string& methodText, const std::string& in, const std::string& out)
{
    if (methodText != "1" && methodText != "2" && methodText != "3") {
        return fail("method must be 1, 2 or 3");
    }
    if (outputIsInput(in, out)) {
        return 1;
    }
    heaptool::FileBuffer data;
    std::string reason;
    if (!data.readFrom(in, &reason, kMaxStreamOutput)) {
        return fail(reason);
    }
    const auto stream = heaptool::packStream(methodText[0] - '0', {data.data(), data.size()});
    return writeOutput(in, out, stream.data(), stream.size());
}

int unpack(const std::string& in, const std::string& out)
{
    if (outputIsInput(in, out)) {
        return 1;
    }
    heaptool::FileBuffer stored;
    std::string reason;
    if (!stored.readFrom(in, &reason, kMaxStreamInput)) {
        return fail(reason);
    }
    const auto size = archive::packedOutputSize(stored.data(), stored.size());
    if (!size) {
        if (stored.size() > 0 && stored.data()[0] >= 1 && stored.data()[0] <= 3) {
            return fail(in + " is damaged: its stream header is cut short");
        }
        // Stored bytes that do not start a packed stream are the data themselves: the game
        // reads an entry stored so as it is, and the tool must agree.
        return writeOutput(in, out, stored.data(), stored.size());
    }
    if (*size > kMaxStreamOutput) {
        return fail(in + " announces " + std::to_string(*size) +
                    " bytes, more than heaptool accepts");
    }
    heaptool::FileBuffer output(*size);
    if (!output.allocated()) {
        return fail("not enough memory for the " + std::to_string(*size) + " bytes of " + in);
    }
    const std::size_t produced =
        archive::unpack(output.data(), output.size(), stored.data(), stored.size());
    if (produced != output.size()) {
        return fail(in + " is damaged: " + std::to_string(produced) + " of " +
                    std::to_string(output.size()) + " bytes produced");
    }
    return writeOutput(in, out, output.data(), output.size());
}

}  // namespace

int main(int argc, char** argv)
{
    // A write past the file-size limit then fails with a message like a full disk, instead of
    // killing the tool half-way; the output it was replacing stays as it was.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        return usage();
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "--version" && args.size() == 1) {
        std::puts("heaptool " WORDLARK_VERSION);
        return 0;
    }
    if (command == "build" && args.size() == 3) {
        std::string error;
        if (!heaptool::Manifest::buildArchive(args[1], args[2], &error)) {
            return fail(error);
        }
        return 0;
    }
    if (command == "list" && args.size() == 2) {
        return list(args[1]);
    }
    if (command == "verify" && args.size() == 2) {
        return verify(args[1]);
    }
    if (command == "extract" && args.size() == 4) {
        return extract(args[1], args[2], args[3]);
    }
    if (command == "export" && args.size() == 3) {
        std::string error;
        if (!heaptool::PictureExporter::exportArchive(args[1], args[2], &error)) {
            return fail(error);
        }
        return 0;
    }
    if (command == "define" && args.size() == 3) {
        return define(args[1], args[2]);
    }
    if (command == "pack" && args.size() == 5 && args[1] == "--method") {
        return pack(args[2], args[3], args[4]);
    }
    if (command == "unpack" && args.size() == 3) {
        return unpack(args[1], args[2]);
    }
    return usage();
}
