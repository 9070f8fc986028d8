#pragma once
// The list of the skin's pictures: a file name (without ".png") and the function that draws it.

#include <QImage>
#include <QString>

#include <functional>
#include <vector>

namespace skin {
struct PictureDef {
    QString name;
    std::function<QImage()> draw;
};
std::vector<PictureDef> AllPictures();
} // namespace skin
