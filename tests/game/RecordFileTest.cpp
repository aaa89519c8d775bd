#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "game/PlayerRecord.h"
#include "game/RecordFile.h"
#include "platform/FolderLock.h"
#include "support/TempDir.h"
#include "words/PlayerWordList.h"

namespace wordlark::game {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A reader written from the file's table alone: unscramble from the last byte down, check
// the sum, then the fields at their offsets.
struct PlainRecord {
    std::string name, password;
    Bytes plain;
    std::int32_t numbers[7];
};

bool readIndependently(const Bytes& file, PlainRecord* out)
{
    if (file.size() < 544) {
        return false;
    }
    Bytes p(540);
    for (int i = 539; i >= 1; --i) {
        p[i] = file[i] ^ file[i - 1] ^ (i % 256);
    }
    p[0] = file[0];
    std::uint32_t sum = 0;
    for (std::uint8_t b : p) {
        sum += b;
    }
    if (sum != (file[540] | file[541] << 8 | file[542] << 16 | std::uint32_t{file[543]} << 24)) {
        return false;
    }
    out->name = reinterpret_cast<const char*>(p.data());
    out->password = reinterpret_cast<const char*>(p.data() + 256);
    for (int k = 0; k < 7; ++k) {
        const std::uint8_t* f = p.data() + 512 + 4 * k;
        out->numbers[k] =
            static_cast<std::int32_t>(f[0] | f[1] << 8 | f[2] << 16 | std::uint32_t{f[3]} << 24);
    }
    out->plain = std::move(p);
    return true;
}

PlayerRecord sampleRecord()
{
    PlayerRecord record;
    record.setName("Old name that was longer");
    record.setName("Anna");  // leaves " name that was longer" after the NUL
    record.setPassword("s3cret");
    record.password[200] = '\xE9';
    record.rating = 1234;
    record.level = 3;
    record.games = 77;
    record.victories = 40;
    record.defeats = -2;
    record.ties = 0x7FFFFFFF;
    record.reserved = 0x01020304;
    return record;
}

class RecordFileTest : public ::testing::Test {
protected:
    RecordFileTest() { std::filesystem::create_directory(dir_.file("save")); }

    std::vector<std::string> saveFolder() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.file("save"))) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    // The record names the player as the game keeps him (Windows-1252); the file's name is spelt
    // as this system spells it.
    void writeRecord(const std::string& fileStem, std::int32_t rating, const std::string& name = {})
    {
        PlayerRecord record;
        record.setName(name.empty() ? fileStem : name);
        record.rating = rating;
        const auto bytes = encodeRecordFile(record);
        dir_.write("save/" + fileStem + ".sav", Bytes(bytes.begin(), bytes.end()));
    }

    test::TempDir dir_;
};

TEST_F(RecordFileTest, AllZeroRecordIsTheOffsetPatternWithChecksumZero)
{
    const auto file = encodeRecordFile(PlayerRecord{});
    const Bytes start(file.begin(), file.begin() + 8);
    EXPECT_EQ(start, (Bytes{0x00, 0x01, 0x03, 0x00, 0x04, 0x01, 0x07, 0x00}));
    std::uint8_t previous = 0;
    for (std::size_t i = 1; i < 540; ++i) {
        previous ^= static_cast<std::uint8_t>(i);
        ASSERT_EQ(file[i], previous) << i;
    }
    EXPECT_EQ(Bytes(file.begin() + 540, file.end()), (Bytes{0, 0, 0, 0}));
}

