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

QString turkishFold(QStringView text) {
  QString out = turkishLower(text);
  qsizetype kept = 0;
  for (qsizetype i = 0; i < out.size(); ++i) {
    char16_t c = out[i].unicode();
    switch (c) {
      case u'\u00E2':
        c = u'a';
        break;
      case u'\u00EE':
        c = u'i';
        break;
      case u'\u00FB':
        c = u'u';
        break;
      case u'\u0302':
        continue;  // a combining circumflex typed after its letter
      default:
        break;
    }
    out[kept++] = QChar(c);
  }
  out.truncate(kept);
  return out;
}

}  // namespace lists
