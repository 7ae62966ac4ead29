#include "lists/TurkishText.h"

namespace lists {

QString turkishUpper(QStringView text) {
  QString out(text.size(), Qt::Uninitialized);
  QChar* d = out.data();
  for (qsizetype i = 0; i < text.size(); ++i) {
    char16_t c = text[i].unicode();
    if (c < 128) {
      if (c == u'i')
        c = u'\u0130';
      else if (c >= u'a' && c <= u'z')
        c = char16_t(c - 32);
    } else if (c == u'\u0131') {
      c = u'I';
    } else if (!QChar::isSurrogate(c)) {
      c = char16_t(QChar::toUpper(char32_t(c)));
    }
    d[i] = QChar(c);
  }
  return out;
}

QString turkishLower(QStringView text) {
  QString out(text.size(), Qt::Uninitialized);
  QChar* d = out.data();
  for (qsizetype i = 0; i < text.size(); ++i) {
    char16_t c = text[i].unicode();
    if (c < 128) {
      if (c == u'I')
        c = u'\u0131';
      else if (c >= u'A' && c <= u'Z')
        c = char16_t(c + 32);
    } else if (c == u'\u0130') {
      c = u'i';
    } else if (!QChar::isSurrogate(c)) {
      c = char16_t(QChar::toLower(char32_t(c)));
    }
    d[i] = QChar(c);
  }
  return out;
}

}  // namespace lists
