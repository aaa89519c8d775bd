#include "heaptool/PictureExporter.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <vector>

#include "archive/Archive.h"
#include "archive/Endian.h"
#include "archive/FileHandleCache.h"
#include "archive/FourCC.h"
#include "heaptool/ContactSheet.h"
#include "heaptool/OutputFile.h"
#include "heaptool/PictureDecoder.h"

namespace wordlark::heaptool {

namespace {

constexpr std::size_t kTableStart = 12;
constexpr std::size_t kFrameRecordSize = 12;

// Entry names may hold anything but NUL; file names get letters, digits, '-' and '_' only.
std::string fileStem(const std::string& name)
{
    std::string stem;
    for (const char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_';
        stem += plain ? c : '_';
    }
    return stem.empty() ? "_" : stem;
}

std::string frameSuffix(std::uint32_t frame)
{
    char text[16];
    std::snprintf(text, sizeof text, ".f%03u", frame);
    return text;
}

std::string headerText(const PictureHeaderValues& h)
{
    return "x=" + std::to_string(h.x) + " y=" + std::to_string(h.y) +
           " dx=" + std::to_string(h.dx) + " dy=" + std::to_string(h.dy) +
           " width=" + std::to_string(h.width) + " height=" + std::to_string(h.height);
}

class Export {
public:
    Export(archive::Archive& archive, std::string archivePath, std::filesystem::path dir,
           std::uint64_t fileSize)
        : archive_(archive),
          archivePath_(std::move(archivePath)),
          dir_(std::move(dir)),
          fileSize_(fileSize)
    {
    }

    bool run(std::string* error)
    {
        std::set<std::string> seen;
        for (const archive::DirectoryRecord& record : archive_.directory()) {
            const std::string name = record.name;
            // The archive finds the first record of a name; later ones are unreachable.
            if (!seen.insert(name).second) {
                continue;
            }
            if (!exportEntry(record) && writeFailed_) {
                *error = writeError_;
                return false;
            }
        }
        int omitted = 0;
        const platform::PngImage sheet = sheet_.compose(&omitted);
        if (omitted > 0) {
            headers_ << "# contact sheet: " << omitted << " pictures left off (sheet full)\n";
        }
        if (!writePng("contact-sheet.png", sheet, error)) {
            return false;
        }
        const std::string text = "# name tag file header\n" + headers_.str();
        const OutputFile headers((dir_ / "headers.txt").string());
        if (!headers.differsFrom(archivePath_, error) ||
            !headers.write({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()},
                           error)) {
            return false;
        }
        if (damaged_ > 0) {
            *error = std::to_string(damaged_) +
                     " damaged picture entries or frames were left out (see headers.txt)";
            return false;
        }
        return true;
    }

private:
    // The entry's bytes, shared by the archive until released.
    struct Content {
        archive::Archive* archive = nullptr;
        std::string name;
        const std::uint8_t* data = nullptr;
        std::size_t size = 0;
        ~Content()
        {
            if (data) {
                archive->unloadEntry(name);
            }
        }
    };

    bool load(const archive::DirectoryRecord& record, Content* content)
    {
        if (!insideFile(record.offset, record.storedSize)) {
            return false;
        }
        std::uint32_t tag = 0;
        content->archive = &archive_;
        content->name = record.name;
        content->data = archive_.loadEntry(record.name, &tag);
        content->size = record.unpackedSize;
        return content->data != nullptr;
    }