TEST_F(RecordFileTest, SavedFileReadsBackBitForBitWithAnIndependentReader)
{
    const PlayerRecord record = sampleRecord();
    ASSERT_TRUE(saveRecord(dir_.folder(), record));
    const Bytes file = dir_.read("save/Anna.sav");
    ASSERT_EQ(file.size(), 544u);

    PlainRecord plain;
    ASSERT_TRUE(readIndependently(file, &plain));
    EXPECT_EQ(plain.name, "Anna");
    EXPECT_EQ(plain.password, "s3cret");
    EXPECT_EQ(std::memcmp(plain.plain.data(), record.name.data(), 256), 0);
    EXPECT_EQ(std::memcmp(plain.plain.data() + 256, record.password.data(), 256), 0);
    const std::int32_t expected[7] = {1234, 3, 77, 40, -2, 0x7FFFFFFF, 0x01020304};
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(plain.numbers[k], expected[k]) << k;
    }

    PlayerRecord loaded;
    loaded.setName("ANNA");  // the file is found by the name; the stored name comes back
    loaded.setName("Anna");
    ASSERT_TRUE(loadRecord(dir_.folder(), loaded));
    // Only the counts outside their range change on reading: -2 defeats and ties at the
    // 32-bit limit, which the next tie would carry past it.
    PlayerRecord held = record;
    held.defeats = 0;
    held.ties = PlayerRecord::kMaxMagnitude;
    EXPECT_EQ(loaded, held);
}

TEST_F(RecordFileTest, TheFileHoldsTheEncodedBytesWhateverTheyAre)
{
    // Line ends and the old end-of-file mark among the stored bytes: a system that translated
    // them (Windows' text mode) would change the file's length or cut it short.
    PlayerRecord record = sampleRecord();
    std::string everyByte;
    for (int c = 1; c < 256; ++c) {
        everyByte += static_cast<char>(c);
    }
    record.setPassword(everyByte);
    const auto bytes = encodeRecordFile(record);
    for (const std::uint8_t special : {0x0A, 0x0D, 0x1A}) {
        ASSERT_NE(std::find(bytes.begin(), bytes.end(), special), bytes.end()) << int(special);
    }
    ASSERT_TRUE(saveRecord(dir_.folder(), record));
    EXPECT_EQ(dir_.read("save/Anna.sav"), Bytes(bytes.begin(), bytes.end()));
    PlayerRecord loaded;
    loaded.setName("Anna");
    ASSERT_TRUE(loadRecord(dir_.folder(), loaded));
    record.holdInRange();
    EXPECT_EQ(loaded, record);
}

TEST_F(RecordFileTest, DamageIsCaughtByTheChecksumAndLeavesTheRecordAlone)
{
    const auto good = encodeRecordFile(sampleRecord());
    PlayerRecord untouched = PlayerRecord::anonymous();
    untouched.setName("Anna");
    const auto loadBytes = [&](const Bytes& bytes) {
        dir_.write("save/Anna.sav", bytes);
        PlayerRecord record = untouched;
        const bool loaded = static_cast<bool>(loadRecord(dir_.folder(), record));
        if (!loaded) {
            EXPECT_EQ(record, untouched);
        }
        return loaded;
    };
    Bytes bytes(good.begin(), good.end());
    EXPECT_TRUE(loadBytes(bytes));

    bytes[539] ^= 0x10;  // only the last plain byte changes
    EXPECT_FALSE(loadBytes(bytes));
    bytes = Bytes(good.begin(), good.end());
    // Two plain bytes change by the same bit; both are 0, so the sum grows by 2.
    ASSERT_EQ(sampleRecord().name[100] | sampleRecord().name[101], 0);
    bytes[100] ^= 0x01;
    EXPECT_FALSE(loadBytes(bytes));
    bytes = Bytes(good.begin(), good.end());
    bytes[541] ^= 0x01;  // the checksum itself
    EXPECT_FALSE(loadBytes(bytes));

    // Two changes that cancel in the sum go unnoticed: plain bytes 0 'A' and 1 'n' become
    // 'A' ^ d and 'n' ^ d, and with d = 0x20 that is 'a' and 'N'.
    bytes = Bytes(good.begin(), good.end());
    bytes[0] ^= 0x20;
    ASSERT_TRUE(loadBytes(bytes));

    // Too short fails; a longer file is judged by its first 544 bytes.
    bytes = Bytes(good.begin(), good.end() - 1);
    EXPECT_FALSE(loadBytes(bytes));
    EXPECT_FALSE(loadBytes({}));
    bytes = Bytes(good.begin(), good.end());
    bytes.resize(2000, 0xAB);
    EXPECT_TRUE(loadBytes(bytes));
}

