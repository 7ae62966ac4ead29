#pragma once

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
// By the file's suffix: ".odt" or ".pdf".
Status writeDocument(const QTextDocument& document, const QString& path);

}  // namespace formats
