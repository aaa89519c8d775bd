// heaptool -- builds, lists and unpacks the game's resource archive and single packed streams.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "Version.h"
#include "archive/Archive.h"
#include "archive/FileHandleCache.h"
#include "archive/FourCC.h"
#include "archive/Unpacker.h"
#include "heaptool/FileBuffer.h"
#include "heaptool/Manifest.h"
#include "heaptool/Packer.h"
#include "heaptool/PictureExporter.h"

namespace {

using namespace wordlark;

// The largest output `unpack` accepts from a stream header; far above any game asset.
constexpr std::uint32_t kMaxStreamOutput = 1u << 30;

int fail(const std::string& message)
{
    std::fprintf(stderr, "heaptool: %s\n", message.c_str());
    return 1;
}

constexpr const char* kUsage =
    "usage: heaptool build MANIFEST OUT\n"
    "       heaptool list ARCHIVE\n"
    "       heaptool extract ARCHIVE ENTRY OUT\n"
    "       heaptool export ARCHIVE DIR\n"
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

bool writeFile(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    return heaptool::FileBuffer::writeTo(path, data, size);
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
    // The method shows in the first stored byte, which the archive does not hand out.
    heaptool::FileBuffer file;
    if (!file.readFrom(path, &reason)) {
        return fail(reason);
    }
    std::printf("%-15s %-4s %10s %10s %10s %s\n", "name", "tag", "offset", "stored", "unpacked",
                "method");
    for (const archive::DirectoryRecord& record : archive->directory()) {
        int firstByte = -1;
        const std::uint64_t at = std::uint64_t{archive->dataBase()} + record.offset;
        if (record.storedSize != record.unpackedSize && record.storedSize > 0 && at < file.size()) {
            firstByte = file.data()[at];
        }
        std::printf("%-15s %-4s %10u %10u %10u %s\n", record.name,
                    archive::tagText(record.tag).c_str(), record.offset, record.storedSize,
                    record.unpackedSize, describeMethod(record, firstByte).c_str());
    }
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
    if (!writeFile(out, data, size)) {
        return fail("cannot write " + out);
    }
    archive->unloadEntry(entry);
    return 0;
}

int pack(const std::string& methodText, const std::string& in, const std::string& out)
{
    if (methodText != "1" && methodText != "2" && methodText != "3") {
        return fail("method must be 1, 2 or 3");
    }
    heaptool::FileBuffer data;
    std::string reason;
    if (!data.readFrom(in, &reason)) {
        return fail(reason);
    }
    if (data.size() > 0xFFFFFFFFu) {
        return fail(in + " is too large for one stream");
    }
    const auto stream = heaptool::packStream(methodText[0] - '0', {data.data(), data.size()});
    if (!writeFile(out, stream.data(), stream.size())) {
        return fail("cannot write " + out);
    }
    return 0;
}

int unpack(const std::string& in, const std::string& out)
{
    heaptool::FileBuffer stored;
    std::string reason;
    if (!stored.readFrom(in, &reason)) {
        return fail(reason);
    }
    const auto size = archive::packedOutputSize(stored.data(), stored.size());
    if (!size) {
        if (stored.size() > 0 && stored.data()[0] >= 1 && stored.data()[0] <= 3) {
            return fail(in + " is damaged: its stream header is cut short");
        }
        // Stored bytes that do not start a packed stream are the data themselves: the game
        // reads an entry stored so as it is, and the tool must agree.
        if (!writeFile(out, stored.data(), stored.size())) {
            return fail("cannot write " + out);
        }
        return 0;
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
    if (!writeFile(out, output.data(), output.size())) {
        return fail("cannot write " + out);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
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
    if (command == "pack" && args.size() == 5 && args[1] == "--method") {
        return pack(args[2], args[3], args[4]);
    }
    if (command == "unpack" && args.size() == 3) {
        return unpack(args[1], args[2]);
    }
    return usage();
}