TEST_F(RecordFileTest, OnlyRegularFilesOfUsableNamesAreRead)
{
    using Status = RecordLoad::Status;
    PlayerRecord record = sampleRecord();
    const PlayerRecord before = record;
    EXPECT_EQ(loadRecord(dir_.folder(), record).status, Status::Missing);
    // What cannot be read is not damaged: it is told apart, so that nobody moves it aside.
    // Windows has no FIFOs in folders.
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(dir_.file("save/Anna.sav").c_str(), 0600), 0);
    // Must not block either.
    EXPECT_EQ(loadRecord(dir_.folder(), record).status, Status::Unreadable);
    std::filesystem::remove(dir_.file("save/Anna.sav"));
    writeRecord("Anna", 5);
    ::chmod(dir_.file("save/Anna.sav").c_str(), 0);
    if (::access(dir_.file("save/Anna.sav").c_str(), R_OK) != 0) {  // root reads it anyway
        const RecordLoad denied = loadRecord(dir_.folder(), record);
        EXPECT_EQ(denied.status, Status::Unreadable);
        EXPECT_EQ(denied.reason, std::strerror(EACCES));
    }
    std::filesystem::remove(dir_.file("save/Anna.sav"));
#endif
    std::filesystem::create_directory(dir_.file("save/Anna.sav"));
    EXPECT_EQ(loadRecord(dir_.folder(), record).status, Status::Unreadable);
    EXPECT_FALSE(saveRecord(dir_.folder(), record));  // nor written over a folder
    EXPECT_EQ(record, before);

    // A valid record just outside the save folder is out of reach of any name.
    const auto bytes = encodeRecordFile(record);
    dir_.write("escape.sav", Bytes(bytes.begin(), bytes.end()));
    for (const char* name : {"", "../escape", "..\\escape", "a/b", ".."}) {
        record.setName(name);
        EXPECT_FALSE(loadRecord(dir_.folder(), record)) << name;
        EXPECT_FALSE(saveRecord(dir_.folder(), record)) << name;
        deletePlayerFiles(dir_.folder(), name);
    }
    EXPECT_TRUE(std::filesystem::exists(dir_.file("escape.sav")));
    EXPECT_EQ(saveFolder(), std::vector<std::string>{"Anna.sav"});
}

TEST_F(RecordFileTest, TheFileNameDecidesWhoseRecordItIs)
{
    // Bob's record copied to Lark's name is damaged, whatever else it holds.
    writeRecord("Bob", 500);
    std::filesystem::copy_file(dir_.file("save/Bob.sav"), dir_.file("save/Lark.sav"));
    PlayerRecord lark;
    lark.setName("Lark");
    const PlayerRecord before = lark;
    EXPECT_EQ(loadRecord(dir_.folder(), lark).status, RecordLoad::Status::Damaged);
    EXPECT_EQ(lark, before);

    // In other letter case it is his, spelt as his file is, and his saves go back into it.
    PlayerRecord shouted;
    shouted.setName("LARK");
    shouted.rating = 300;
    const auto bytes = encodeRecordFile(shouted);
    dir_.write("save/Lark.sav", Bytes(bytes.begin(), bytes.end()));
    ASSERT_TRUE(loadRecord(dir_.folder(), lark));
    EXPECT_EQ(lark.nameView(), "Lark");
    EXPECT_EQ(lark.rating, 300);
    ASSERT_TRUE(saveRecord(dir_.folder(), lark));
    EXPECT_EQ(saveFolder(), (std::vector<std::string>{"Bob.sav", "Lark.sav"}));
}

