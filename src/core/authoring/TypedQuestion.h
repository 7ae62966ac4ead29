#pragma once

#include <QByteArray>
#include <QImage>
#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

#include "Result.h"

class QTextDocument;

namespace authoring {

// A question written as text instead of a picture: a stem with bold, italic,
// superscript, subscript and pictures inside it, and up to five choices A-E.
// Derslik draws it into the question picture (sharp at projector sizes: drawn at
// the size it is shown, never an enlarged thumbnail) and keeps the text in
// SORUICERIK, so searches find it. The picture carries its own source, so
// opening the question again opens the text, and a copied or exchanged question
// keeps it; a picture replaced by another file simply has none.
//
//   TypedQuestion t;
//   t.setStem(editor->document());              // the screen's QTextEdit
//   t.setChoice(0, QStringLiteral("12"));
//   Result<QByteArray> png = t.picture();       // the question picture to save
//   question.soruIcerik = t.plainText();
class TypedQuestion {
 public:
  static constexpr int kMaxChoices = 5;
  // The text is laid out at this width in pixels (an editor that wants to look
  // like the result uses it too) with a base font of kFontPixels, then drawn
  // scaled to the picture's width.
  static constexpr int kLayoutWidth = 960;
  static constexpr int kFontPixels = 22;
  // The width of the stored picture: a full-HD projector shows it 1:1.
  static constexpr int kPictureWidth = 1920;

  // The stem from an editor: its HTML and every picture it shows.
  void setStem(const QTextDocument& document);
  void setStemHtml(const QString& html) { m_stem = html; }
  // A stem typed as plain text (line breaks kept).
  void setStemText(const QString& text);
  const QString& stemHtml() const { return m_stem; }
  // A picture the stem names in <img src="name">.
  void addImage(const QString& name, const QImage& image);
  const QMap<QString, QImage>& images() const { return m_images; }
  // The stem as a document to edit again (pictures included); the caller owns it.
  std::unique_ptr<QTextDocument> stemDocument() const;

  // Choice i (0 = A): plain text or rich text (HTML). Empty choices at the end
  // are dropped.
  void setChoice(int i, const QString& textOrHtml);
  void setChoice(int i, const QTextDocument& document);
  QStringList choices() const { return m_choices; }

  // Stem, then "A) ..." per choice, one per line: SORUICERIK.
  QString plainText() const;
  // "Lütfen sorunun metnini yazınız." when there is nothing to show; empty when fine.
  QString problem() const;

  // The question picture: width kPictureWidth (or `width`), as tall as the text.
  Result<QImage> render(int width = kPictureWidth) const;
  // The picture `width` pixels wide with the body text `fontPixels` high: a
  // booklet sets every typed question in one body size this way.
  Result<QImage> renderAt(int width, int fontPixels) const;
  // The picture for a space of `area`: the largest body size from `minFontPixels`
  // up at which the whole question fits the space (a short question is not blown
  // up past a tenth of its height). A question that does not fit even at the
  // floor is drawn at the floor, taller than the space: the floor is what the
  // back row can still read, so the viewer scrolls rather than shrinking it.
  struct Fitted {
    QImage image;
    int fontPixels = 0;
  };
  Result<Fitted> renderToFit(const QSize& area, int minFontPixels) const;
  // The picture as PNG bytes with this question's source inside.
  Result<QByteArray> picture(int width = kPictureWidth) const;
  // The question a picture was drawn from; nullopt for any other picture.
  static std::optional<TypedQuestion> fromPicture(const QByteArray& bytes);

  // The source alone (JSON): stem, choices, pictures.
  QByteArray source() const;
  static std::optional<TypedQuestion> fromSource(const QByteArray& json);

  bool operator==(const TypedQuestion&) const = default;

 private:
  // Laid out `layoutWidth` wide in the base font (kFontPixels).
  std::unique_ptr<QTextDocument> layout(qreal layoutWidth = kLayoutWidth) const;
  Status drawable() const;
  // `width` pixels wide, the layout scaled by `scale`.
  Result<QImage> draw(int width, qreal scale) const;
  QString m_stem;
  QStringList m_choices;
  QMap<QString, QImage> m_images;
};

}  // namespace authoring
