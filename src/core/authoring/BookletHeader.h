#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

#include "Result.h"

namespace authoring {

// Where the booklet header goes.
enum class HeaderPlacement {
  FirstPage,  // "Başlık Sadece İlk Sayfada Olsun"
  EveryPage,  // "Başlık Her Sayfanın Başında Olsun"
  None,       // "Başlık Olmasın"
};

// The header of a test's booklets, kept in the test store's BASLIK as either a
// picture (PNG/JPEG bytes) or an HTML document (UTF-8). A teacher picks a
// picture, an .odt document (its paragraphs), the first page of a .pdf (drawn
// by pdftoppm of poppler-utils), an .html or a .txt file.
namespace bookletheader {

// The three option captions, in HeaderPlacement order.
QString caption(HeaderPlacement placement);
// "first" / "every" / "none" of the command line.
std::optional<HeaderPlacement> fromWord(const QString& word);

// The bytes to store for a file (a Turkish message when it cannot be read).
Result<QByteArray> fromFile(const QString& path);
// True when stored bytes are a picture (else they are HTML).
bool isPicture(const QByteArray& stored);
// The header used when a test has none: the school, the test's name and lines
// for the student's name, number and class.
QString defaultHtml(const QString& school, const QString& testName);

}  // namespace bookletheader

}  // namespace authoring
