#pragma once

#include <QImage>
#include <QSize>

namespace authoring {

// What a list shows of a question that has no text, only its picture: the top of
// the picture (where the stem begins) as wide as the cell, after the white
// margins around the content are cut off, so the first words are as large as
// the cell allows. A null image for a picture that cannot be read or is blank.
QImage questionStrip(const QImage& picture, const QSize& cell);

}  // namespace authoring
