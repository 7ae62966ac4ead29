#include "authoring/TypedQuestion.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QtEndian>

#include <array>

namespace authoring {

namespace {

// A private, ancillary, safe-to-copy PNG chunk that holds the question's source.
constexpr char kChunkType[] = "drSk";
const QByteArray kPngSignature = QByteArray::fromHex("89504e470d0a1a0a");

quint32 crc32(const QByteArray& data) {
  static const std::array<quint32, 256> table = [] {
    std::array<quint32, 256> t{};
    for (quint32 n = 0; n < 256; ++n) {
      quint32 c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  quint32 c = 0xffffffffu;
  for (char ch : data) c = table[(c ^ quint8(ch)) & 0xff] ^ (c >> 8);
  return c ^ 0xffffffffu;
}

QByteArray bigEndian(quint32 v) {
  QByteArray out(4, Qt::Uninitialized);
  qToBigEndian(v, out.data());
  return out;
}

// Inserts the chunk before IEND.
QByteArray withChunk(const QByteArray& png, const QByteArray& payload) {
  const qsizetype iend = png.lastIndexOf("IEND");
  if (!png.startsWith(kPngSignature) || iend < 12) return png;
  const QByteArray typeAndData = QByteArray(kChunkType) + payload;
  return png.left(iend - 4) + bigEndian(quint32(payload.size())) + typeAndData +
         bigEndian(crc32(typeAndData)) + png.mid(iend - 4);
}

std::optional<QByteArray> chunk(const QByteArray& png) {
  if (!png.startsWith(kPngSignature)) return {};
  qsizetype at = kPngSignature.size();
  while (at + 12 <= png.size()) {
    const quint32 length = qFromBigEndian<quint32>(png.constData() + at);
    if (qsizetype(length) > png.size() - at - 12) return {};
    const QByteArray type = png.mid(at + 4, 4);
    if (type == kChunkType) {
      const QByteArray typeAndData = png.mid(at + 4, 4 + length);
      if (crc32(typeAndData) != qFromBigEndian<quint32>(png.constData() + at + 8 + length))
        return {};
      return png.mid(at + 8, length);
    }
    if (type == "IEND") return {};
    at += 12 + qsizetype(length);
  }
  return {};
}

bool canDraw() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

QString fragmentText(const QString& html) {
  QString t = QTextDocumentFragment::fromHtml(html).toPlainText();
  t.remove(QChar::ObjectReplacementCharacter);
  return t.trimmed();
}

// Pictures wider than the text shrink to it, keeping their shape.
void fitImages(QTextDocument& doc, qreal width) {
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment f = it.fragment();
      if (!f.charFormat().isImageFormat()) continue;
      QTextImageFormat img = f.charFormat().toImageFormat();
      const QImage image =
          doc.resource(QTextDocument::ImageResource, QUrl(img.name())).value<QImage>();
      qreal w = img.width() > 0 ? img.width() : image.width();
      qreal h = img.height() > 0 ? img.height() : image.height();
      if (w <= width || w <= 0) continue;
      h = h * width / w;
      w = width;
      img.setWidth(w);
      img.setHeight(h);
      QTextCursor c(&doc);
      c.setPosition(f.position());
      c.setPosition(f.position() + f.length(), QTextCursor::KeepAnchor);
      c.setCharFormat(img);
    }
  }
}

}  // namespace

void TypedQuestion::setStem(const QTextDocument& document) {
  m_stem = document.toHtml();
  m_images.clear();
  for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat f = it.fragment().charFormat();
      if (!f.isImageFormat()) continue;
      const QString name = f.toImageFormat().name();
      const QVariant r = document.resource(QTextDocument::ImageResource, QUrl(name));
      QImage image = r.value<QImage>();
      if (image.isNull()) image = QImage::fromData(r.toByteArray());
      if (!image.isNull()) m_images.insert(name, image);
    }
  }
}

void TypedQuestion::setStemText(const QString& text) {
  m_stem = text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
  m_images.clear();
}

void TypedQuestion::addImage(const QString& name, const QImage& image) {
  m_images.insert(name, image);
}

std::unique_ptr<QTextDocument> TypedQuestion::stemDocument() const {
  auto doc = std::make_unique<QTextDocument>();
  for (auto it = m_images.cbegin(); it != m_images.cend(); ++it)
    doc->addResource(QTextDocument::ImageResource, QUrl(it.key()), it.value());
  doc->setHtml(m_stem);
  return doc;
}

void TypedQuestion::setChoice(int i, const QString& textOrHtml) {
  if (i < 0 || i >= kMaxChoices) return;
  while (m_choices.size() <= i) m_choices << QString();
  m_choices[i] = Qt::mightBeRichText(textOrHtml) ? textOrHtml : textOrHtml.toHtmlEscaped();
  while (!m_choices.isEmpty() && fragmentText(m_choices.last()).isEmpty()) m_choices.removeLast();
}

void TypedQuestion::setChoice(int i, const QTextDocument& document) {
  setChoice(i, document.toPlainText().trimmed().isEmpty() ? QString() : document.toHtml());
}

QString TypedQuestion::plainText() const {
  QStringList lines{fragmentText(m_stem)};
  for (qsizetype i = 0; i < m_choices.size(); ++i)
    lines << QStringLiteral("%1) %2")
                 .arg(QChar(char16_t(u'A' + i)))
                 .arg(fragmentText(m_choices.at(i)));
  return lines.join(QLatin1Char('\n')).trimmed();
}

