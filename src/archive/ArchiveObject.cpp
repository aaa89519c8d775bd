#include "archive/ArchiveObject.h"

#include <algorithm>

namespace wordlark::archive {

namespace {

void copyCut(char (&field)[kNameField], std::string_view name)
{
    const auto length = std::min<std::size_t>(name.size(), kNameField - 1);
    std::copy_n(name.data(), length, field);
    field[length] = '\0';
}

}  // namespace

ArchiveObject::ArchiveObject(std::string_view entryName, std::string_view archiveName)
{
    copyCut(entryName_, entryName);
    copyCut(archiveName_, archiveName);
}

ArchiveObject::~ArchiveObject() = default;

}  // namespace wordlark::archive