TEST_F(RecordFileTest, FieldsOutsideTheirRangeAreHeldToItWhenRead)
{
    // A record with a sound checksum may still come from elsewhere: a level the list does not
    // offer, negative counts, counts that the next deal would carry past the 32-bit limit.
    PlayerRecord odd;
    odd.setName("Anna");
    odd.rating = std::numeric_limits<std::int32_t>::min();
    odd.level = 0;
    odd.games = std::numeric_limits<std::int32_t>::max();
    odd.victories = -5;
    odd.reserved = -7;
    const auto low = encodeRecordFile(odd);
    dir_.write("save/Anna.sav", Bytes(low.begin(), low.end()));
    PlayerRecord record;
    record.setName("Anna");
    ASSERT_TRUE(loadRecord(dir_.folder(), record));
    EXPECT_EQ(record.rating, -PlayerRecord::kMaxMagnitude);
    EXPECT_EQ(record.level, 1);
    EXPECT_EQ(record.games, PlayerRecord::kMaxMagnitude);
    EXPECT_EQ(record.victories, 0);
    EXPECT_EQ(record.reserved, -7);  // carried as it came

    odd.level = 11;
    odd.rating = std::numeric_limits<std::int32_t>::max();
    const auto high = encodeRecordFile(odd);
    dir_.write("save/Anna.sav", Bytes(high.begin(), high.end()));
    ASSERT_TRUE(loadRecord(dir_.folder(), record));
    EXPECT_EQ(record.level, 10);
    EXPECT_EQ(record.rating, PlayerRecord::kMaxMagnitude);
}

TEST_F(RecordFileTest, SavingReplacesTheFileWholeOrNotAtAll)
{
    PlayerRecord record = sampleRecord();
    ASSERT_TRUE(saveRecord(dir_.folder(), record));
    const Bytes first = dir_.read("save/Anna.sav");
    record.rating = 99;
    ASSERT_TRUE(saveRecord(dir_.folder(), record));
    EXPECT_NE(dir_.read("save/Anna.sav"), first);
    EXPECT_EQ(saveFolder(), std::vector<std::string>{"Anna.sav"});  // no temporary left
    const Bytes second = dir_.read("save/Anna.sav");

#ifndef _WIN32  // the file-size limit and its signal are POSIX matters
    // A disk that takes only part of the file: the write fails, the old file stays.
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    record.rating = 5;
    std::string full;
    const bool saved = saveRecord(dir_.folder(), record, &full);
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    // The player's file, not the temporary one with its new random name at every try.
    EXPECT_NE(full.find("cannot write " + dir_.file("save/Anna.sav") + ": "), std::string::npos)
        << full;
    EXPECT_EQ(full.find(".saving-"), std::string::npos) << full;
    EXPECT_EQ(dir_.read("save/Anna.sav"), second);
    EXPECT_EQ(saveFolder(), std::vector<std::string>{"Anna.sav"});
#endif

    // A missing save folder is made, for its owner only; one that cannot be, or a folder in
    // the record's place, fails the save with a reason.
    std::filesystem::remove_all(dir_.file("save"));
    EXPECT_TRUE(saveRecord(dir_.folder(), record));
#ifndef _WIN32  // Windows folders take their permissions from the folder they are made in
    EXPECT_EQ(
        std::filesystem::status(dir_.file("save")).permissions() & std::filesystem::perms::all,
        std::filesystem::perms::owner_all);
#endif
    std::filesystem::remove(dir_.file("save/Anna.sav"));
    std::filesystem::create_directory(dir_.file("save/Anna.sav"));
    std::string why;
    EXPECT_FALSE(saveRecord(dir_.folder(), record, &why));
    EXPECT_NE(why.find("Anna.sav"), std::string::npos) << why;
    EXPECT_EQ(saveFolder(), std::vector<std::string>{"Anna.sav"});
    std::filesystem::remove_all(dir_.file("save"));
    dir_.writeText("save", "a file in the folder's place");
    EXPECT_FALSE(saveRecord(dir_.folder(), record, &why));
    EXPECT_NE(why.find("save"), std::string::npos) << why;
}