    bool exportEntry(const archive::DirectoryRecord& record)
    {
        const std::string name = record.name;
        const std::string tag = archive::tagText(record.tag);
        Content content;
        if (!load(record, &content)) {
            if (record.unpackedSize > 0 && isPictureTag(tag)) {
                note(name + " " + tag + " damaged: the entry cannot be read");
            }
            return false;
        }
        if (tag == "ani0") {
            return exportAnimation(name, content);
        }
        DecodedPicture picture;
        std::string reason;
        bool decoded = false;
        switch (PictureDecoder::kindOf(content.data, content.size)) {
            case PictureDecoder::Kind::Palettised: {
                const bool transparent = std::memcmp(content.data, "gla0", 4) == 0;
                decoded = PictureDecoder::palettised(content.data, content.size, transparent,
                                                     &picture, &reason);
                break;
            }
            case PictureDecoder::Kind::Direct:
                decoded = PictureDecoder::direct(content.data, content.size, &picture, &reason);
                break;
            case PictureDecoder::Kind::Mask: {
                platform::PngImage source;
                const bool haveSource = maskSource(content.data, content.size, &source);
                decoded = PictureDecoder::mask(content.data, content.size,
                                               haveSource ? &source : nullptr, &picture, &reason);
                break;
            }
            case PictureDecoder::Kind::Other:
                if (isPictureTag(tag)) {
                    headers_ << name << ' ' << tag << " - content tag '" << printable(content)
                             << "' draws nothing\n";
                }
                return false;
        }
        if (!decoded) {
            note(name + " " + tag + " damaged: " + reason);
            return false;
        }
        std::string line = name + " " + tag + " " + fileStem(name) +
                           ".png content=" + picture.contentTag + " " + headerText(picture.header);
        if (picture.contentTag == "bitm" || picture.contentTag == "bit6") {
            line += " stride=" + std::to_string(picture.maskStride) +
                    " source=" + (picture.sourceName.empty() ? "-" : picture.sourceName);
        }
        return write(fileStem(name) + ".png", name, picture.image, line);
    }

    bool exportAnimation(const std::string& name, const Content& content)
    {
        if (content.size < kTableStart) {
            note(name + " ani0 damaged: the frame table has no count");
            return false;
        }
        const std::uint32_t declared = archive::readLe32(content.data + 8);
        const std::size_t held = (content.size - kTableStart) / kFrameRecordSize;
        const std::size_t count = std::min<std::size_t>(declared, held);
        headers_ << name << " ani0 frames=" << declared;
        if (declared != held) {
            headers_ << " (the table holds " << held << ")";
        }
        headers_ << '\n';
        if (declared > held) {
            note(name + " ani0 damaged: " + std::to_string(declared - held) +
                 " frames have no record");
        }
        bool allWritten = true;
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* record = content.data + kTableStart + i * kFrameRecordSize;
            const std::uint32_t offset = archive::readLe32(record);
            const std::uint32_t size = archive::readLe32(record + 4);
            const std::uint32_t stored = archive::readLe32(record + 8);
            const auto frame = static_cast<std::uint32_t>(i);
            const std::string label = name + " #" + std::to_string(frame);
            if (size > archive::kMaxUnpackedSize) {
                note(label + " damaged: frame of " + std::to_string(size) + " bytes");
                allWritten = false;
                continue;
            }
            if (!insideFile(offset, stored)) {
                note(label + " damaged: the frame reaches outside the archive");
                allWritten = false;
                continue;
            }
            std::vector<std::uint8_t> data(size);
            if (archive_.readEntry(offset, data.data(), size, stored) != size) {
                note(label + " damaged: the frame cannot be read");
                allWritten = false;
                continue;
            }
            DecodedPicture picture;
            std::string reason;
            if (!PictureDecoder::palettised(data.data(), data.size(), true, &picture, &reason)) {
                note(label + " damaged: " + reason);
                allWritten = false;
                continue;
            }
            const std::string file = fileStem(name) + frameSuffix(frame) + ".png";
            const std::string line = name + " ani0 " + file + " frame=" + std::to_string(frame) +
                                     " " + headerText(picture.header);
            if (!write(file, label, picture.image, line)) {
                return false;
            }
        }
        return allWritten;
    }

