#pragma once

#include <QString>
#include <QVariantList>

#include "Result.h"
#include "curriculum/CurriculumFilter.h"
#include "store/Sql.h"

namespace store {
class Store;
}

namespace authoring {

// What a search of the question bank asks for: the bank's search panel, the
// test screen's question picker and the automatic selection all fill one of
// these, and its SQL is made here once. A list left on "TÜMÜ" (or empty)
// restricts nothing; deleted questions (SILINDIMI "1") are never found.
struct QuestionSearch {
  enum class Usage { Any, Used, Unused };  // "TÜMÜ", "KULLANILAN", "KULLANILMAYAN"

  curriculum::CurriculumFilter curriculum{};
  QString dogruSik{};  // correct choice
  QString turu{};
  QString zorluk{};
  QString puan{};
  QString sure{};
  // Words in the note or in the question's text (Turkish case folded).
  QString text{};
  // Only the questions of this test.
  QString testNo{};
  // Only the N highest-numbered questions that match everything else (0: all).
  int lastAdded = 0;
  // Leaves out the questions already in this test (the picker, the selection).
  QString notInTest{};
  // Use in other tests: at least one test, or none.
  Usage usage = Usage::Any;

  // "KULLANILAN" / "KULLANILMAYAN" / anything else.
  static Usage usageOf(const QString& listText);

  // " AND ..." for every restriction but lastAdded; the columns of TABLESORU
  // qualified with `prefix` ("TABLESORU." or an alias and a dot).
  curriculum::CurriculumFilter::Condition condition(const QString& prefix) const;
  // The WHERE clause, without "WHERE", over "FROM TABLESORU" (not aliased): live
  // rows, the condition and lastAdded.
  curriculum::CurriculumFilter::Condition where() const;

  // The bank's grid: SORUNUMARASI (the grid's key), SORUNO, SEVIYE, DERS, UNITE,
  // KONU, KAZANIM, SORUICERIK, DOGRUSIK, TURU, ZORLUK, PUAN, SURE, in key order.
  store::Query bankQuery() const;
  // The picker of a test: the same columns and KAZKEZKULLANILDI, the number of
  // tests using each question.
  store::Query pickerQuery() const;
  // The matching keys in key order.
  Result<QStringList> keys(const store::Store& store) const;

  // The text box of the last-added count: empty means all; anything else must be
  // a whole number other than zero ("Sıfırdan farklı bir sayı giriniz").
  static Result<int> parseLastAdded(const QString& text);
};

}  // namespace authoring