TEST_F(RecordFileTest, StartUpClearsWhatAnInterruptedSaveLeftUnlessACopyIsRunning)
{
    dir_.writeText("save/.saving-Ab12Cd", "half a record");
    dir_.writeText("save/Anna.sav", "kept");
    dir_.writeText("save/.hidden", "kept");
    {
        platform::FolderLock running;
        std::string why;
        EXPECT_TRUE(prepareSaveFolder(dir_.folder(), false, running, &why)) << why;
        EXPECT_EQ(saveFolder(), (std::vector<std::string>{".hidden", ".lock", "Anna.sav"}));
        // A second copy starts on the same folder while the first is saving.
        dir_.writeText("save/.saving-Running", "the first copy's record, being written");
        platform::FolderLock second;
        EXPECT_TRUE(prepareSaveFolder(dir_.folder(), false, second, &why)) << why;
        EXPECT_EQ(saveFolder(),
                  (std::vector<std::string>{".hidden", ".lock", ".saving-Running", "Anna.sav"}));
    }
    // Both ended without renaming it: it is nobody's now. (The copy that finds so ends before
    // the folder goes: Windows removes no folder while a file in it is open.)
    {
        platform::FolderLock next;
        prepareSaveFolder(dir_.folder(), false, next);
        EXPECT_EQ(saveFolder(), (std::vector<std::string>{".hidden", ".lock", "Anna.sav"}));
    }

    std::filesystem::remove_all(dir_.file("save"));
    platform::FolderLock fresh;
    EXPECT_TRUE(prepareSaveFolder(dir_.folder(), false, fresh));
    EXPECT_TRUE(std::filesystem::is_directory(dir_.file("save")));
}

TEST_F(RecordFileTest, StartUpMakesTheFoldersAboveOnlyWhenAsked)
{
    // A mistyped --data: nothing is made, not even the first missing folder.
    const std::string deep = dir_.folder() + "a/b/c/";
    platform::FolderLock lock;
    std::string why;
    EXPECT_FALSE(prepareSaveFolder(deep, false, lock, &why));
    EXPECT_EQ(why.find("cannot make " + deep + "save: "), 0u) << why;
    EXPECT_FALSE(std::filesystem::exists(dir_.file("a")));
    // The user's own data folder on a first run.
    EXPECT_TRUE(prepareSaveFolder(deep, true, lock, &why)) << why;
    EXPECT_TRUE(std::filesystem::is_directory(dir_.file("a/b/c/save")));
}

TEST_F(RecordFileTest, StartUpNamesWhatStandsWhereTheSaveFolderBelongs)
{
    std::filesystem::remove_all(dir_.file("save"));
    platform::FolderLock lock;
    std::string why;
    const std::string folder = dir_.file("save");
    dir_.writeText("save", "a file");
    EXPECT_FALSE(prepareSaveFolder(dir_.folder(), false, lock, &why));
    EXPECT_EQ(why, "cannot make " + folder + ": " + std::strerror(ENOTDIR));
    std::filesystem::remove(folder);
#ifndef _WIN32  // FIFOs and links are POSIX matters
    ASSERT_EQ(::mkfifo(folder.c_str(), 0600), 0);
    EXPECT_FALSE(prepareSaveFolder(dir_.folder(), false, lock, &why));
    EXPECT_EQ(why, "cannot make " + folder + ": " + std::strerror(ENOTDIR));
    std::filesystem::remove(folder);
    std::filesystem::create_symlink(dir_.file("gone"), folder);
    EXPECT_FALSE(prepareSaveFolder(dir_.folder(), false, lock, &why));
    EXPECT_EQ(why, "cannot make " + folder + ": a link to nothing is there");
    EXPECT_FALSE(std::filesystem::exists(dir_.file("gone")));
    // The lock file itself taken by something else: the folder is fine, the lock is not had.
    std::filesystem::remove(folder);
    std::filesystem::create_directory(folder);
    ASSERT_EQ(::mkfifo((folder + "/.lock").c_str(), 0600), 0);
    dir_.writeText("save/.saving-Kept", "whose?");
    EXPECT_FALSE(prepareSaveFolder(dir_.folder(), false, lock, &why));
    EXPECT_EQ(why, "cannot lock " + folder + ": " + folder + "/.lock is not a regular file");
    EXPECT_TRUE(std::filesystem::exists(dir_.file("save/.saving-Kept")));
#endif
}

