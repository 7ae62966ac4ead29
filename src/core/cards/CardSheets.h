#pragma once

#include <QList>
#include <QString>

#include "Result.h"
#include "cards/CardNumbers.h"

namespace cards {

// The cards of a class as a PDF to print: one card per A5 page, or two per A4
// page (cut along the marked middle); each card with its cutting marks, and the
// student's name, class and card number small in a corner.
enum class SheetSize { A5, A4 };

Status writeCardSheets(const QString& path, const QString& className,
                       const QList<CardHolder>& holders, SheetSize size);

// "Kartları Yazdır": gives the class's students without a card their numbers
// (CardNumbers::giveCards) and writes their sheets to `path`. Refused, with
// nothing given, when the class has no student or the folder does not exist.
Result<QList<CardHolder>> printClassCards(store::Store& store, const QString& className,
                                          const QString& path, SheetSize size);

}  // namespace cards
