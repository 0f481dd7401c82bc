#pragma once
// Collects one RTF picture (\pict): its kind, its extent and goal sizes, and its bytes
// given as hexadecimal text or \bin data.

#include <QByteArray>

#include <optional>
#include <string_view>

namespace qm::rtf {

struct Picture {
    QByteArray kind;   // the control word that names the picture kind: "pngblip", "wmetafile8", ...
    QByteArray bytes;  // the picture file
    double width = 0;  // display size in pixels; 0 = the picture's own
    double height = 0;
    int picw = 0;  // \picw and \pich as read
    int pich = 0;
};

class PictureReader {
public:
    enum Size : uint8_t { PicW, PicH, GoalW, GoalH, ScaleX, ScaleY };

    // Starts a new picture, dropping anything collected before.
    void begin();
    void setKind(std::string_view word, bool hasParam, int param);
    void setSize(Size which, int value);
    // Hexadecimal digits of the picture's bytes; anything else in the text is noise.
    void addHex(std::string_view text);
    void addBinary(std::string_view data);
    // The picture collected since begin(), or nothing when it holds no bytes.
    std::optional<Picture> take();

private:
    QByteArray kind_;
    QByteArray data_;
    int nibble_ = -1;
    int w_ = 0, h_ = 0, wGoal_ = 0, hGoal_ = 0, scaleX_ = 100, scaleY_ = 100;
};

}  // namespace qm::rtf