TEST_F(RecordFileTest, DeletingRemovesTheRecordAndTheWordListOnly)
{
    // The record and the word list find their files through the same name rules.
    PlayerRecord record;
    record.setName("J\xF6rg");  // Windows-1252
    ASSERT_TRUE(saveRecord(dir_.folder(), record));
    words::PlayerWordList list(dir_.folder(), [] { return std::string("J\xF6rg"); });
    ASSERT_TRUE(list.appendWord("ELK"));
    const std::string jorg = "J\xC3\xB6rg";  // its UTF-8 form on disk, as the listing shows it
#ifdef _WIN32
    const std::string jorgFile = "J\xF6rg";  // the ANSI calls take the Windows-1252 bytes
#else
    const std::string jorgFile = jorg;
#endif
    dir_.writeText("save/Jorg.sav", "x");
    dir_.writeText("save/" + jorgFile + ".txt", "x");
    EXPECT_EQ(saveFolder(),
              (std::vector<std::string>{"Jorg.sav", jorg + ".dic", jorg + ".sav", jorg + ".txt"}));
    deletePlayerFiles(dir_.folder(), "J\xF6rg");
    EXPECT_EQ(saveFolder(), (std::vector<std::string>{"Jorg.sav", jorg + ".txt"}));
    deletePlayerFiles(dir_.folder(), "Nobody");  // nothing to delete: nothing happens
}

TEST_F(RecordFileTest, BestOtherRatingSkipsTheCurrentPlayerAndWhatIsNoPlayer)
{
    EXPECT_EQ(scanBestOtherRating(dir_.folder(), "Anna"), 0u);
    writeRecord("Anna", 900);
    writeRecord("Ben", 300);
    writeRecord("Cleo", 450);
    EXPECT_EQ(scanBestOtherRating(dir_.folder(), "aNNA"), 450u);  // own file by any case
    EXPECT_EQ(scanBestOtherRating(dir_.folder(), "Ben"), 900u);

    writeRecord("Fourteen chars", 500);    // 18 characters with ".sav": a player
    writeRecord("Fifteen chars..", 2000);  // 19: not a player
    EXPECT_EQ(scanBestOtherRating(dir_.folder(), "Anna"), 500u);
#ifdef _WIN32
    // The ANSI calls name files in Windows-1252; a character outside it (made here through the
    // wide calls) is listed as '?' and names no player.
    writeRecord(
        "\xE9t\xE9 \xE0 Montr\xE9"
        "al",
        600);
    PlayerRecord wide;
    wide.rating = 3000;
    const auto wideBytes = encodeRecordFile(wide);
    std::ofstream(std::filesystem::path(dir_.file("save")) / L"\u4E00.sav", std::ios::binary)
        .write(reinterpret_cast<const char*>(wideBytes.data()), wideBytes.size());
#else
    // 18 characters but 22 bytes in UTF-8: the characters count.
    writeRecord(
        "\xC3\xA9t\xC3\xA9 \xC3\xA0 Montr\xC3\xA9"
        "al",
        600,
        "\xE9t\xE9 \xE0 Montr\xE9"
        "al");
    writeRecord("\xE4\xB8\x80", 3000);  // not a Windows-1252 name
#endif
    std::filesystem::create_directory(dir_.file("save/Dora.sav"));
    dir_.writeText("save/Emil.sav", "damaged");
    writeRecord("Finn", 4000);
    std::filesystem::rename(dir_.file("save/Finn.sav"), dir_.file("save/Finn.bak"));
    EXPECT_EQ(scanBestOtherRating(dir_.folder(), "Anna"), 600u);

    writeRecord("Gus", -1);  // compared unsigned
    EXPECT_EQ(scanBestOtherRating(dir_.folder(), "Anna"), 0xFFFFFFFFu);
    EXPECT_EQ(scanBestOtherRating((dir_.folder() + "missing/"), "Anna"), 0u);
}

}  // namespace
}  // namespace wordlark::game