    // The mask's source as an opaque picture in frame coordinates (an animation's frame 0).
    bool maskSource(const std::uint8_t* mask, std::size_t size, platform::PngImage* source)
    {
        if (size < 52) {
            return false;
        }
        char name[16] = {};
        std::memcpy(name, mask + 36, 15);
        const archive::DirectoryRecord* record = archive_.findEntry(name);
        if (!record) {
            return false;
        }
        Content content;
        if (!load(*record, &content)) {
            return false;
        }
        DecodedPicture picture;
        std::string ignored;
        if (archive::tagText(record->tag) == "ani0") {
            if (content.size < kTableStart + kFrameRecordSize ||
                archive::readLe32(content.data + 8) == 0) {
                return false;
            }
            const std::uint32_t offset = archive::readLe32(content.data + 12);
            const std::uint32_t frameSize = archive::readLe32(content.data + 16);
            const std::uint32_t stored = archive::readLe32(content.data + 20);
            if (frameSize > archive::kMaxUnpackedSize || !insideFile(offset, stored)) {
                return false;
            }
            std::vector<std::uint8_t> data(frameSize);
            if (archive_.readEntry(offset, data.data(), frameSize, stored) != frameSize ||
                !PictureDecoder::palettised(data.data(), data.size(), false, &picture, &ignored)) {
                return false;
            }
        } else if (PictureDecoder::kindOf(content.data, content.size) ==
                   PictureDecoder::Kind::Palettised) {
            if (!PictureDecoder::palettised(content.data, content.size, false, &picture,
                                            &ignored)) {
                return false;
            }
        } else if (PictureDecoder::kindOf(content.data, content.size) ==
                   PictureDecoder::Kind::Direct) {
            if (!PictureDecoder::direct(content.data, content.size, &picture, &ignored)) {
                return false;
            }
        } else {
            return false;
        }
        *source = std::move(picture.image);
        return true;
    }

    bool write(const std::string& file, const std::string& label, const platform::PngImage& image,
               const std::string& headerLine)
    {
        if (!writePng(file, image, &writeError_)) {
            writeFailed_ = true;
            return false;
        }
        headers_ << headerLine << '\n';
        sheet_.add(label, image);
        return true;
    }

    // Each file whole or not at all, and never over the archive being read.
    bool writePng(const std::string& file, const platform::PngImage& image, std::string* error)
    {
        const OutputFile output((dir_ / file).string());
        return output.differsFrom(archivePath_, error) &&
               output.writeWith(
                   [&image](const std::string& path, std::string* reason) {
                       return platform::writePng(path, image, reason);
                   },
                   error);
    }

    void note(const std::string& line)
    {
        headers_ << line << '\n';
        ++damaged_;
    }

    static bool isPictureTag(const std::string& tag)
    {
        return tag == "gla0" || tag == "fon0" || tag == "fon6" || tag == "fons" || tag == "ani0" ||
               tag == "bitm" || tag == "bit6";
    }

    static std::string printable(const Content& content)
    {
        std::string text;
        for (std::size_t i = 0; i < 4 && i < content.size; ++i) {
            const char c = static_cast<char>(content.data[i]);
            text += (c >= 0x20 && c < 0x7F) ? c : '?';
        }
        return text;
    }

    // The archive's reader fails for good on a short read, so a frame whose stored bytes lie
    // outside the file is refused before it is read and cannot spoil the frames after it.
    bool insideFile(std::uint32_t offset, std::uint32_t storedSize) const
    {
        return static_cast<std::uint64_t>(archive_.dataBase()) + offset + storedSize <= fileSize_;
    }

    archive::Archive& archive_;
    std::string archivePath_;
    std::filesystem::path dir_;
    std::uint64_t fileSize_ = 0;
    std::ostringstream headers_;
    ContactSheet sheet_;
    int damaged_ = 0;
    bool writeFailed_ = false;
    std::string writeError_;
};

}  // namespace

bool PictureExporter::exportArchive(const std::string& archivePath, const std::string& dir,
                                    std::string* error)
{
    std::string reason;
    archive::FileHandleCache files;
    auto archive = archive::Archive::open(archivePath, files, &reason);
    if (!archive) {
        *error = reason;
        return false;
    }
    std::error_code failure;
    std::filesystem::create_directories(dir, failure);
    if (failure || !std::filesystem::is_directory(dir)) {
        *error = "cannot create folder " + dir;
        return false;
    }
    const std::uint64_t fileSize = std::filesystem::file_size(archivePath, failure);
    if (failure) {
        *error = "cannot open archive " + archivePath;
        return false;
    }
    Export job(*archive, archivePath, dir, fileSize);
    return job.run(error);
}

}  // namespace wordlark::heaptool
