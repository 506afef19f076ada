#pragma once
// The pictures an EDGAR document names, read from the document's folder:
// is the file there, is it what its extension says, is a GIF animated.
#include <map>
#include <string>
#include <string_view>

namespace tarlo {

enum class PictureState { NotLooked, Good, Missing, NotJpeg, NotGif, Animated };

// What a file's bytes are: Good for a still JPEG (".jpg") or GIF (".gif"),
// NotJpeg / NotGif when the bytes are not that kind, Animated for a GIF of
// more than one frame.
PictureState JudgePicture(std::string_view lowerExtension, std::string_view bytes);

// The number of frames of a GIF (0 when the bytes are not a GIF); counting
// stops at a damaged block.
int GifFrameCount(std::string_view bytes);

class EdgarPictureFolder {
  public:
    // An empty folder: nothing is looked at.
    explicit EdgarPictureFolder(std::string folder) : folder_(std::move(folder)) {}
    // `name` is a plain file name ending in .jpg or .gif; anything with a
    // folder, "..", or a NUL is never opened. Each name is read once.
    PictureState Look(const std::string& name);

  private:
    std::string folder_;
    std::map<std::string, PictureState> seen_;
};

}  // namespace tarlo
