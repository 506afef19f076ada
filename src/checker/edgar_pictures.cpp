// Reading the pictures beside a document for the EDGAR rules check.
#include "checker/edgar_pictures.h"

#include <fstream>
#include <iterator>

#include "text/text_scan.h"

namespace tarlo {

namespace {

// No picture in a filing comes near this; a larger file is judged by its
// first bytes only, which leaves frames past them uncounted.
constexpr std::size_t kMostBytesRead = 64u << 20;

unsigned Byte(std::string_view b, std::size_t i) {
    return static_cast<unsigned char>(b[i]);
}

// Skips a run of GIF data sub-blocks from `i`; npos when the bytes end first.
std::size_t SkipSubBlocks(std::string_view b, std::size_t i) {
    while (i < b.size()) {
        const std::size_t size = Byte(b, i);
        ++i;
        if (size == 0) return i;
        i += size;
    }
    return std::string_view::npos;
}

}  // namespace

int GifFrameCount(std::string_view b) {
    if (b.size() < 13 || (b.substr(0, 6) != "GIF87a" && b.substr(0, 6) != "GIF89a")) return 0;
    std::size_t i = 13;
    const unsigned flags = Byte(b, 10);
    if (flags & 0x80) i += 3u * (1u << ((flags & 7) + 1));
    int frames = 0;
    while (i < b.size()) {
        const unsigned kind = Byte(b, i);
        if (kind == 0x3B) break;  // trailer
        if (kind == 0x21) {       // extension: label, then sub-blocks
            if (i + 2 > b.size()) break;
            i = SkipSubBlocks(b, i + 2);
        } else if (kind == 0x2C) {  // image: descriptor, colour table, code size, data
            if (i + 10 > b.size()) break;
            ++frames;
            const unsigned local = Byte(b, i + 9);
            i += 10;
            if (local & 0x80) i += 3u * (1u << ((local & 7) + 1));
            if (i >= b.size()) break;
            i = SkipSubBlocks(b, i + 1);
        } else {
            break;
        }
        if (i == std::string_view::npos) break;
    }
    return frames;
}

PictureState JudgePicture(std::string_view lowerExtension, std::string_view bytes) {
    if (lowerExtension == ".jpg") {
        const bool jpeg = bytes.size() >= 3 && Byte(bytes, 0) == 0xFF && Byte(bytes, 1) == 0xD8 &&
                          Byte(bytes, 2) == 0xFF;
        return jpeg ? PictureState::Good : PictureState::NotJpeg;
    }
    const int frames = GifFrameCount(bytes);
    if (frames == 0 && !(bytes.size() >= 6 &&
                         (bytes.substr(0, 6) == "GIF87a" || bytes.substr(0, 6) == "GIF89a"))) {
        return PictureState::NotGif;
    }
    return frames > 1 ? PictureState::Animated : PictureState::Good;
}

PictureState EdgarPictureFolder::Look(const std::string& name) {
    if (folder_.empty()) return PictureState::NotLooked;
    if (name.empty() || name == "." || name == ".." ||
        name.find_first_of(std::string("/\\\0", 3)) != std::string::npos || name.size() < 4) {
        return PictureState::NotLooked;
    }
    const auto known = seen_.find(name);
    if (known != seen_.end()) return known->second;
    PictureState state = PictureState::Missing;
    std::ifstream in(folder_ + "/" + name, std::ios::binary);
    if (in) {
        std::string bytes;
        bytes.resize(kMostBytesRead);
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        bytes.resize(static_cast<std::size_t>(in.gcount()));
        state = JudgePicture(AsciiLowerCopy(name.substr(name.size() - 4)), bytes);
    }
    seen_.emplace(name, state);
    return state;
}

}  // namespace tarlo