QString TypedQuestion::problem() const {
  if (fragmentText(m_stem).isEmpty() && m_images.isEmpty())
    return QStringLiteral("Lütfen sorunun metnini yazınız.");
  return {};
}

std::unique_ptr<QTextDocument> TypedQuestion::layout(qreal layoutWidth) const {
  auto doc = std::make_unique<QTextDocument>();
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(kFontPixels);
  doc->setDefaultFont(font);
  doc->setDocumentMargin(kFontPixels);
  for (auto it = m_images.cbegin(); it != m_images.cend(); ++it)
    doc->addResource(QTextDocument::ImageResource, QUrl(it.key()), it.value());
  QTextCursor c(doc.get());
  c.insertFragment(QTextDocumentFragment::fromHtml(m_stem));
  for (qsizetype i = 0; i < m_choices.size(); ++i) {
    QTextBlockFormat block;
    block.setTopMargin(i == 0 ? kFontPixels : kFontPixels / 3.0);
    c.insertBlock(block, QTextCharFormat());
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("%1) ").arg(QChar(char16_t(u'A' + i))), bold);
    c.setCharFormat(QTextCharFormat());
    c.insertFragment(QTextDocumentFragment::fromHtml(m_choices.at(i)));
  }
  fitImages(*doc, layoutWidth - 2.0 * kFontPixels);
  doc->setTextWidth(layoutWidth);
  return doc;
}

Status TypedQuestion::drawable() const {
  if (!canDraw())
    return Status::failure(QStringLiteral("Yazılı soru çizilemedi: grafik ortamı başlatılmamış."));
  if (const QString p = problem(); !p.isEmpty()) return Status::failure(p);
  return {};
}

Result<QImage> TypedQuestion::render(int width) const {
  return draw(width, qreal(width) / kLayoutWidth);
}

Result<QImage> TypedQuestion::renderAt(int width, int fontPixels) const {
  return draw(width, qreal(std::max(1, fontPixels)) / kFontPixels);
}

Result<TypedQuestion::Fitted> TypedQuestion::renderToFit(const QSize& area,
                                                         int minFontPixels) const {
  using R = Result<Fitted>;
  if (const Status s = drawable(); !s) return R::failure(s.error());
  const int width = std::max(1, area.width());
  // The height of the picture at body size f: laid out narrower as f grows, then
  // scaled up by f / kFontPixels. It grows with f, so the best size is searched.
  auto heightAt = [&](int f) {
    const qreal scale = qreal(f) / kFontPixels;
    return layout(width / scale)->size().height() * scale;
  };
  int lo = std::max(1, minFontPixels);
  int hi = std::max(lo, area.height() / 10);
  if (heightAt(lo) <= area.height()) {
    while (lo < hi) {
      const int mid = (lo + hi + 1) / 2;
      if (heightAt(mid) <= area.height())
        lo = mid;
      else
        hi = mid - 1;
    }
  }
  Result<QImage> image = renderAt(width, lo);
  if (!image) return R::failure(image.error());
  return Fitted{std::move(image.value()), lo};
}

Result<QImage> TypedQuestion::draw(int width, qreal scale) const {
  if (const Status s = drawable(); !s) return Result<QImage>::failure(s.error());
  const std::unique_ptr<QTextDocument> doc = layout(width / scale);
  const int height = int(std::ceil(doc->size().height() * scale));
  QImage image(width, std::max(height, 1), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                         QPainter::SmoothPixmapTransform);
  painter.scale(scale, scale);
  doc->drawContents(&painter);
  painter.end();
  return image;
}

Result<QByteArray> TypedQuestion::picture(int width) const {
  Result<QImage> image = render(width);
  if (!image) return Result<QByteArray>::failure(image.error());
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  if (!image->save(&buffer, "PNG"))
    return Result<QByteArray>::failure(QStringLiteral("Soru resmi yazılamadı."));
  return withChunk(buffer.data(), qCompress(source()));
}

std::optional<TypedQuestion> TypedQuestion::fromPicture(const QByteArray& bytes) {
  const std::optional<QByteArray> payload = chunk(bytes);
  if (!payload) return {};
  return fromSource(qUncompress(*payload));
}

QByteArray TypedQuestion::source() const {
  QJsonObject images;
  for (auto it = m_images.cbegin(); it != m_images.cend(); ++it) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    it.value().save(&buffer, "PNG");
    images.insert(it.key(), QString::fromLatin1(buffer.data().toBase64()));
  }
  QJsonObject root{{QStringLiteral("soru"), m_stem},
                   {QStringLiteral("siklar"), QJsonArray::fromStringList(m_choices)},
                   {QStringLiteral("resimler"), images}};
  return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

std::optional<TypedQuestion> TypedQuestion::fromSource(const QByteArray& json) {
  QJsonParseError error;
  const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
  if (error.error != QJsonParseError::NoError || !doc.isObject()) return {};
  const QJsonObject root = doc.object();
  TypedQuestion t;
  t.m_stem = root.value(QStringLiteral("soru")).toString();
  for (const QJsonValue& v : root.value(QStringLiteral("siklar")).toArray())
    if (t.m_choices.size() < kMaxChoices) t.m_choices << v.toString();
  const QJsonObject images = root.value(QStringLiteral("resimler")).toObject();
  for (auto it = images.begin(); it != images.end(); ++it) {
    const QImage image =
        QImage::fromData(QByteArray::fromBase64(it.value().toString().toLatin1()), "PNG");
    if (!image.isNull()) t.m_images.insert(it.key(), image);
  }
  return t;
}

}  // namespace authoring
