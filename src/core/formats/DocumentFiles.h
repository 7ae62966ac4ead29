#pragma once

#include <QPageLayout>
#include <QString>

#include "Result.h"

class QTextDocument;

namespace formats {

// Word-processor documents and printable pages from a QTextDocument: .odt through
// QTextDocumentWriter, .pdf through QPdfWriter (A4, the document's own page
// breaks). A file is written beside its final name and moved there only when it is
// whole, so a failure never leaves half a document under the name the teacher
// opens. "Dosya oluşturulamadı" with the file name on failure. Needs a
// QGuiApplication (fonts).
Status writeOdt(const QTextDocument& document, const QString& path);
Status writePdf(const QTextDocument& document, const QString& path);
// A .pdf on A4 pages of `orientation` whose whole width inside writePdf's margins
// holds the text (writePdf keeps a wider border of its own), for reports with wide
// tables. The document is laid out pdfTextWidth() units wide: measure what must
// fit with a QFontMetricsF of the document's font.
Status writePdf(const QTextDocument& document, const QString& path,
                QPageLayout::Orientation orientation);
double pdfTextWidth(QPageLayout::Orientation orientation);
// By the file's suffix: ".odt" or ".pdf".
Status writeDocument(const QTextDocument& document, const QString& path);

}  // namespace formats
