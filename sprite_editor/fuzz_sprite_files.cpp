// SPDX-License-Identifier: GPL-2.0-or-later
// libFuzzer target: the sprite editor's files. Each input is put down as
// pixelkin2.dat in a scratch folder and loaded with Load's own code. A file
// that is refused must leave the set as it was; a file that loads is saved
// again (both files, under temporary names and renamed) and re-read: the
// image must come back byte for byte, the set must load unchanged, and
// pixelkin.spr must show exactly the set pixels of the sprites it writes.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "sprite_files.hpp"

namespace {

using namespace pixelkin;
namespace fs = std::filesystem;

void check(bool condition) {
    if (!condition) std::abort();
}

const fs::path& scratchFolder() {
    static const fs::path folder = [] {
        std::string pattern = (fs::temp_directory_path() / "fuzz-sprite-files-XXXXXX").string();
        check(mkdtemp(pattern.data()) != nullptr);
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(scratchFolder(), ignored);
        });
        return fs::path(pattern);
    }();
    return folder;
}

std::string readFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void writeFile(const fs::path& path, std::span<const std::uint8_t> bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    check(file.good());
}

int setPixelsShown(const SpriteRecord& sprite) {
    int count = 0;
    for (int c = 1; c <= sprite.width; ++c) {
        for (int r = 1; r <= sprite.height; ++r) count += sprite.isSet(c, r) ? 1 : 0;
    }
    return count;
}

/// pixelkin.spr has one row line per row of each written sprite, made of
/// 0s and 1s only, with as many 1s as the sprites have set pixels inside
/// their sizes.
void checkSpriteFile(const std::string& text, const SpriteSet& set) {
    int expectedRows = 0;
    int expectedOnes = 0;
    for (int number = 1; number <= set.highestDrawn(); ++number) {
        expectedRows += set.record(number).height;
        expectedOnes += setPixelsShown(set.record(number));
    }
    const std::string rowStart = "\t .db %";
    int rows = 0;
    int ones = 0;
    for (std::size_t at = text.find(rowStart); at != std::string::npos;
         at = text.find(rowStart, at + 1)) {
        ++rows;
        const std::size_t end = text.find("\r\n", at);
        check(end != std::string::npos);
        for (std::size_t i = at + rowStart.size(); i < end; ++i) {
            const char c = text[i];
            check(c == '0' || c == '1' || c == ',' || c == '%');
            ones += c == '1' ? 1 : 0;
        }
    }
    check(rows == expectedRows && ones == expectedOnes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path& folder = scratchFolder();
    const std::span<const std::uint8_t> input(data, size);
    writeFile(folder / setImageFileName, input);

    SpriteSet set;
    const SpriteRecords before = set.records();
    if (const FileOutcome failure = loadSet(set, folder)) {
        check(failure->runtimeError == 100 && failure->statusText().size() <= 40);
        check(set.records() == before);
        return 0;
    }
    check(size >= setImageBytes);

    check(!saveSet(set, folder));
    const std::vector<std::uint8_t> image = encodeSetImage(set.records());
    check(std::equal(image.begin(), image.end(), data));
    if (set.usedCount() == 0) return 0;  // Save writes nothing then

    const std::string savedImage = readFile(folder / setImageFileName);
    check(savedImage.size() == setImageBytes &&
          std::equal(image.begin(), image.end(), savedImage.begin(),
                     [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); }));
    SpriteSet reloaded;
    check(!loadSet(reloaded, folder) && reloaded.records() == set.records());
    const std::string spriteText = readFile(folder / spriteFileName);
    check(spriteText == formatSpriteFile(set));
    checkSpriteFile(spriteText, set);
    return 0;
}
